#include "support/WindowTest.h"
#include "ui/CheckValue.h"
#include "ui/Form1.h"
#include "ui/Twips.h"

#include <QAccessible>
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

class TestForm1Controls : public tests::WindowTest
{
    Q_OBJECT

private Q_SLOTS:
    void firstStart()
    {
        ui::Form1 &form = this->form();
        QCOMPARE(form.windowTitle(), QStringLiteral("Tessaly作成"));
        QCOMPARE(form.size(), QSize(372, 328));
        QCOMPARE(form.cmb_Name->count(), 0);
        QCOMPARE(form.cmb_Head->count(), 0);
        const QStringList tails{QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".gif"),
                                QStringLiteral(".bmp")};
        QCOMPARE(itemsOf(*form.cmb_Ext), tails);
        QCOMPARE(value(*form.Check1), 1);
        QCOMPARE(value(*form.Check2), 0);
        QCOMPARE(value(*form.chk_Chk_FoN), 0);
        QVERIFY(form.cmb_Chk_FoN->isEnabled());
        QVERIFY(form.cmd_Chk_FoN->isEnabled());
        QVERIFY(form.str_Out.isEmpty());
        QCOMPARE(form.int_FileCnt, qint16(0));
        QCOMPARE(form.cmd_Get->font().pointSize(), 6);
        QCOMPARE(ui::Twips::geometry(form.cmd_Get), QRectF(5160, 1440, 375, 855));
        QCOMPARE(ui::Twips::geometry(form.txt_Out), QRectF(120, 3120, 5415, 1695));
        QCOMPARE(form.txt_Out->geometry(), QRect(8, 208, 361, 113));
    }

    // A grey value comes only from the settings file; clicks tick and clear as usual afterwards.
    void clickOnGreyBoxClears()
    {
        ui::Form1 &form = this->form();
        ui::CheckValue::setValue(*form.Check1, 2);
        QCOMPARE(value(*form.Check1), 2);
        QList<int> values;
        for (int i = 0; i < 3; ++i) {
            form.Check1->click();
            values.append(value(*form.Check1));
        }
        QCOMPARE(values, (QList<int>{0, 1, 0}));
    }

    // Each control's text as the window first shows it (a caption, or a field's built-in value) and
    // the name a screen reader announces for it.
    void controlTexts_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name"); // empty: the label speaks for itself
        const char *rows[][3] = {
            {"Label1", "ﾍﾞｰｽｱﾄﾞﾚｽ(&B)", ""},
            {"Check1", "ｻﾑﾈｲﾙ(&N)", ""},
            {"Label7", "大きさ(&O)", ""},
            {"Text8", "80", "大きさ"},
            {"Label8", "幅(&H)", ""},
            {"Text9", "5", "幅"},
            {"cmb_Name", "http://www.", "ベースアドレス"},
            {"cmd_ana", "解析", "解析"},
            {"Label2", "頭(&T)", ""},
            {"Label10", "数字", ""},
            {"Label3", "お尻(&R)", ""},
            {"cmb_Head", "Test", "頭"},
            {"Label9", "", "数字"},
            {"cmb_Ext", ".jpg", "お尻"},
            {"Check2", ".TXT", ""},
            {"Command3", "上書(&U)", "上書"},
            {"Command5", "&About", "About"},
            {"cmd_Get", "げ", "画像のダウンロード"},
            {"Label4", "開始(&K)", ""},
            {"Label5", "終了(&E)", ""},
            {"Label6", "桁数(&L)", ""},
            {"Text3", "0", "開始"},
            {"Text4", "50", "終了"},
            {"txt_Keta", "3", "桁数"},
            {"Command1", "作成(&M)", "作成"},
            {"Command2", "保存(&S)", "保存"},
            {"Command4", "表示(&V)", "表示"},
            {"chk_Chk_FoN", "チェックフォルダ", "チェックフォルダ"},
            {"cmb_Chk_FoN", "", "チェックフォルダ"},
            {"cmd_Chk_FoN", "...", "チェックフォルダの参照"},
            {"Label11", "出力フォルダ", ""},
            {"cmb_Fld", "", "出力フォルダ"},
            {"cmd_Fld", "...", "出力フォルダの参照"},
            {"txt_Out", "", "出力"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromUtf8(row[1])
                                  << QString::fromUtf8(row[2]);
    }

    void controlTexts()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, name);
        QWidget *widget = form().findChild<QWidget *>(control);
        QVERIFY(widget);
        const QVariant shown = widget->property(qobject_cast<QComboBox *>(widget)            ? "currentText"
                                                    : qobject_cast<QPlainTextEdit *>(widget) ? "plainText"
                                                                                             : "text");
        QCOMPARE(shown.toString(), text);
        if (name.isEmpty())
            return;
        QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
        // The edit field of a combo box is what has the focus while typing.
        if (auto *combo = qobject_cast<QComboBox *>(widget))
            QCOMPARE(QAccessible::queryAccessibleInterface(combo->lineEdit())->text(QAccessible::Name), name);
    }

    void tabOrder()
    {
        ui::Form1 &form = this->form();
        const QList<QWidget *> expected{
            form.Text3,       form.Text4,    form.txt_Keta, form.Command1, form.Command3,    form.Command2,
            form.Command5,    form.Command4, form.txt_Out,  form.Check1,   form.Text8,       form.Text9,
            form.cmb_Name,    form.cmb_Head, form.cmb_Ext,  form.cmd_ana,  form.chk_Chk_FoN, form.cmd_Chk_FoN,
            form.cmb_Chk_FoN, form.Check2,   form.cmd_Get,  form.cmb_Fld,  form.cmd_Fld,
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
        ui::Form1 &form = this->form();
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
        ui::Form1 &form = this->form();
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.Text8->setEnabled(false);
        form.Text9->setEnabled(false);
        QTest::keyClick(&form, Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(QApplication::focusWidget() == form.cmb_Name
                    || QApplication::focusWidget() == form.cmb_Name->lineEdit());
        form.Text8->setEnabled(true);
        QTest::keyClick(&form, Qt::Key_O, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), form.Text8);
    }

    void accessKeysPressButtons()
    {
        ui::Form1 &form = this->form();
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
