#include "platform/CurlFetcher.h"
#include "platform/ImageDownload.h"
#include "platform/UrlFetcher.h"
#include "support/FailureText.h"
#include "support/FileBytes.h"
#include "support/LoopbackServer.h"
#include "support/RawServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using quorel::core::Reason;
using quorel::core::Result;
using quorel::tests::LoopbackServer;

Q_DECLARE_METATYPE(Reason)
Q_DECLARE_METATYPE(std::optional<Reason>)

namespace
{
// Answers every address with its own text, in two pieces, one address at a time; an address ending
// in "!" fails after its pieces, one ending in "?" finds no server.
class RecordingFetcher final : public quorel::platform::UrlFetcher
{
public:
    QStringList fetched;
    std::function<void()> afterFirst; // runs once the first image is taken on

    void add(qsizetype tag, const QString &url, quorel::platform::BodySink sink) override
    {
        if (fetched.size() == 1 && afterFirst)
            afterFirst();
        fetched.append(url);
        m_running.append({tag, url, std::move(sink)});
    }
    qsizetype room() const override { return 1 - m_running.size(); }
    QList<Ended> next() override
    {
        QList<Ended> ended;
        for (const Running &running : std::as_const(m_running))
            ended.append({running.tag, answer(running.url, running.sink)});
        m_running.clear();
        return ended;
    }
    void stop() override { }

private:
    static Result<> answer(const QString &url, const quorel::platform::BodySink &sink)
    {
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

    struct Running
    {
        qsizetype tag;
        QString url;
        quorel::platform::BodySink sink;
    };
    QList<Running> m_running;
};

const quorel::core::PageImages images{{u"http://h/1"_s, u"http://h/2"_s, u"http://h/3"_s},
                                      {u"a1.jpg"_s, u"a2.jpg"_s, u"a3.jpg"_s}};

// The files in the folder, hidden ones too.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// n images from the server's path, named img000.jpg … in the folder.
quorel::core::PageImages imagesAt(const QString &url, int count)
{
    QStringList addresses;
    QStringList names;
    for (int n = 0; n < count; ++n) {
        addresses.append(url);
        names.append(u"img%1.jpg"_s.arg(n, 3, 10, QChar(u'0')));
    }
    return {addresses, names};
}

const quorel::platform::CurlFetcherLimits quickLimits{
    std::chrono::milliseconds(2000), 100, std::chrono::seconds(1), {}};
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
        QTest::addColumn<Reason>("reason");
        const Reason outside = Reason::NameLeavesFolder;
        const Reason tooLong = Reason::NameTooLong;
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
            << u"a2.jpg"_s << u"http://h/2!"_s << true << Reason::TransferCut;
    }

    void badImageFailsAloneAndTheRunGoesOn()
    {
        QFETCH(QString, name);
        QFETCH(QString, url);
        QFETCH(bool, fetched);
        QFETCH(Reason, reason);
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
        QCOMPARE(done->firstFailures.at(0).failure.reason, reason);
        QCOMPARE(fetcher.fetched,
                 fetched ? (QStringList{u"http://h/1"_s, url, u"http://h/3"_s})
                         : (QStringList{u"http://h/1"_s, u"http://h/3"_s}));
        // Nothing half-written, under its name or hidden.
        QCOMPARE(filesIn(folder.path()), (QStringList{u"a1.jpg"_s, u"a3.jpg"_s}));
    }

