#include "desktop/ToolkitTranslation.h"
#include "support/WindowTest.h"
#include "ui/CheckValue.h"
#include "ui/MainWindow.h"

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
        ui::MainWindow &window = this->window();
        QCOMPARE(window.windowTitle(), QStringLiteral("Tessaly作成"));
        QCOMPARE(window.size(), QSize(372, 328));
        QCOMPARE(box(window, "baseAddressBox")->count(), 0);
        QCOMPARE(box(window, "headBox")->count(), 0);
        const QStringList tails{QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".gif"),
                                QStringLiteral(".bmp")};
        QCOMPARE(itemsOf(*box(window, "tailBox")), tails);
        QCOMPARE(value(*check(window, "thumbnailsCheck")), core::CheckState::Ticked);
        QCOMPARE(value(*check(window, "addressListCheck")), core::CheckState::Clear);
        QCOMPARE(value(*check(window, "checkFolderCheck")), core::CheckState::Clear);
        QVERIFY(box(window, "checkFolderBox")->isEnabled());
        QVERIFY(button(window, "browseCheckFolderButton")->isEnabled());
        QVERIFY(window.pageText().isEmpty());
        QCOMPARE(window.pageImages().count(), 0);
        QCOMPARE(button(window, "downloadButton")->font().pointSize(), 6);
        QCOMPARE(button(window, "downloadButton")->geometry(), QRect(344, 96, 25, 57));
        // Its one kana says little of what it does.
        QCOMPARE(button(window, "downloadButton")->toolTip(),
                 QStringLiteral("一覧の画像をすべて出力フォルダにダウンロードします"));
        QCOMPARE(output(window)->geometry(), QRect(8, 208, 361, 113));
    }

    // A grey value comes only from the settings file; clicks tick and clear as usual afterwards.
    void clickOnGreyBoxClears()
    {
        ui::MainWindow &window = this->window();
        ui::CheckValue::setValue(*check(window, "thumbnailsCheck"), core::CheckState::Grey);
        QCOMPARE(value(*check(window, "thumbnailsCheck")), core::CheckState::Grey);
        QList<core::CheckState> values;
        for (int i = 0; i < 3; ++i) {
            check(window, "thumbnailsCheck")->click();
            values.append(value(*check(window, "thumbnailsCheck")));
        }
        QCOMPARE(values,
                 (QList<core::CheckState>{core::CheckState::Clear, core::CheckState::Ticked, core::CheckState::Clear}));
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
        QWidget *widget = window().findChild<QWidget *>(control);
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
        ui::MainWindow &window = this->window();
        const QList<QWidget *> expected{
            edit(window, "startEdit"),
            edit(window, "endEdit"),
            edit(window, "digitsEdit"),
            button(window, "createButton"),
            button(window, "overwriteButton"),
            button(window, "saveButton"),
            button(window, "aboutButton"),
            button(window, "viewButton"),
            output(window),
            check(window, "thumbnailsCheck"),
            edit(window, "thumbSizeEdit"),
            edit(window, "columnsEdit"),
            box(window, "baseAddressBox"),
            box(window, "headBox"),
            box(window, "tailBox"),
            button(window, "analyseButton"),
            check(window, "checkFolderCheck"),
            button(window, "browseCheckFolderButton"),
            box(window, "checkFolderBox"),
            check(window, "addressListCheck"),
            button(window, "downloadButton"),
            box(window, "downloadFolderBox"),
            button(window, "browseDownloadFolderButton"),
        };
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        for (QWidget *control : expected) {
            QWidget *focused = QApplication::focusWidget();
            while (focused && focused->parentWidget() != &window)
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
        ui::MainWindow &window = this->window();
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box(window, "downloadFolderBox")->setFocus();
        QTest::keyClick(&window, Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), focused);
    }

    // While address-only mode disables the thumbnail fields, their keys lead on to the base address.
    void accessKeysSkipDisabledFields()
    {
        ui::MainWindow &window = this->window();
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit(window, "thumbSizeEdit")->setEnabled(false);
        edit(window, "columnsEdit")->setEnabled(false);
        QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(QApplication::focusWidget() == box(window, "baseAddressBox")
                    || QApplication::focusWidget() == box(window, "baseAddressBox")->lineEdit());
        edit(window, "thumbSizeEdit")->setEnabled(true);
        QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), edit(window, "thumbSizeEdit"));
    }

    void accessKeysPressButtons()
    {
        ui::MainWindow &window = this->window();
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(value(*check(window, "thumbnailsCheck")), core::CheckState::Clear);
        QTest::keyClick(&window, Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(!window.pageText().isEmpty());
    }
};

QTEST_MAIN(TestMainWindowControls)
#include "test_MainWindowControls.moc"
