#include "support/WindowTest.h"
#include "support/WorkedPages.h"
#include "ui/CheckValue.h"
#include "ui/ComboHistory.h"
#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace quorel;
using namespace Qt::StringLiterals;

namespace
{
void fillExample(ui::MainWindow &window)
{
    tests::WindowTest::box(window, "baseAddressBox")->setEditText(QStringLiteral("pics"));
    tests::WindowTest::box(window, "headBox")->setEditText(QStringLiteral("img"));
    tests::WindowTest::box(window, "tailBox")->setEditText(QStringLiteral(".jpg"));
    tests::WindowTest::edit(window, "digitsEdit")->setText(QStringLiteral("2"));
    tests::WindowTest::edit(window, "startEdit")->setText(QStringLiteral("1"));
    tests::WindowTest::edit(window, "endEdit")->setText(QStringLiteral("3"));
    ui::CheckValue::setValue(*tests::WindowTest::check(window, "thumbnailsCheck"), core::CheckState::Clear);
}

// The output box shows line breaks as paragraphs.
QString shown(const QString &text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
}

class TestCreateButton : public tests::WindowTest
{
    Q_OBJECT

private Q_SLOTS:
    void workedExample_data()
    {
        QTest::addColumn<bool>("addressOnly");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain page") << false << tests::WorkedPages::plain;
        QTest::newRow("address list") << true << tests::WorkedPages::addressList;
    }

    void workedExample()
    {
        QFETCH(bool, addressOnly);
        QFETCH(QString, expected);
        ui::MainWindow &window = this->window();
        tests::FakeDesktop &desktop = this->fake();
        fillExample(window);
        ui::CheckValue::setValue(*check(window, "addressListCheck"),
                                 addressOnly ? core::CheckState::Ticked : core::CheckState::Clear);
        button(window, "createButton")->click();

        QCOMPARE(window.pageText(), expected);
        QCOMPARE(output(window)->toPlainText(), shown(expected));
        QCOMPARE(box(window, "baseAddressBox")->currentText(), QStringLiteral("pics/"));
        QCOMPARE(box(window, "baseAddressBox")->itemText(0), QStringLiteral("pics/"));
        QCOMPARE(window.pageImages().count(), 3);
        QCOMPARE(window.pageImages().addresses(),
                 (QStringList{QStringLiteral("pics/img01.jpg"), QStringLiteral("pics/img02.jpg"),
                              QStringLiteral("pics/img03.jpg")}));
        QCOMPARE(window.pageImages().fileNames(),
                 (QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img02.jpg"), QStringLiteral("img03.jpg")}));
        QVERIFY(button(window, "createButton")->isEnabled());
        QVERIFY(desktop.messages.isEmpty());
    }

    // Each refusal of the generator, as the window words it.
    void refusalsAreWorded_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("message");
        QTest::newRow("digit count") << u"3"_s << u"99999999999"_s << u"2"_s
                                     << u"桁数に正しい数値を入力してください。"_s;
        QTest::newRow("too many images") << u"40000"_s << u"1"_s << u"2"_s
                                         << u"1ページに作成できる画像は32767個までです。"_s;
        QTest::newRow("zero columns") << u"3"_s << u"1"_s << u"0"_s << u"幅に0以外の数値を入力してください。"_s;
        QTest::newRow("page too large") << u"30000"_s << u"5000"_s << u"2"_s << u"作成するデータが大きすぎます。"_s;
    }

    void refusalsAreWorded()
    {
        QFETCH(QString, end);
        QFETCH(QString, digits);
        QFETCH(QString, columns);
        QFETCH(QString, message);
        edit("startEdit")->setText(u"1"_s);
        edit("endEdit")->setText(end);
        edit("digitsEdit")->setText(digits);
        edit("columnsEdit")->setText(columns);
        button("createButton")->click();
        QCOMPARE(fake().lastMessageText(), message);
    }

    void invalidStart()
    {
        ui::MainWindow &window = this->window();
        tests::FakeDesktop &desktop = this->fake();
        fillExample(window);
        button(window, "createButton")->click();
        QCOMPARE(window.pageImages().count(), 3);

        ui::CheckValue::setValue(*check(window, "thumbnailsCheck"), core::CheckState::Ticked);
        edit(window, "startEdit")->setText(QStringLiteral("abc"));
        bool disabledDuringMessage = false;
        desktop.whileMessageShown = [&] { disabledDuringMessage = !button(window, "createButton")->isEnabled(); };
        button(window, "createButton")->click();

        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(desktop.messages[0].text, QStringLiteral("開始、終了に正しい数値を入力してください"));
        QCOMPARE(desktop.messages[0].title, QStringLiteral("Tessaly作成"));
        QCOMPARE(desktop.messages[0].icon, desktop::MessageIcon::None);
        QVERIFY(disabledDuringMessage);
        QVERIFY(button(window, "createButton")->isEnabled());
        // The header is shown, everything else of the last run is gone.
        QCOMPARE(output(window)->toPlainText(),
                 shown(QStringLiteral("<html>\r\n<title>Tessaly</title>\r\n<table border=0>")));
        QVERIFY(window.pageText().isEmpty());
        QCOMPARE(window.pageImages().count(), 0);
        QCOMPARE(box(window, "headBox")->itemText(0), QStringLiteral("img"));

        button(window, "createButton")->click();
        QCOMPARE(desktop.messages.size(), 2);
    }

    void recentEntries_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("new text goes to the top")
            << QStringList{QStringLiteral("a"), QStringLiteral("b")} << QStringLiteral("c")
            << QStringList{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("existing entry moves up")
            << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")} << QStringLiteral("c")
            << QStringList{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("top entry stays") << QStringList{QStringLiteral("a"), QStringLiteral("b")} << QStringLiteral("a")
                                         << QStringList{QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("case matters") << QStringList{QStringLiteral("a"), QStringLiteral("B")} << QStringLiteral("b")
                                      << QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("B")};
        QTest::newRow("empty text is an entry") << QStringList() << QString() << QStringList{QString()};
        QTest::newRow("first of duplicates moves")
            << QStringList{QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("x")} << QStringLiteral("x")
            << QStringList{QStringLiteral("x"), QStringLiteral("a"), QStringLiteral("x")};
    }

    void recentEntries()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, text);
        QFETCH(QStringList, after);
        ui::MainWindow &window = this->window();
        box(window, "headBox")->addItems(before);
        box(window, "headBox")->setEditText(text);
        ui::ComboHistory::moveCurrentToTop(*box(window, "headBox"));
        QCOMPARE(itemsOf(*box(window, "headBox")), after);
        QCOMPARE(box(window, "headBox")->currentText(), text);
    }

