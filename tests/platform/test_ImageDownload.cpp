#include "platform/ImageDownload.h"
#include "platform/UrlFetcher.h"
#include "support/FailureText.h"
#include "ui/Messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using quorel::core::Reason;
using quorel::core::Result;

Q_DECLARE_METATYPE(std::optional<quorel::core::Reason>)

namespace
{
// Answers every address with its own text, in two pieces; an address ending in "!" fails after them,
// one ending in "?" finds no server.
class RecordingFetcher final : public quorel::platform::UrlFetcher
{
public:
    QStringList fetched;
    std::function<void()> afterFirst; // runs once the first image is fetched

    Result<> fetch(const QString &url, const quorel::platform::BodySink &sink) override
    {
        if (fetched.size() == 1 && afterFirst)
            afterFirst();
        fetched.append(url);
        if (url.endsWith(u'?'))
            return quorel::core::fail(quorel::core::Reason::ConnectFailed);
        const QByteArray body = url.toUtf8();
        for (const QByteArray &piece : {body.left(3), body.mid(3)})
            if (Result<> taken = sink(piece); !taken)
                return taken;
        if (url.endsWith(u'!'))
            return quorel::core::fail(quorel::core::Reason::TransferCut);
        return {};
    }
    void stop() override { }
};

const quorel::core::PageImages images{{u"http://h/1"_s, u"http://h/2"_s, u"http://h/3"_s},
                                      {u"a1.jpg"_s, u"a2.jpg"_s, u"a3.jpg"_s}};

// The files in the folder, hidden ones too.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}
}