    // Only a cause that every later image would meet ends the run early.
    void runEndsEarlyOnlyWhenGoingOnCannotHelp_data()
    {
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<bool>("folderExists");
        QTest::addColumn<int>("tried");
        QTest::addColumn<int>("saved");
        QTest::addColumn<std::optional<quorel::core::Reason>>("why"); // none: the run went to the end
        const QStringList silent{u"http://h/1?"_s, u"http://h/2?"_s, u"http://h/3?"_s,
                                 u"http://h/4?"_s, u"http://h/5?"_s, u"http://h/6"_s};
        QTest::newRow("five silent in a row")
            << silent << true << 5 << 0 << std::optional(quorel::core::Reason::ServersSilent);
        QStringList answered = silent;
        answered[2] = u"http://h/3"_s;
        QTest::newRow("an answer between silent ones")
            << answered << true << 6 << 2 << std::optional<quorel::core::Reason>();
        // Counted by server: another server's answers do not hide a silent one.
        QStringList twoServers;
        for (int n = 1; n <= 6; ++n)
            twoServers << u"http://silent/%1?"_s.arg(n) << u"http://answers/%1"_s.arg(n);
        QTest::newRow("five silent from one server, another answering")
            << twoServers << true << 9 << 4 << std::optional(quorel::core::Reason::ServersSilent);
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

    // A hundred images from a server that answers in no order, after random waits, with some errors,
    // some bodies cut short and some connections reset.
    void hundredImagesAnsweredInNoOrder()
    {
        constexpr int count = 100;
        enum class Fate
        {
            Saved,
            Missing,
            Cut,
            Reset
        };
        QList<Fate> fates;
        QList<QByteArray> bodies;
        auto *random = QRandomGenerator::global();
        for (int n = 0; n < count; ++n) {
            const int dice = random->bounded(10);
            fates.append(dice == 0 ? Fate::Missing : dice == 1 ? Fate::Cut : dice == 2 ? Fate::Reset : Fate::Saved);
            bodies.append(LoopbackServer::generatedBytes(n * 100'000, random->bounded(1, 60'000)));
        }
        LoopbackServer server;
        server.answerUnder(u"/img/"_s, [&](const QString &path, int) {
            const int n = path.mid(5).toInt();
            auto answer = LoopbackServer::Answer::image(bodies.at(n), std::chrono::milliseconds(random->bounded(60)));
            answer.status = fates.at(n) == Fate::Missing ? 404 : 200;
            answer.cut = fates.at(n) == Fate::Cut;
            return answer;
        });
        server.start();
        quorel::tests::RawServer resetting("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\npart"_ba, {},
                                           quorel::tests::RawServer::Ending::Reset);
        QTemporaryDir folder;
        QStringList addresses;
        QStringList names;
        QStringList expectedFiles;
        QStringList expectedFailures;
        for (int n = 0; n < count; ++n) {
            addresses.append(fates.at(n) == Fate::Reset ? resetting.url(u"/r"_s) : server.url(u"/img/%1"_s.arg(n)));
            names.append(u"img%1.jpg"_s.arg(n, 3, 10, QChar(u'0')));
            if (fates.at(n) == Fate::Saved)
                expectedFiles.append(names.last());
            else if (expectedFailures.size() < quorel::core::DownloadReport::namedFailures)
                expectedFailures.append(names.last());
        }

        quorel::platform::CurlFetcher fetcher;
        QList<qsizetype> ended;
        const auto done = quorel::platform::downloadImages({addresses, names}, folder.path(), fetcher,
                                                           [&ended](qsizetype n) { ended.append(n); });
        QVERIFY(done);
        QCOMPARE(done->saved, count - fates.count(Fate::Missing) - fates.count(Fate::Cut) - fates.count(Fate::Reset));
        QCOMPARE(done->failed, count - done->saved);
        QVERIFY(!done->endedEarly);
        QStringList failed;
        for (const quorel::core::DownloadReport::ImageFailure &image : done->firstFailures) {
            failed.append(image.fileName);
            const Fate fate = fates.at(names.indexOf(image.fileName));
            QCOMPARE(image.failure.reason, fate == Fate::Missing ? Reason::HttpStatus : Reason::TransferCut);
        }
        QCOMPARE(failed, expectedFailures);
        // Six connections to the server at most.
        QCOMPARE(server.mostAtOnce(), 6);
        QCOMPARE(ended.size(), count);
        QCOMPARE(ended.last(), count);
        QCOMPARE(filesIn(folder.path()), expectedFiles);
        for (int n = 0; n < count; ++n)
            if (fates.at(n) == Fate::Saved)
                QVERIFY2(quorel::tests::contentsOf(folder.filePath(names.at(n))) == bodies.at(n),
                         qPrintable(names.at(n)));
    }

    // A stop with six transfers under way ends them all at once and leaves no file, whole or part.
    void stopWithSixInFlightLeavesNothing()
    {
        LoopbackServer server;
        server.trickle(u"/slow"_s, 50);
        server.start();
        QTemporaryDir folder;
        quorel::platform::CurlFetcher fetcher;
        QElapsedTimer sinceStop;
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            sinceStop.start();
            fetcher.stop();
        });
        const auto done
            = quorel::platform::downloadImages(imagesAt(server.url(u"/slow"_s), 20), folder.path(), fetcher);
        const qint64 stopping = sinceStop.elapsed();
        stopper.join();
        QVERIFY(done);
        QVERIFY2(stopping < 500, qPrintable(QString::number(stopping)));
        QCOMPARE(server.requestedPaths().size(), 6);
        QCOMPARE(done->saved + done->failed, 0);
        QCOMPARE(done->endedEarly->reason, Reason::TransferStopped);
        QCOMPARE(filesIn(folder.path()), QStringList());
    }

    // Transfers to a server that takes the connection and never answers run their time-outs together.
    void silentServerEndsTheRunInAboutOneTimeOut()
    {
        LoopbackServer server;
        server.stall(u"/silent"_s);
        server.start();
        QTemporaryDir folder;
        quorel::platform::CurlFetcher fetcher(quickLimits);
        QElapsedTimer timer;
        timer.start();
        const auto done
            = quorel::platform::downloadImages(imagesAt(server.url(u"/silent"_s), 40), folder.path(), fetcher);
        const qint64 elapsed = timer.elapsed();
        QVERIFY(done);
        QCOMPARE(done->endedEarly->reason, Reason::ServersSilent);
        QVERIFY(done->failed >= quorel::core::DownloadReport::silentServersLimit);
        for (const quorel::core::DownloadReport::ImageFailure &image : done->firstFailures)
            QCOMPARE(image.failure.reason, Reason::NoAnswer);
        QVERIFY2(elapsed < 2 * quickLimits.lowSpeedTime.count() * 1000 + 500, qPrintable(QString::number(elapsed)));
        QCOMPARE(filesIn(folder.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestImageDownload)
#include "test_ImageDownload.moc"
