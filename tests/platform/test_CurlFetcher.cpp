#include "platform/CurlFetcher.h"
#include "support/DroppingServer.h"
#include "support/FailureText.h"
#include "support/FileBytes.h"
#include "support/LoopbackServer.h"

#include <QElapsedTimer>
#include <QTest>

#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

using namespace Qt::StringLiterals;
using quorel::core::Result;
using quorel::platform::CurlFetcher;
using quorel::platform::CurlFetcherLimits;
using quorel::tests::LoopbackServer;

namespace
{
QByteArray binaryBody()
{
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes.append(char(i % 256));
    return bytes;
}

struct Fetched
{
    Result<> result;
    QByteArray body;
};

Fetched fetchWhole(CurlFetcher &fetcher, const QString &url)
{
    QByteArray body;
    Result<> result = fetcher.fetch(url, [&body](QByteArrayView piece) {
        body.append(piece);
        return Result<>();
    });
    return {std::move(result), body};
}

// The process's peak resident size so far, in bytes.
qint64 peakResident()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

// Answers each connection with the given bytes, then sends forever until the client leaves, or the
// server has sent 64 MiB of it and closes.
class RawServer
{
public:
    RawServer(QByteArray answer, QByteArray forever)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
            || ::listen(m_listener, 4) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            qFatal("RawServer: cannot listen");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this, answer, forever] {
            const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            char request[4096];
            [[maybe_unused]] const ssize_t got = ::recv(fd, request, sizeof request, 0);
            bool open = ::send(fd, answer.data(), size_t(answer.size()), MSG_NOSIGNAL) == answer.size();
            for (qint64 sent = 0; open && !forever.isEmpty() && sent < (64 << 20); sent += forever.size())
                open = ::send(fd, forever.data(), size_t(forever.size()), MSG_NOSIGNAL) == forever.size();
            ::close(fd);
        });
    }
    ~RawServer()
    {
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }
    QString url() const { return u"http://127.0.0.1:%1/x.jpg"_s.arg(m_port); }

private:
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
};

// This thread, and the lookups it starts, see a resolver that takes questions and never answers.
class SilentResolver
{
public:
    SilentResolver()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(53);
        address.sin_addr.s_addr = htonl(0x7f4d4d4d); // 127.77.77.77
        m_socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const QString config = m_folder.filePath(u"resolv.conf"_s);
        m_ready = ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
            && quorel::tests::putBytes(config, "nameserver 127.77.77.77\noptions timeout:30 attempts:1\n")
            && ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && ::mount(QFile::encodeName(config).constData(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) == 0;
    }
    ~SilentResolver()
    {
        ::umount2("/etc/resolv.conf", MNT_DETACH);
        ::close(m_socket);
    }
    bool ready() const { return m_ready; }

private:
    int m_socket = -1;
    QTemporaryDir m_folder;
    bool m_ready = false;
};

constexpr CurlFetcherLimits quickLimits{std::chrono::milliseconds(2000), 100, std::chrono::seconds(1)};
}

class TestCurlFetcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // First, while the process's peak is still low.
    void bodyLargerThanAnyBufferArrivesWithoutBeingHeld()
    {
        constexpr qint64 size = 64 << 20;
        LoopbackServer server;
        server.serveGenerated(u"/big"_s, size);
        server.serve(u"/small"_s, 200, "warm"_ba);
        server.start();
        CurlFetcher fetcher;
        QVERIFY(fetchWhole(fetcher, server.url(u"/small"_s)).result);
        const qint64 peakBefore = peakResident();

        qint64 received = 0;
        bool same = true;
        const Result<> result = fetcher.fetch(server.url(u"/big"_s), [&](QByteArrayView piece) {
            same = same && piece == LoopbackServer::generatedBytes(received, piece.size());
            received += piece.size();
            return Result<>();
        });
        QVERIFY2(result, qPrintable(quorel::tests::failureText(result)));
        QCOMPARE(received, size);
        QVERIFY(same);
        QVERIFY2(fetcher.largestPiece() <= (1 << 20), qPrintable(QString::number(fetcher.largestPiece())));
#ifndef __SANITIZE_ADDRESS__
        // AddressSanitizer holds freed memory back for a while, so only a plain build shows the peak.
        const qint64 growth = peakResident() - peakBefore;
        QVERIFY2(growth < size / 4, qPrintable(u"peak grew by %1 bytes"_s.arg(growth)));
#else
        Q_UNUSED(peakBefore);
#endif
    }

    void storesTheWholeBodyOfASuccess_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("binary with NUL bytes") << u"/bin"_s << binaryBody();
        QTest::newRow("empty body") << u"/empty"_s << QByteArray();
        QTest::newRow("redirect followed") << u"/moved"_s << binaryBody();
        QTest::newRow("space in the address") << u"/a b"_s << "spaced"_ba;
    }

    void storesTheWholeBodyOfASuccess()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, expected);
        LoopbackServer server;
        server.serve(u"/bin"_s, 200, binaryBody());
        server.serve(u"/empty"_s, 200, {});
        server.redirect(u"/moved"_s, u"/bin"_s);
        server.serve(u"/a b"_s, 200, "spaced"_ba);
        server.start();

        CurlFetcher fetcher;
        const Fetched fetched = fetchWhole(fetcher, server.url(path));
        QVERIFY2(fetched.result, qPrintable(quorel::tests::failureText(fetched.result)));
        QCOMPARE(fetched.body, expected);
        QCOMPARE(server.lastUserAgent(), u"quorel/1.1.5"_s);
    }

    void failuresGiveAJapaneseReason_data()
    {
        QTest::addColumn<QString>("url"); // a path alone goes to the test's server
        QTest::addColumn<QString>("reason");
        QTest::newRow("refused port") << LoopbackServer::refusedUrl(u"/x.jpg"_s)
                                      << u"サーバーに接続できませんでした。"_s;
        QTest::newRow("protocol not allowed")
            << u"file:///etc/hostname"_s << u"この種類のアドレスには対応していません。"_s;
        QTest::newRow("redirect to a protocol not allowed")
            << u"/escape"_s << u"この種類のアドレスには対応していません。"_s;
        QTest::newRow("redirect loop") << u"/loop"_s << u"転送先の指定が多すぎます。"_s;
        QTest::newRow("connection closed inside the body") << u"/cut"_s << u"転送が途中で切れました。"_s;
        QTest::newRow("unknown host") << u"http://no-such-host.invalid/x.jpg"_s << u"サーバーが見つかりません。"_s;
        QTest::newRow("empty address") << QString() << u"アドレスの形式が正しくありません。"_s;
        QTest::newRow("header too large") << u"/header"_s << u"サーバーの応答のヘッダーが大きすぎます。"_s;
        QTest::newRow("error page") << u"/missing"_s << u"404 Not Found"_s;
        QTest::newRow("error without a body") << u"/gone"_s << u"410 Gone"_s;
        QTest::newRow("redirect to an error") << u"/moved"_s << u"404 Not Found"_s;
    }

    void failuresGiveAJapaneseReason()
    {
        QFETCH(QString, url);
        QFETCH(QString, reason);
        LoopbackServer server;
        server.redirect(u"/escape"_s, u"file:///etc/passwd"_s);
        server.redirect(u"/loop"_s, u"/loop"_s);
        server.cutShort(u"/cut"_s, "the first half"_ba);
        server.hugeHeader(u"/header"_s, 400 * 1024);
        server.serve(u"/missing"_s, 404, "<html>not here</html>"_ba);
        server.serve(u"/gone"_s, 410, {});
        server.redirect(u"/moved"_s, u"/missing"_s);
        server.start();
        CurlFetcher fetcher;
        const Fetched fetched = fetchWhole(fetcher, url.startsWith(u'/') ? server.url(url) : url);
        QVERIFY(!fetched.result);
        // An error answer's page is not taken for the image.
        QVERIFY(!fetched.body.contains("not here"));
        QCOMPARE(quorel::tests::failureText(fetched.result), reason);
    }

    void sinkFailureEndsTheTransferWithItsReason()
    {
        LoopbackServer server;
        server.serveGenerated(u"/big"_s, 8 << 20);
        server.start();
        CurlFetcher fetcher;
        int pieces = 0;
        const Result<> result = fetcher.fetch(server.url(u"/big"_s), [&pieces](QByteArrayView) {
            ++pieces;
            return Result<>(quorel::core::fail(quorel::core::Reason::DiskFull));
        });
        QVERIFY(!result);
        QCOMPARE(result.error().reason, quorel::core::Reason::DiskFull);
        QCOMPARE(pieces, 1);
    }

    void slowServersAreGivenUpAsStalled_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("answers nothing") << u"/stalled"_s;
        QTest::newRow("a byte every 200 ms") << u"/trickle"_s;
    }

    void slowServersAreGivenUpAsStalled()
    {
        QFETCH(QString, path);
        LoopbackServer server;
        server.stall(u"/stalled"_s);
        server.trickle(u"/trickle"_s, 200);
        server.serve(u"/fast"_s, 200, "after"_ba);
        server.start();
        CurlFetcher fetcher(quickLimits);
        QElapsedTimer timer;
        timer.start();
        const Fetched fetched = fetchWhole(fetcher, server.url(path));
        QVERIFY(!fetched.result);
        QCOMPARE(quorel::tests::failureText(fetched.result), u"サーバーからの応答が止まりました。"_s);
        QVERIFY2(timer.elapsed() < 5'000, qPrintable(QString::number(timer.elapsed())));
        // The handle is still good for the next address.
        QCOMPARE(fetchWhole(fetcher, server.url(u"/fast"_s)).body, "after"_ba);
    }

    void stopEndsARunningTransferAtOnceAndEveryLaterOne_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("stalled") << u"/stalled"_s;
        QTest::newRow("trickling") << u"/trickle"_s;
    }

    void stopEndsARunningTransferAtOnceAndEveryLaterOne()
    {
        QFETCH(QString, path);
        LoopbackServer server;
        server.stall(u"/stalled"_s);
        server.trickle(u"/trickle"_s, 100);
        server.serve(u"/fast"_s, 200, "after"_ba);
        server.start();
        CurlFetcher fetcher;
        QElapsedTimer timer;
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            timer.start();
            fetcher.stop();
        });
        const Fetched fetched = fetchWhole(fetcher, server.url(path));
        const qint64 afterStop = timer.elapsed();
        stopper.join();
        QVERIFY(!fetched.result);
        QVERIFY2(afterStop < 200, qPrintable(QString::number(afterStop)));
        QVERIFY(!fetchWhole(fetcher, server.url(u"/fast"_s)).result);
        QVERIFY(!server.requestedPaths().contains(u"/fast"_s));
    }

    void answersAreTakenOnlyAsTheProgramCanTakeThem_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("forever");
        QTest::addColumn<QString>("reason"); // empty when the body is stored as sent
        const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nbody\r\n0\r\n"_ba;
        const QString badAnswer = u"サーバーの応答の形式が正しくありません。"_s;
        QTest::newRow("chunked") << chunked + "\r\n" << QByteArray() << QString();
        QTest::newRow("content coding kept") << "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 4\r\n\r\n"
                                                "body"_ba
                                             << QByteArray() << QString();
        QTest::newRow("endless trailers") << chunked << QByteArray(1000, 'x').prepend("X-T: ").append("\r\n")
                                          << u"サーバーの応答のヘッダーが大きすぎます。"_s;
        QTest::newRow("endless header lines") << "HTTP/1.1 200 OK\r\n"_ba
                                              << "X-H: y\r\n"_ba << u"サーバーの応答のヘッダーが大きすぎます。"_s;
        QTest::newRow("gzip transfer coding")
            << "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\nConnection: close\r\n\r\nbody"_ba << QByteArray()
            << badAnswer;
        QTest::newRow("gzip before chunked")
            << "HTTP/1.1 200 OK\r\ntransfer-encoding: gzip, Chunked\r\n\r\n4\r\nbody\r\n0\r\n\r\n"_ba << QByteArray()
            << badAnswer;
        QTest::newRow("malformed chunk size")
            << "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nbody\r\n0\r\n\r\n"_ba << QByteArray()
            << badAnswer;
        const QString noImage = u"サーバーの応答（%1）は画像ではありません。前のファイルはそのままです。"_s;
        QTest::newRow("no content") << "HTTP/1.1 204 No Content\r\n\r\n"_ba << QByteArray()
                                    << noImage.arg(u"204 No Content"_s);
        QTest::newRow("reset content") << "HTTP/1.1 205 Reset Content\r\nContent-Length: 0\r\n\r\n"_ba << QByteArray()
                                       << noImage.arg(u"205 Reset Content"_s);
        QTest::newRow("a part nobody asked for")
            << "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-3/9\r\nContent-Length: 4\r\n\r\nbody"_ba
            << QByteArray() << noImage.arg(u"206 Partial Content"_s);
    }

    void answersAreTakenOnlyAsTheProgramCanTakeThem()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, forever);
        QFETCH(QString, reason);
        RawServer server(answer, forever);
        CurlFetcher fetcher;
        const Fetched fetched = fetchWhole(fetcher, server.url());
        QCOMPARE(quorel::tests::failureText(fetched.result), reason);
        if (reason.isEmpty())
            QCOMPARE(fetched.body, "body"_ba);
    }

    // A lookup left hanging by the resolver neither holds a stop back nor passes for a stalled server.
    void lookupThatNeverEnds_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("stopped") << true;
        QTest::newRow("timed out") << false;
    }

    void lookupThatNeverEnds()
    {
        QFETCH(bool, stopped);
        SilentResolver resolver;
        if (!resolver.ready())
            QSKIP("This user may not give the process a resolver of its own.");
        CurlFetcher fetcher(
            {std::chrono::milliseconds(stopped ? 30'000 : 1'500), 100, std::chrono::seconds(stopped ? 30 : 1)});
        QElapsedTimer timer;
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            timer.start();
            if (stopped)
                fetcher.stop();
        });
        const Fetched fetched = fetchWhole(fetcher, u"http://quorel-lookup.example/x.jpg"_s);
        const qint64 after = timer.elapsed();
        stopper.join();
        QVERIFY(!fetched.result);
        QCOMPARE(quorel::tests::failureText(fetched.result),
                 stopped ? u"転送を中止しました。"_s : u"サーバーが見つかりません。"_s);
        QVERIFY2(after < (stopped ? 500 : 2'000), qPrintable(QString::number(after)));
    }

    void serverDroppingEveryKeptConnectionLosesNoImage()
    {
        quorel::tests::DroppingServer server;
        CurlFetcher fetcher;
        constexpr int count = 3000;
        for (int n = 1; n <= count; ++n) {
            const QString path = u"/img%1.jpg"_s.arg(n);
            const Fetched fetched = fetchWhole(fetcher, server.url(path));
            QVERIFY2(fetched.result,
                     qPrintable(u"image %1: %2"_s.arg(n).arg(quorel::tests::failureText(fetched.result))));
            QCOMPARE(fetched.body, path.toUtf8());
        }
        QCOMPARE(server.answered(), count);
        QVERIFY(server.dropped() > 0);
    }
};

QTEST_GUILESS_MAIN(TestCurlFetcher)
#include "test_CurlFetcher.moc"
