#include "core/SettingsFormat.h"
#include "desktop/QtDesktop.h"
#include "support/FileBytes.h"
#include "support/PeakMemory.h"
#include "support/WindowTest.h"
#include "ui/CheckValue.h"
#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace quorel;
using tests::contentsOf;
using tests::putBytes;

namespace
{
// The keys and header texts in CP932.
#define KEY_BASE                                                                                                       \
    "[\x83x\x81[\x83X\x83"                                                                                             \
    "A\x83h\x83\x8C\x83X]" // [ベースアドレス]
#define KEY_FOLDERS "[\x83t\x83H\x83\x8B\x83_\x83\x8A\x83X\x83g]" // [フォルダリスト]
#define KEY_THUMB                                                                                                      \
    "[\x83T\x83\x80\x83l\x83"                                                                                          \
    "C\x83\x8B]" // [サムネイル]
#define KEY_CHECK                                                                                                      \
    "[\x83t\x83H\x83\x8B\x83_\x83`\x83"                                                                                \
    "F\x83"                                                                                                            \
    "b\x83N]" // [フォルダチェック]
#define KEY_COLUMNS "[\x95\x9D]" // [幅]
#define KEY_SIZE "[\x91\xE5\x82\xAB\x82\xB3]" // [大きさ]
#define KEY_HEAD "[\x93\xAA]" // [頭]
#define KEY_TAIL "[\x82\xA8\x90K]" // [お尻]
#define KEY_START "[\x8AJ\x8En]" // [開始]
#define KEY_END "[\x8FI\x97\xB9]" // [終了]
#define KEY_DIGITS "[\x8C\x85\x90\x94]" // [桁数]
#define KEY_OUT "[\x8Fo\x97\xCD\x83t\x83H\x83\x8B\x83_]" // [出力フォルダ]
#define KEY_IMAGES "[\x89\xE6\x91\x9C\x8Fo\x97\xCD\x83t\x83H\x83\x8B\x83_]" // [画像出力フォルダ]
#define HEADER_TITLE                                                                                                   \
    ";Tessaly\x8D\xEC\x90\xAC \x90\xDD\x92\xE8\x83t\x83@\x83"                                                          \
    "C\x83\x8B" // ;Tessaly作成 設定ファイル
#define HEADER_CREATED                                                                                                 \
    ";\x8D\xEC\x90\xAC\x81"                                                                                            \
    "F " // ;作成：
// ;ご意見・ご感想は quorel@example.org までお寄せください。
#define HEADER_COMMENT                                                                                                 \
    ";\x82\xB2\x88\xD3\x8C\xA9\x81"                                                                                    \
    "E\x82\xB2\x8A\xB4\x91z\x82\xCD quorel@example.org "                                                               \
    "\x82\xDC\x82\xC5\x82\xA8\x8A\xF1\x82\xB9\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81"                                     \
    "B"

// The example of a file written after some use.
const QByteArray exampleFile = HEADER_TITLE
    "\r\n" HEADER_CREATED "2001/05/10 12:34:56\r\n\r\n" HEADER_COMMENT "\r\n\r\n" KEY_BASE
    "\r\n 2 \r\nphotos/2001/\r\nphotos/2000/\r\n[End Of List]\r\n\r\n" KEY_FOLDERS
    "\r\n 1 \r\nC:\\images\r\n[End Of List]\r\n\r\n" KEY_THUMB "\r\n 1 \r\n" KEY_CHECK "\r\n 0 \r\n" KEY_COLUMNS
    "\r\n5\r\n" KEY_SIZE "\r\n80\r\n" KEY_HEAD "\r\n 2 \r\nimg\r\nTest\r\n[End Of List]\r\n\r\n" KEY_TAIL
    "\r\n 4 \r\n.gif\r\n.jpg\r\n.jpeg\r\n.bmp\r\n[End Of List]\r\n\r\n" KEY_START "\r\n1\r\n" KEY_END
    "\r\n120\r\n" KEY_DIGITS "\r\n3\r\n" KEY_OUT "\r\nC:\\pages\\\r\n" KEY_IMAGES "\r\nC:\\images\r\n";

}

class TestSettingsFile : public tests::WindowTest
{
    Q_OBJECT

    QString iniPath() const { return pathOf(QStringLiteral("quorel.ini")); }

