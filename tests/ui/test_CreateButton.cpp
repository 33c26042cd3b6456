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

namespace
{
void fillExample(ui::MainWindow &form)
{
    tests::WindowTest::box(form, "baseAddressBox")->setEditText(QStringLiteral("pics"));
    tests::WindowTest::box(form, "headBox")->setEditText(QStringLiteral("img"));
    tests::WindowTest::box(form, "tailBox")->setEditText(QStringLiteral(".jpg"));
    tests::WindowTest::edit(form, "digitsEdit")->setText(QStringLiteral("2"));
    tests::WindowTest::edit(form, "startEdit")->setText(QStringLiteral("1"));
    tests::WindowTest::edit(form, "endEdit")->setText(QStringLiteral("3"));
    ui::CheckValue::setValue(*tests::WindowTest::check(form, "thumbnailsCheck"), 0);
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
        ui::MainWindow &form = this->form();
        tests::FakeDesktop &desktop = this->fake();
        fillExample(form);
        ui::CheckValue::setValue(*check(form, "addressListCheck"), addressOnly ? 1 : 0);
        button(form, "createButton")->click();

        QCOMPARE(form.pageText(), expected);
        QCOMPARE(output(form)->toPlainText(), shown(expected));
        QCOMPARE(box(form, "baseAddressBox")->currentText(), QStringLiteral("pics/"));
        QCOMPARE(box(form, "baseAddressBox")->itemText(0), QStringLiteral("pics/"));
        QCOMPARE(form.pageImages().count(), 3);
        QCOMPARE(form.pageImages().addresses(),
                 (QStringList{QStringLiteral("pics/img01.jpg"), QStringLiteral("pics/img02.jpg"),
                              QStringLiteral("pics/img03.jpg")}));
        QCOMPARE(form.pageImages().fileNames(),
                 (QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img02.jpg"), QStringLiteral("img03.jpg")}));
        QVERIFY(button(form, "createButton")->isEnabled());
        QVERIFY(desktop.messages.isEmpty());
    }

    void invalidStart()
    {
        ui::MainWindow &form = this->form();
        tests::FakeDesktop &desktop = this->fake();
        fillExample(form);
        button(form, "createButton")->click();
        QCOMPARE(form.pageImages().count(), 3);

        ui::CheckValue::setValue(*check(form, "thumbnailsCheck"), 1);
        edit(form, "startEdit")->setText(QStringLiteral("abc"));
        bool disabledDuringMessage = false;
        desktop.whileMessageShown = [&] { disabledDuringMessage = !button(form, "createButton")->isEnabled(); };
        button(form, "createButton")->click();

        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(desktop.messages[0].text, QStringLiteral("開始、終了に正しい数値を入力してください"));
        QCOMPARE(desktop.messages[0].title, QStringLiteral("Tessaly作成"));
        QCOMPARE(desktop.messages[0].icon, desktop::MessageIcon::None);
        QVERIFY(disabledDuringMessage);
        QVERIFY(button(form, "createButton")->isEnabled());
        // The header is shown, everything else of the last run is gone.
        QCOMPARE(output(form)->toPlainText(),
                 shown(QStringLiteral("<html>\r\n<title>Tessaly</title>\r\n<table border=0>")));
        QVERIFY(form.pageText().isEmpty());
        QCOMPARE(form.pageImages().count(), 0);
        QCOMPARE(box(form, "headBox")->itemText(0), QStringLiteral("img"));

        button(form, "createButton")->click();
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
        ui::MainWindow &form = this->form();
        box(form, "headBox")->addItems(before);
        box(form, "headBox")->setEditText(text);
        ui::ComboHistory::moveCurrentToTop(*box(form, "headBox"));
        QCOMPARE(itemsOf(*box(form, "headBox")), after);
        QCOMPARE(box(form, "headBox")->currentText(), text);
    }

    void checkFolderOnlyRecordedWhenTicked()
    {
        ui::MainWindow &form = this->form();
        fillExample(form);
        box(form, "checkFolderBox")->setEditText(QStringLiteral("/nowhere"));
        button(form, "createButton")->click();
        QCOMPARE(box(form, "checkFolderBox")->count(), 0);
        ui::CheckValue::setValue(*check(form, "checkFolderCheck"), 1);
        button(form, "createButton")->click();
        QCOMPARE(itemsOf(*box(form, "checkFolderBox")), QStringList{QStringLiteral("/nowhere")});
    }

    void checkFolderOnDisk()
    {
        QTemporaryDir folder;
        for (const char *name : {"img02.jpg", "img03.JPG", "img04.png", ".img01.jpg"}) {
            QFile file(folder.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("img01.jpg")));
        ui::MainWindow &form = this->form();
        fillExample(form);
        edit(form, "endEdit")->setText(QStringLiteral("4"));
        box(form, "checkFolderBox")->setEditText(folder.path());
        ui::CheckValue::setValue(*check(form, "checkFolderCheck"), 1);
        button(form, "createButton")->click();
        // A folder and a hidden file of the same name do not count; the tail matches without regard to case.
        QCOMPARE(form.pageImages().fileNames(),
                 (QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img04.jpg")}));
    }

    void longPageIsCutInTheBox()
    {
        ui::MainWindow &form = this->form();
        fillExample(form);
        edit(form, "endEdit")->setText(QStringLiteral("1000"));
        button(form, "createButton")->click();
        QVERIFY(form.pageText().size() > 30720);
        QVERIFY(form.pageText().endsWith(QStringLiteral("img1000.jpg \"><br></a>\r\n")));
        const QString expected = form.pageText().first(30720)
            + QStringLiteral("\r\n----------  これ以降にもデータがあります.  ----------\r\n");
        QCOMPARE(output(form)->toPlainText(), shown(expected));
    }
};

QTEST_MAIN(TestCreateButton)
#include "test_CreateButton.moc"