class TestImageDownload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storesEachImageUnderItsName()
    {
        QTemporaryDir folder;
        RecordingFetcher fetcher;
        QList<qsizetype> ended;
        const auto done = quorel::platform::downloadImages(images, folder.path(), fetcher,
                                                           [&ended](qsizetype count) { ended.append(count); });
        QVERIFY2(done, qPrintable(quorel::tests::failureText(done)));
        QVERIFY(done->complete());
        QCOMPARE(ended, (QList<qsizetype>{1, 2, 3}));
        QCOMPARE(fetcher.fetched, images.addresses());
        QCOMPARE(filesIn(folder.path()), images.fileNames());
        QFile last(folder.filePath(images.fileNames().last()));
        QVERIFY(last.open(QIODevice::ReadOnly));
        QCOMPARE(last.readAll(), images.addresses().last().toUtf8());
    }

    void badImageFailsAloneAndTheRunGoesOn_data()
    {
        QTest::addColumn<QString>("name"); // image 2's file name
        QTest::addColumn<QString>("url"); // image 2's address
        QTest::addColumn<bool>("fetched"); // whether image 2 was asked for
        QTest::addColumn<QString>("reason"); // as the account gives it
        const QString outside = u"名前が出力フォルダの中のファイルを指していません。"_s;
        const QString tooLong = u"ファイル名が長すぎます。"_s;
        QTest::newRow("slash") << u"sub/a2.jpg"_s << u"http://h/2"_s << false << outside;
        QTest::newRow("backslash") << u"..\\a2.jpg"_s << u"http://h/2"_s << false << outside;
        QTest::newRow("dot") << u"."_s << u"http://h/2"_s << false << outside;
        QTest::newRow("dot dot") << u".."_s << u"http://h/2"_s << false << outside;
        QTest::newRow("empty") << QString() << u"http://h/2"_s << false << outside;
        QTest::newRow("name longer than the system allows")
            << QString(300, u'n') << u"http://h/2"_s << false << tooLong;
        QTest::newRow("name within the limit only in characters")
            << QString(100, u'画') << u"http://h/2"_s << false << tooLong;
        QTest::newRow("transfer cut after pieces were written")
            << u"a2.jpg"_s << u"http://h/2!"_s << true << u"転送が途中で切れました。"_s;
    }

    void badImageFailsAloneAndTheRunGoesOn()
    {
        QFETCH(QString, name);
        QFETCH(QString, url);
        QFETCH(bool, fetched);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        RecordingFetcher fetcher;
        const quorel::core::PageImages badSecond{{u"http://h/1"_s, url, u"http://h/3"_s},
                                                 {u"a1.jpg"_s, name, u"a3.jpg"_s}};
        const auto done = quorel::platform::downloadImages(badSecond, folder.path(), fetcher);
        QVERIFY(done);
        QCOMPARE(done->saved, 2);
        QCOMPARE(done->failed, 1);
        QVERIFY(!done->endedEarly);
        QCOMPARE(done->firstFailures.at(0).fileName, name);
        QVERIFY(quorel::ui::Messages::downloadAccount(*done).contains(reason));
        QCOMPARE(fetcher.fetched,
                 fetched ? (QStringList{u"http://h/1"_s, url, u"http://h/3"_s})
                         : (QStringList{u"http://h/1"_s, u"http://h/3"_s}));
        // Nothing half-written, under its name or hidden.
        QCOMPARE(filesIn(folder.path()), (QStringList{u"a1.jpg"_s, u"a3.jpg"_s}));
    }

    // The account shortens a long name in the middle, so the number near its end still shows.
    void accountShowsTheEndOfLongNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short") << u"img01.jpg"_s << u"img01.jpg"_s;
        QTest::newRow("60 characters") << QString(51, u'a') + u"img01.jpg"_s << QString(51, u'a') + u"img01.jpg"_s;
        QTest::newRow("240 characters") << QString(230, u'a') + u"img0001.jpg"_s
                                        << QString(29, u'a') + u'…' + QString(19, u'a') + u"img0001.jpg"_s;
        const QString kanji = u"𠮷"_s;
        QTest::newRow("pairs at both cuts") << u"ab"_s + kanji.repeated(100)
                + u"img1.jpeg"_s << u"ab"_s + kanji.repeated(13) + u'…' + kanji.repeated(10) + u"img1.jpeg"_s;
    }

    void accountShowsTheEndOfLongNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        quorel::core::DownloadReport report;
        report.total = 1;
        report.addFailure(name, quorel::core::fail(Reason::NotReplaced));
        QVERIFY2(quorel::ui::Messages::downloadAccount(report).contains(u"\r\n"_s + shown + u" … "_s),
                 qPrintable(quorel::ui::Messages::downloadAccount(report)));
    }

    // Only a cause that every later image would meet ends the run early.
    void runEndsEarlyOnlyWhenGoingOnCannotHelp_data()
    {
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<bool>("folderExists");
        QTest::addColumn<int>("tried");
        QTest::addColumn<int>("saved");
        QTest::addColumn<std::optional<quorel::core::Reason>>("why"); // none: the run went to the end
        const QStringList silent{u"h/1?"_s, u"h/2?"_s, u"h/3?"_s, u"h/4?"_s, u"h/5?"_s, u"h/6"_s};
        QTest::newRow("five silent servers in a row")
            << silent << true << 5 << 0 << std::optional(quorel::core::Reason::ServersSilent);
        QStringList answered = silent;
        answered[2] = u"h/3"_s;
        QTest::newRow("an answer between silent servers")
            << answered << true << 6 << 2 << std::optional<quorel::core::Reason>();
        QTest::newRow("folder gone") << QStringList{u"h/1"_s, u"h/2"_s} << false << 0 << 0
                                     << std::optional(quorel::core::Reason::FolderMissing);
    }

    void runEndsEarlyOnlyWhenGoingOnCannotHelp()
    {
        QFETCH(QStringList, addresses);
        QFETCH(bool, folderExists);
        QFETCH(int, tried);
        QFETCH(int, saved);
        QFETCH(std::optional<quorel::core::Reason>, why);
        QTemporaryDir root;
        const QString folder = folderExists ? root.path() : root.filePath(u"gone"_s);
        QStringList names;
        for (qsizetype k = 0; k < addresses.size(); ++k)
            names.append(u"a%1.jpg"_s.arg(k));
        RecordingFetcher fetcher;
        const auto done = quorel::platform::downloadImages({addresses, names}, folder, fetcher);
        QVERIFY(done);
        QCOMPARE(done->saved + done->failed, tried);
        QCOMPARE(done->saved, saved);
        QCOMPARE(done->endedEarly.has_value(), why.has_value());
        if (done->endedEarly)
            QCOMPARE(done->endedEarly->reason, *why);
        QCOMPARE(done->notTried(), addresses.size() - tried);
    }

    // The folder is opened once, before any image, following a link on its path only when this user
    // or the owner of the folder that holds the link owns it.
    void folderIsTheOneNamedAtTheStart_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("folderText"); // in the test's folder R
        QTest::addColumn<std::optional<Reason>>("why"); // none: every image lands in R/real
        QTest::addColumn<QString>("refusedLink"); // the link a refusal names
        QTest::newRow("folder") << u""_s << u"real"_s << std::optional<Reason>() << QString();
        QTest::newRow("own link") << u"own"_s << u"dl"_s << std::optional<Reason>() << QString();
        QTest::newRow("link of the shared folder's owner")
            << u"owner's"_s << u"shared/dl"_s << std::optional<Reason>() << QString();
        QTest::newRow("another user's link in a shared folder")
            << u"planted"_s << u"shared/dl"_s << std::optional(Reason::LinkNotTrusted) << u"shared/dl"_s;
        QTest::newRow("another user's link above the folder")
            << u"planted"_s << u"shared/dl/real"_s << std::optional(Reason::LinkNotTrusted) << u"shared/dl"_s;
        QTest::newRow("41 links in a row") << u"chain"_s << u"l0"_s << std::optional(Reason::TooManyLinks) << QString();
        QTest::newRow("NUL in the folder text")
            << u""_s << u"real\u0000x"_s << std::optional(Reason::UnusableCharacter) << QString();
        QTest::newRow("folder swapped for a link mid-run")
            << u"swap"_s << u"work"_s << std::optional<Reason>() << QString();
    }

    void folderIsTheOneNamedAtTheStart()
    {
        QFETCH(QString, setting);
        QFETCH(QString, folderText);
        QFETCH(std::optional<Reason>, why);
        QFETCH(QString, refusedLink);
        QTemporaryDir root;
        const auto at = [&root](const QString &name) { return QFile::encodeName(root.filePath(name)); };
        const uid_t other = ::geteuid() + 4242;
        QVERIFY(QDir(root.path()).mkdir(u"real"_s));
        bool given = true;
        if (setting == u"own"_s)
            QCOMPARE(::symlink("real", at(u"dl"_s).constData()), 0);
        if (setting == u"owner's"_s || setting == u"planted"_s) {
            QCOMPARE(::mkdir(at(u"shared"_s).constData(), 01777), 0);
            QCOMPARE(::symlink(root.path().toUtf8().constData(), at(u"shared/dl"_s).constData()), 0);
            given = ::lchown(at(u"shared/dl"_s).constData(), other, gid_t(-1)) == 0;
            if (setting == u"owner's"_s)
                given = given && ::chown(at(u"shared"_s).constData(), other, gid_t(-1)) == 0;
            if (setting == u"owner's"_s)
                folderText = u"shared/dl/real"_s;
        }
        if (setting == u"chain"_s) {
            for (int k = 0; k < 41; ++k)
                QCOMPARE(
                    ::symlink(QByteArray("l" + QByteArray::number(k + 1)).constData(), at(u"l%1"_s.arg(k)).constData()),
                    0);
            QCOMPARE(::symlink("real", at(u"l41"_s).constData()), 0);
        }
        if (!given)
            QSKIP("This user may not give a file to another user.");
        RecordingFetcher fetcher;
        if (setting == u"swap"_s) {
            QCOMPARE(::rename(at(u"real"_s).constData(), at(u"work"_s).constData()), 0);
            QVERIFY(QDir(root.path()).mkdir(u"elsewhere"_s));
            fetcher.afterFirst = [&] {
                QVERIFY(::rename(at(u"work"_s).constData(), at(u"real"_s).constData()) == 0);
                QVERIFY(::symlink("elsewhere", at(u"work"_s).constData()) == 0);
            };
        }

        const auto done = quorel::platform::downloadImages(images, root.filePath(folderText), fetcher);

        QVERIFY(done);
        if (!why) {
            QCOMPARE(done->saved, images.count());
            QCOMPARE(filesIn(root.filePath(u"real"_s)), images.fileNames());
            QCOMPARE(filesIn(root.filePath(u"elsewhere"_s)), QStringList());
            return;
        }
        QVERIFY(done->endedEarly);
        QCOMPARE(done->endedEarly->reason, *why);
        QCOMPARE(done->endedEarly->action, quorel::core::Action::OpenFolder);
        if (!refusedLink.isEmpty())
            QCOMPARE(done->endedEarly->detail, root.filePath(refusedLink));
        QCOMPARE(done->saved + done->failed, 0);
        QVERIFY(fetcher.fetched.isEmpty());
        QCOMPARE(filesIn(root.filePath(u"real"_s)), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestImageDownload)
#include "test_ImageDownload.moc"