    // Starts and closes a window, as one run of the program without other use.
    void runOnce()
    {
        auto window = newWindow();
        QVERIFY(window->start());
        window->close();
    }

private Q_SLOTS:
    void exampleFileGivesTheDescribedState()
    {
        QVERIFY(putBytes(iniPath(), exampleFile));
        auto window = newWindow();
        QVERIFY(window->start());

        QCOMPARE(itemsOf(*box(*window, "baseAddressBox")),
                 (QStringList{QStringLiteral("photos/2001/"), QStringLiteral("photos/2000/")}));
        QCOMPARE(box(*window, "baseAddressBox")->currentText(), QStringLiteral("photos/2001/"));
        QCOMPARE(itemsOf(*box(*window, "checkFolderBox")), QStringList{QStringLiteral("C:\\images")});
        QCOMPARE(box(*window, "checkFolderBox")->currentText(), QStringLiteral("C:\\images"));
        QCOMPARE(ui::CheckValue::value(*check(*window, "thumbnailsCheck")), core::CheckState::Ticked);
        QCOMPARE(ui::CheckValue::value(*check(*window, "checkFolderCheck")), core::CheckState::Clear);
        QVERIFY(!box(*window, "checkFolderBox")->isEnabled());
        QVERIFY(!button(*window, "browseCheckFolderButton")->isEnabled());
        QVERIFY(check(*window, "checkFolderCheck")->isEnabled());
        QCOMPARE(edit(*window, "columnsEdit")->text(), QStringLiteral("5"));
        QCOMPARE(edit(*window, "thumbSizeEdit")->text(), QStringLiteral("80"));
        QCOMPARE(itemsOf(*box(*window, "headBox")), (QStringList{QStringLiteral("img"), QStringLiteral("Test")}));
        QCOMPARE(box(*window, "headBox")->currentText(), QStringLiteral("img"));
        QCOMPARE(itemsOf(*box(*window, "tailBox")),
                 (QStringList{QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".gif"),
                              QStringLiteral(".bmp"), QStringLiteral(".gif"), QStringLiteral(".jpg"),
                              QStringLiteral(".jpeg"), QStringLiteral(".bmp")}));
        QCOMPARE(box(*window, "tailBox")->currentText(), QStringLiteral(".jpg"));
        QCOMPARE(edit(*window, "startEdit")->text(), QStringLiteral("1"));
        QCOMPARE(edit(*window, "endEdit")->text(), QStringLiteral("120"));
        QCOMPARE(edit(*window, "digitsEdit")->text(), QStringLiteral("3"));
        QCOMPARE(window->lastSaveFolder(), QStringLiteral("C:\\pages\\"));
        QCOMPARE(box(*window, "downloadFolderBox")->currentText(), QStringLiteral("C:\\images"));
        QCOMPARE(box(*window, "downloadFolderBox")->count(), 0);
        QVERIFY(fake().messages.isEmpty());
    }

    void writerBytesForAKnownState()
    {
        auto window = newWindow();
        box(*window, "baseAddressBox")->addItem(QStringLiteral("http://www.example.org/写真/"));
        for (int i = 2; i <= 16; ++i)
            box(*window, "baseAddressBox")->addItem(QStringLiteral("a%1").arg(i));
        box(*window, "checkFolderBox")->setEditText(QString());
        ui::CheckValue::setValue(*check(*window, "thumbnailsCheck"), core::CheckState::Grey);
        ui::CheckValue::setValue(*check(*window, "checkFolderCheck"), core::CheckState::Ticked);
        edit(*window, "columnsEdit")->setText(QStringLiteral("7"));
        edit(*window, "thumbSizeEdit")->clear();
        edit(*window, "startEdit")->setText(QStringLiteral(" 0"));
        edit(*window, "endEdit")->setText(QStringLiteral("50"));
        edit(*window, "digitsEdit")->setText(QStringLiteral("3"));
        box(*window, "downloadFolderBox")->setEditText(QString());
        // The folder of the last saved page is kept too.
        QVERIFY(QDir(folderPath()).mkdir(QStringLiteral("pages")));
        window->setPage(QStringLiteral("page"), {});
        fake().saveAnswers.push_back(
            desktop::SaveDialogChoice{pathOf(QStringLiteral("pages/p.htm")), QStringLiteral("p.htm")});
        button(*window, "saveButton")->click();
        QVERIFY(window->start());
        window->close();

        // The file says when it was written; that line is the clock's.
        QByteArray written = contentsOf(iniPath());
        const qsizetype stamp = written.indexOf(HEADER_CREATED) + qsizetype(sizeof HEADER_CREATED) - 1;
        written.replace(stamp, written.indexOf("\r\n", stamp) - stamp, "2001/05/10 12:34:56");

        const QByteArray expected = HEADER_TITLE
            "\r\n" HEADER_CREATED "2001/05/10 12:34:56\r\n\r\n" HEADER_COMMENT "\r\n\r\n" KEY_BASE
            "\r\n 15 \r\nhttp://www.example.org/\x8E\xCA\x90^/\r\n"
            "a2\r\na3\r\na4\r\na5\r\na6\r\na7\r\na8\r\na9\r\na10\r\na11\r\na12\r\na13\r\na14\r\na15\r\n"
            "[End Of List]\r\n\r\n" KEY_FOLDERS "\r\n 1 \r\n\r\n[End Of List]\r\n\r\n" KEY_THUMB "\r\n 2 \r\n" KEY_CHECK
            "\r\n 1 \r\n" KEY_COLUMNS "\r\n7\r\n" KEY_SIZE "\r\n\r\n" KEY_HEAD
            "\r\n 1 \r\nTest\r\n[End Of List]\r\n\r\n" KEY_TAIL
            "\r\n 4 \r\n.jpg\r\n.jpeg\r\n.gif\r\n.bmp\r\n[End Of List]\r\n\r\n" KEY_START "\r\n 0\r\n" KEY_END
            "\r\n50\r\n" KEY_DIGITS "\r\n3\r\n" KEY_OUT "\r\n"
            + QFile::encodeName(pathOf(QStringLiteral("pages/"))) + "\r\n" KEY_IMAGES "\r\n\r\n";
        QCOMPARE(written, expected);
        // An empty list is saved with the box's text, which thereby becomes its entry.
        QCOMPARE(itemsOf(*box(*window, "headBox")), QStringList{QStringLiteral("Test")});
        QCOMPARE(itemsOf(*box(*window, "checkFolderBox")), QStringList{QString()});
        QCOMPARE(box(*window, "baseAddressBox")->count(), 16);
    }

    void tailListGrowsByFourEachRun()
    {
        runOnce();
        runOnce();
        auto window = newWindow();
        QVERIFY(window->start());
        QCOMPARE(box(*window, "tailBox")->count(), 12);
        QCOMPARE(box(*window, "tailBox")->currentText(), QStringLiteral(".jpg"));
        window->close();
        QVERIFY(contentsOf(iniPath()).contains(KEY_TAIL "\r\n 12 \r\n"));
    }

    void missingOrTruncatedFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("heads");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("0") << QStringList();
        QTest::newRow("truncated in a list") << QByteArray(KEY_START "\r\n9\r\n" KEY_HEAD "\r\n 3 \r\nx\r\n")
                                             << QStringLiteral("9") << QStringList{QStringLiteral("x")};
        QTest::newRow("truncated before a value")
            << QByteArray(KEY_START "\r\n9\r\n" KEY_END) << QStringLiteral("9") << QStringList();
    }

    void missingOrTruncatedFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, start);
        QFETCH(QStringList, heads);
        if (!file.isNull())
            QVERIFY(putBytes(iniPath(), file));
        auto window = newWindow();
        QVERIFY(window->start());
        QCOMPARE(edit(*window, "startEdit")->text(), start);
        QCOMPARE(itemsOf(*box(*window, "headBox")), heads);
        QCOMPARE(edit(*window, "endEdit")->text(), QStringLiteral("50"));
        QVERIFY(box(*window, "checkFolderBox")->isEnabled());
        QVERIFY(fake().messages.isEmpty());
    }

    // A quarter gigabyte of list entries of the longest kind: the window keeps 16 MB of it and
    // appears as fast as ever.
    void hugeListIsBoundedInTimeAndMemory()
    {
        constexpr int entries = 8192;
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(KEY_HEAD "\r\n " + QByteArray::number(entries) + " \r\n") > 0);
        const QByteArray entry = QByteArray(core::SettingsFormat::maxSingleValueUnits, 'a') + "\r\n";
        const QByteArray piece = entry.repeated(64);
        for (int k = 0; k < entries / 64; ++k)
            QCOMPARE(file.write(piece), piece.size());
        QVERIFY(file.write("[End Of List]\r\n\r\n" KEY_START "\r\n7\r\n") > 0);
        file.close();
        if (tests::peakResidentSinceLast() < 0)
            QSKIP("The system shows no peak memory that can be reset.");
        const qint64 before = tests::peakResidentSinceLast();
        QElapsedTimer timer;
        timer.start();

        auto window = newWindow();
        QVERIFY(window->start());

        const qint64 elapsed = timer.elapsed();
        const qint64 growth = tests::peakResidentSinceLast() - before;
        qInfo("%lld ms, peak grew by %lld bytes", elapsed, growth);
        QCOMPARE(box(*window, "headBox")->count(),
                 core::SettingsFormat::maxListTextUnits / core::SettingsFormat::maxSingleValueUnits);
        QCOMPARE(edit(*window, "startEdit")->text(), QStringLiteral("7"));
