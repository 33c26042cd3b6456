#include "support/FakeDesktop.h"
#include "ui/CheckValue.h"
#include "ui/Form1.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace quorel;
using quorel::ui::CheckValue::value;

class TestForm1Controls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStart()
    {
        tests::FakeDesktop desktop;
        ui::Form1 form(desktop);
        QCOMPARE(form.windowTitle(), QStringLiteral("Tessaly作成"));
        QCOMPARE(form.size(), QSize(372, 328));
        QCOMPARE(form.cmb_Name->currentText(), QStringLiteral("http://www."));
        QCOMPARE(form.cmb_Name->count(), 0);
        QCOMPARE(form.cmb_Head->currentText(), QStringLiteral("Test"));
        QCOMPARE(form.cmb_Head->count(), 0);
        QCOMPARE(form.cmb_Ext->currentText(), QStringLiteral(".jpg"));
        const QStringList tails{QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".gif"), QStringLiteral(".bmp")};
        QStringList entries;
        for (int i = 0; i < form.cmb_Ext->count(); ++i)
            entries.append(form.cmb_Ext->itemText(i));
        QCOMPARE(entries, tails);
        QCOMPARE(form.Text3->text(), QStringLiteral("0"));
        QCOMPARE(form.Text4->text(), QStringLiteral("50"));
        QCOMPARE(form.txt_Keta->text(), QStringLiteral("3"));
        QCOMPARE(form.Text8->text(), QStringLiteral("80"));
        QCOMPARE(form.Text9->text(), QStringLiteral("5"));
        QCOMPARE(value(*form.Check1), 1);
        QCOMPARE(value(*form.Check2), 0);
        QCOMPARE(value(*form.chk_Chk_FoN), 0);
        QVERIFY(form.cmb_Chk_FoN->currentText().isEmpty());
        QVERIFY(form.cmb_Fld->currentText().isEmpty());
        QVERIFY(form.cmb_Chk_FoN->isEnabled());
        QVERIFY(form.cmd_Chk_FoN->isEnabled());
        QVERIFY(form.txt_Out->toPlainText().isEmpty());
        QVERIFY(form.str_Out.isEmpty());
        QCOMPARE(form.int_FileCnt, qint16(0));
        QCOMPARE(form.cmd_Get->text(), QStringLiteral("げ"));
        QCOMPARE(form.cmd_Get->font().pointSize(), 6);
        QCOMPARE(ui::Twips::geometry(form.cmd_Get), QRectF(5160, 1440, 375, 855));
        QCOMPARE(ui::Twips::geometry(form.txt_Out), QRectF(120, 3120, 5415, 1695));
        QCOMPARE(form.txt_Out->geometry(), QRect(8, 208, 361, 113));
    }

    // A grey value comes only from the settings file; clicks tick and clear as usual afterwards.
    void clickOnGreyBoxClears()
    {
        tests::FakeDesktop desktop;
        ui::Form1 form(desktop);
        ui::CheckValue::setValue(*form.Check1, 2);
        QCOMPARE(value(*form.Check1), 2);
        QList<int> values;
        for (int i = 0; i < 3; ++i) {
            form.Check1->click();
            values.append(value(*form.Check1));
        }
        QCOMPARE(values, (QList<int>{0, 1, 0}));
    }

    void captions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const char *rows[][2] = {
            {"Label1", "ﾍﾞｰｽｱﾄﾞﾚｽ(&B)"}, {"Check1", "ｻﾑﾈｲﾙ(&N)"}, {"Label7", "大きさ(&O)"}, {"Label8", "幅(&H)"},
            {"cmd_ana", "解析"},           {"Label2", "頭(&T)"},     {"Label10", "数字"},      {"Label3", "お尻(&R)"},
            {"Check2", ".TXT"},            {"Command3", "上書(&U)"}, {"Command5", "&About"},  {"Label4", "開始(&K)"},
            {"Label5", "終了(&E)"},        {"Label6", "桁数(&L)"},   {"Command1", "作成(&M)"}, {"Command2", "保存(&S)"},
            {"Command4", "表示(&V)"},      {"chk_Chk_FoN", "チェックフォルダ"}, {"cmd_Chk_FoN", "..."},
            {"Label11", "出力フォルダ"},   {"cmd_Fld", "..."},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromUtf8(row[1]);
    }

    void captions()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        tests::FakeDesktop desktop;
        ui::Form1 form(desktop);
        QWidget *control = form.findChild<QWidget *>(name);
        QVERIFY(control);
        const QVariant text = control->property("text");
        QCOMPARE(text.toString(), caption);
    }

    void tabOrder()
    {
        tests::FakeDesktop desktop;
        ui::Form1 form(desktop);
        const QList<QWidget *> expected{
            form.Text3,    form.Text4,    form.txt_Keta, form.Command1,    form.Command3,    form.Command2,
            form.Command5, form.Command4, form.txt_Out,  form.Check1,      form.Text8,       form.Text9,
            form.cmb_Name, form.cmb_Head, form.cmb_Ext,  form.cmd_ana,     form.chk_Chk_FoN, form.cmd_Chk_FoN,
            form.cmb_Chk_FoN, form.Check2, form.cmd_Get, form.cmb_Fld,     form.cmd_Fld,
        };
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        for (QWidget *control : expected) {
            QWidget *focused = QApplication::focusWidget();
            while (focused && focused->parentWidget() != &form)
                focused = focused->parentWidget();
            QVERIFY(focused);
            QCOMPARE(focused->objectName(), control->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    void accessKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focused");
        QTest::newRow("Alt+B") << int(Qt::Key_B) << QStringLiteral("Text3");
        QTest::newRow("Alt+T") << int(Qt::Key_T) << QStringLiteral("Text3");
        QTest::newRow("Alt+R") << int(Qt::Key_R) << QStringLiteral("Text3");
        QTest::newRow("Alt+K") << int(Qt::Key_K) << QStringLiteral("Text3");
        QTest::newRow("Alt+E") << int(Qt::Key_E) << QStringLiteral("Text4");
        QTest::newRow("Alt+L") << int(Qt::Key_L) << QStringLiteral("txt_Keta");
        QTest::newRow("Alt+O") << int(Qt::Key_O) << QStringLiteral("Text8");
        QTest::newRow("Alt+H") << int(Qt::Key_H) << QStringLiteral("Text9");
    }

    void accessKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, focused);
        tests::FakeDesktop desktop;
        ui::Form1 form(desktop);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.cmb_Fld->setFocus();
        QTest::keyClick(&form, Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), focused);
    }

    // While address-only mode disables the thumbnail fields, their keys lead on to the base address.
    void accessKeysSkipDisabledFields()
    {
        tests::FakeDesktop desktop;
        ui::Form1 form(desktop);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.Text8->setEnabled(false);
        form.Text9->setEnabled(false);
        QTest::keyClick(&form, Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(QApplication::focusWidget() == form.cmb_Name || QApplication::focusWidget() == form.cmb_Name->lineEdit());
        form.Text8->setEnabled(true);
        QTest::keyClick(&form, Qt::Key_O, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), form.Text8);
    }

    void accessKeysPressButtons()
    {
        tests::FakeDesktop desktop;
        ui::Form1 form(desktop);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(value(*form.Check1), 0);
        QTest::keyClick(&form, Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(!form.str_Out.isEmpty());
    }
};

QTEST_MAIN(TestForm1Controls)
#include "test_Form1Controls.moc"
