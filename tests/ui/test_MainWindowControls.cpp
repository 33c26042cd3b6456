#include "desktop/ToolkitTranslation.h"
#include "support/WindowTest.h"
#include "ui/CheckValue.h"
#include "ui/MainWindow.h"
#include "ui/Twips.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace quorel;
using quorel::ui::CheckValue::value;

class TestMainWindowControls : public tests::WindowTest
{
    Q_OBJECT

private Q_SLOTS:
    // The fields' menus speak Japanese like the window, whatever the locale.
    void contextMenuIsJapanese()
    {
        QVERIFY(desktop::installJapaneseToolkitTranslation(*qApp));
        const std::unique_ptr<QMenu> menu(edit("startEdit")->createStandardContextMenu());
        QStringList actions;
        for (const QAction *action : menu->actions())
            if (!action->isSeparator())
                actions.append(action->text().section(u'\t', 0, 0));
        QCOMPARE(actions,
                 (QStringList{QStringLiteral("元に戻す(&U)"), QStringLiteral("やり直す(&R)"),
                              QStringLiteral("切り取り(&T)"), QStringLiteral("コピー(&C)"),
                              QStringLiteral("貼り付け(&P)"), QStringLiteral("削除"), QStringLiteral("すべてを選択")}));
    }

    void firstStart()
    {
        ui::MainWindow &form = this->form();
        QCOMPARE(form.windowTitle(), QStringLiteral("Tessaly作成"));
        QCOMPARE(form.size(), QSize(372, 328));
        QCOMPARE(box(form, "baseAddressBox")->count(), 0);
        QCOMPARE(box(form, "headBox")->count(), 0);
        const QStringList tails{QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".gif"),
                                QStringLiteral(".bmp")};
        QCOMPARE(itemsOf(*box(form, "tailBox")), tails);
        QCOMPARE(value(*check(form, "thumbnailsCheck")), 1);
        QCOMPARE(value(*check(form, "addressListCheck")), 0);
        QCOMPARE(value(*check(form, "checkFolderCheck")), 0);
        QVERIFY(box(form, "checkFolderBox")->isEnabled());
        QVERIFY(button(form, "browseCheckFolderButton")->isEnabled());
        QVERIFY(form.pageText().isEmpty());
        QCOMPARE(form.pageImages().count(), 0);
        QCOMPARE(button(form, "downloadButton")->font().pointSize(), 6);
        QCOMPARE(ui::Twips::geometry(button(form, "downloadButton")), QRectF(5160, 1440, 375, 855));
        QCOMPARE(ui::Twips::geometry(output(form)), QRectF(120, 3120, 5415, 1695));
        QCOMPARE(output(form)->geometry(), QRect(8, 208, 361, 113));
    }

    // A grey value comes only from the settings file; clicks tick and clear as usual afterwards.
    void clickOnGreyBoxClears()
    {
        ui::MainWindow &form = this->form();
        ui::CheckValue::setValue(*check(form, "thumbnailsCheck"), 2);
        QCOMPARE(value(*check(form, "thumbnailsCheck")), 2);
        QList<int> values;
        for (int i = 0; i < 3; ++i) {
            check(form, "thumbnailsCheck")->click();
            values.append(value(*check(form, "thumbnailsCheck")));
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
            {"baseAddressLabel", "ﾍﾞｰｽｱﾄﾞﾚｽ(&B)", ""},
            {"thumbnailsCheck", "ｻﾑﾈｲﾙ(&N)", ""},
            {"thumbSizeLabel", "大きさ(&O)", ""},
            {"thumbSizeEdit", "80", "大きさ"},
            {"columnsLabel", "幅(&H)", ""},
            {"columnsEdit", "5", "幅"},
            {"baseAddressBox", "http://www.", "ベースアドレス"},
            {"analyseButton", "解析", "解析"},
            {"headLabel", "頭(&T)", ""},
            {"numberLabel", "数字", ""},
            {"tailLabel", "お尻(&R)", ""},
            {"headBox", "Test", "頭"},
            {"numberPreview", "", "数字"},
            {"tailBox", ".jpg", "お尻"},
            {"addressListCheck", ".TXT", ""},
            {"overwriteButton", "上書(&U)", "上書"},
            {"aboutButton", "&About", "About"},
            {"downloadButton", "げ", "画像のダウンロード"},
            {"startLabel", "開始(&K)", ""},
            {"endLabel", "終了(&E)", ""},
            {"digitsLabel", "桁数(&L)", ""},
            {"startEdit", "0", "開始"},
            {"endEdit", "50", "終了"},
            {"digitsEdit", "3", "桁数"},
            {"createButton", "作成(&M)", "作成"},
            {"saveButton", "保存(&S)", "保存"},
            {"viewButton", "表示(&V)", "表示"},
            {"checkFolderCheck", "チェックフォルダ", "チェックフォルダ"},
            {"checkFolderBox", "", "チェックフォルダ"},
            {"browseCheckFolderButton", "...", "チェックフォルダの参照"},
            {"downloadFolderLabel", "出力フォルダ", ""},
            {"downloadFolderBox", "", "出力フォルダ"},
            {"browseDownloadFolderButton", "...", "出力フォルダの参照"},
            {"outputBox", "", "出力"},
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
        ui::MainWindow &form = this->form();
        const QList<QWidget *> expected{
            edit(form, "startEdit"),
            edit(form, "endEdit"),
            edit(form, "digitsEdit"),
            button(form, "createButton"),
            button(form, "overwriteButton"),
            button(form, "saveButton"),
            button(form, "aboutButton"),
            button(form, "viewButton"),
            output(form),
            check(form, "thumbnailsCheck"),
            edit(form, "thumbSizeEdit"),
            edit(form, "columnsEdit"),
            box(form, "baseAddressBox"),
            box(form, "headBox"),
            box(form, "tailBox"),
            button(form, "analyseButton"),
            check(form, "checkFolderCheck"),
            button(form, "browseCheckFolderButton"),
            box(form, "checkFolderBox"),
            check(form, "addressListCheck"),
            button(form, "downloadButton"),
            box(form, "downloadFolderBox"),
            button(form, "browseDownloadFolderButton"),
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
        QTest::newRow("Alt+B") << int(Qt::Key_B) << QStringLiteral("startEdit");
        QTest::newRow("Alt+T") << int(Qt::Key_T) << QStringLiteral("startEdit");
        QTest::newRow("Alt+R") << int(Qt::Key_R) << QStringLiteral("startEdit");
        QTest::newRow("Alt+K") << int(Qt::Key_K) << QStringLiteral("startEdit");
        QTest::newRow("Alt+E") << int(Qt::Key_E) << QStringLiteral("endEdit");
        QTest::newRow("Alt+L") << int(Qt::Key_L) << QStringLiteral("digitsEdit");
        QTest::newRow("Alt+O") << int(Qt::Key_O) << QStringLiteral("thumbSizeEdit");
        QTest::newRow("Alt+H") << int(Qt::Key_H) << QStringLiteral("columnsEdit");
    }

    void accessKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, focused);
        ui::MainWindow &form = this->form();
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        box(form, "downloadFolderBox")->setFocus();
        QTest::keyClick(&form, Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), focused);
    }

    // While address-only mode disables the thumbnail fields, their keys lead on to the base address.
    void accessKeysSkipDisabledFields()
    {
        ui::MainWindow &form = this->form();
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        edit(form, "thumbSizeEdit")->setEnabled(false);
        edit(form, "columnsEdit")->setEnabled(false);
        QTest::keyClick(&form, Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(QApplication::focusWidget() == box(form, "baseAddressBox")
                    || QApplication::focusWidget() == box(form, "baseAddressBox")->lineEdit());
        edit(form, "thumbSizeEdit")->setEnabled(true);
        QTest::keyClick(&form, Qt::Key_O, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), edit(form, "thumbSizeEdit"));
    }

    void accessKeysPressButtons()
    {
        ui::MainWindow &form = this->form();
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(value(*check(form, "thumbnailsCheck")), 0);
        QTest::keyClick(&form, Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(!form.pageText().isEmpty());
    }
};

QTEST_MAIN(TestMainWindowControls)
#include "test_MainWindowControls.moc"