#ifndef __SANITIZE_ADDRESS__
        QVERIFY2(growth < 200 << 20, qPrintable(QString::number(growth)));
        QVERIFY2(elapsed < 2'000, qPrintable(QString::number(elapsed)));
#endif
    }

    void refusedCopyNeitherReadsNorWrites()
    {
        QVERIFY(putBytes(iniPath(), exampleFile));
        fake().otherInstance = true;
        int beepsAtMessage = -1;
        fake().whileMessageShown = [this, &beepsAtMessage] { beepsAtMessage = fake().beeps; };
        {
            auto window = newWindow();
            QVERIFY(!window->start());
            QCOMPARE(box(*window, "baseAddressBox")->currentText(), QStringLiteral("http://www."));
            window->close();
        }
        QCOMPARE(fake().lockPaths, QStringList{iniPath() + QStringLiteral(".lock")});
        QCOMPARE(beepsAtMessage, 1);
        QCOMPARE(fake().beeps, 1);
        QCOMPARE(fake().messages.size(), 1);
        QCOMPARE(fake().messages[0].text, QStringLiteral("すでに起動されています。"));
        QCOMPARE(fake().messages[0].title, QStringLiteral("Tessaly作成"));
        QCOMPARE(fake().messages[0].icon, desktop::MessageIcon::None);
        QCOMPARE(contentsOf(iniPath()), exampleFile);
    }

    // Two copies on the desktop's own lock: the refused one's box stands over the running window,
    // which comes forward and takes the focus, or in the middle of the screen when nobody answers.
    void secondCopyPointsAtTheFirst_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::newRow("running window answers") << true;
        QTest::newRow("nobody answers") << false;
    }

    void secondCopyPointsAtTheFirst()
    {
        QFETCH(bool, answers);
        desktop::QtDesktop firstDesktop;
        desktop::QtDesktop secondDesktop;
        tests::FakeDesktop &fake = this->fake();
        ui::MainWindow first({fake, fake, fake, firstDesktop, fake, fake}, settingsLocation());
        if (answers) {
            QVERIFY(first.start());
            first.show();
            first.move(30, 20);
            QVERIFY(QTest::qWaitForWindowExposed(&first));
        } else {
            QVERIFY(!firstDesktop.anotherInstanceRunning(settingsLocation().lockPath()));
        }
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));

        ui::MainWindow second({fake, fake, fake, secondDesktop, fake, fake}, settingsLocation());
        QVERIFY(!second.start());

        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text, QStringLiteral("すでに起動されています。"));
        const QPoint centre = answers ? first.frameGeometry().center() : second.screen()->geometry().center();
        QVERIFY((fake.messages[0].over.center() - centre).manhattanLength() <= 2);
        if (answers)
            QVERIFY(QTest::qWaitForWindowActive(&first));
        else
            QVERIFY(other.isActiveWindow());
    }

    void folderInPlaceOfTheFileIsLeftAloneSilently_data()
    {
        QTest::addColumn<bool>("beforeStart");
        QTest::newRow("made before start: read as no file") << true;
        QTest::newRow("made while running: the close cannot replace it") << false;
    }

    void folderInPlaceOfTheFileIsLeftAloneSilently()
    {
        QFETCH(bool, beforeStart);
        auto makeFolder = [this] {
            QVERIFY(QDir(folderPath()).mkdir(QStringLiteral("quorel.ini")));
            QVERIFY(putBytes(pathOf(QStringLiteral("quorel.ini/kept")), "kept"));
        };
        if (beforeStart)
            makeFolder();
        auto window = newWindow();
        QVERIFY(window->start());
        QCOMPARE(edit(*window, "endEdit")->text(), QStringLiteral("50"));
        if (!beforeStart)
            makeFolder();
        QVERIFY(window->close());
        QVERIFY(QFileInfo(iniPath()).isDir());
        QCOMPARE(QDir(iniPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("kept")});
        QCOMPARE(contentsOf(pathOf(QStringLiteral("quorel.ini/kept"))), QByteArray("kept"));
        QVERIFY(fake().messages.isEmpty());
    }
};

QTEST_MAIN(TestSettingsFile)
#include "test_SettingsFile.moc"