    void checkFolderOnlyRecordedWhenTicked()
    {
        ui::MainWindow &window = this->window();
        fillExample(window);
        box(window, "checkFolderBox")->setEditText(QStringLiteral("/nowhere"));
        button(window, "createButton")->click();
        QCOMPARE(box(window, "checkFolderBox")->count(), 0);
        ui::CheckValue::setValue(*check(window, "checkFolderCheck"), core::CheckState::Ticked);
        button(window, "createButton")->click();
        QCOMPARE(itemsOf(*box(window, "checkFolderBox")), QStringList{QStringLiteral("/nowhere")});
    }

    void checkFolderOnDisk()
    {
        QTemporaryDir folder;
        for (const char *name : {"img02.jpg", "img03.JPG", "img04.png", ".img01.jpg"}) {
            QFile file(folder.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("img01.jpg")));
        ui::MainWindow &window = this->window();
        fillExample(window);
        edit(window, "endEdit")->setText(QStringLiteral("4"));
        box(window, "checkFolderBox")->setEditText(folder.path());
        ui::CheckValue::setValue(*check(window, "checkFolderCheck"), core::CheckState::Ticked);
        button(window, "createButton")->click();
        // A folder and a hidden file of the same name do not count; the tail matches without regard to case.
        QCOMPARE(window.pageImages().fileNames(),
                 (QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img04.jpg")}));
    }

    void longPageIsCutInTheBox()
    {
        ui::MainWindow &window = this->window();
        fillExample(window);
        edit(window, "endEdit")->setText(QStringLiteral("1000"));
        button(window, "createButton")->click();
        QVERIFY(window.pageText().size() > 30720);
        QVERIFY(window.pageText().endsWith(QStringLiteral("img1000.jpg \"><br></a>\r\n")));
        const QString expected = window.pageText().first(30720)
            + QStringLiteral("\r\n----------  これ以降にもデータがあります.  ----------\r\n");
        QCOMPARE(output(window)->toPlainText(), shown(expected));
    }
};

QTEST_MAIN(TestCreateButton)
#include "test_CreateButton.moc"
