#include "platform/CurlFetcher.h"
#include "support/LoopbackServer.h"

#include <QElapsedTimer>
#include <QTest>

using namespace Qt::StringLiterals;
using quorel::platform::CurlFetcher;
using quorel::platform::CurlFetcherLimits;
using quorel::tests::LoopbackServer;

class TestCurlFetcher : public QObject
{
    Q_OBJECT

private:
    static QByteArray binaryBody()
    {
        QByteArray bytes;
        for (int i = 0; i < 3000; ++i)
            bytes.append(char(i % 256));
        return bytes;
    }

private Q_SLOTS:
    void storesTheWholeBodyWhateverTheStatus_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("binary with NUL bytes") << u"/bin"_s << binaryBody();
        QTest::newRow("404 error page") << u"/missing"_s << "<html>not here</html>"_ba;
        QTest::newRow("empty body") << u"/empty"_s << QByteArray();
        QTest::newRow("redirect followed") << u"/moved"_s << binaryBody();
        QTest::newRow("space in the address") << u"/a b"_s << "spaced"_ba;
    }

    void storesTheWholeBodyWhateverTheStatus()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, expected);
        LoopbackServer server;
        server.serve(u"/bin"_s, 200, binaryBody());
        server.serve(u"/missing"_s, 404, "<html>not here</html>"_ba);
        server.serve(u"/empty"_s, 200, {});
        server.redirect(u"/moved"_s, u"/bin"_s);
        server.serve(u"/a b"_s, 200, "spaced"_ba);
        server.start();

        CurlFetcher fetcher;
        const auto result = fetcher.fetch(server.url(path));
        QVERIFY2(result.ok, qPrintable(result.errorText));
        QCOMPARE(result.body, expected);
        QCOMPARE(server.lastUserAgent(), u"quorel/1.1.5"_s);
    }

    void failuresGiveAJapaneseReason_data()
    {
        QTest::addColumn<QString>("url"); // a path alone goes to the test's server
        QTest::addColumn<QString>("reason");
        QTest::newRow("refused port") << LoopbackServer::refusedUrl(u"/x.jpg"_s) << u"サーバーに接続できませんでした。"_s;
        QTest::newRow("protocol not allowed") << u"file:///etc/hostname"_s << u"この種類のアドレスには対応していません。"_s;
        QTest::newRow("redirect to a protocol not allowed") << u"/escape"_s << u"この種類のアドレスには対応していません。"_s;
        QTest::newRow("redirect loop") << u"/loop"_s << u"転送先の指定が多すぎます。"_s;
        QTest::newRow("connection closed inside the body") << u"/cut"_s << u"転送が途中で切れました。"_s;
        QTest::newRow("unknown host") << u"http://no-such-host.invalid/x.jpg"_s << u"サーバーが見つかりません。"_s;
        QTest::newRow("empty address") << QString() << u"アドレスの形式が正しくありません。"_s;
    }

    void failuresGiveAJapaneseReason()
    {
        QFETCH(QString, url);
        QFETCH(QString, reason);
        LoopbackServer server;
        server.redirect(u"/escape"_s, u"file:///etc/passwd"_s);
        server.redirect(u"/loop"_s, u"/loop"_s);
        server.cutShort(u"/cut"_s, "the first half"_ba);
        server.start();
        CurlFetcher fetcher;
        const auto result = fetcher.fetch(url.startsWith(u'/') ? server.url(url) : url);
        QVERIFY(!result.ok);
        QCOMPARE(result.errorText, reason);
        QVERIFY(result.body.isEmpty());
    }

    void stalledServerIsGivenUp()
    {
        LoopbackServer server;
        server.stall(u"/slow"_s);
        server.serve(u"/fast"_s, 200, "after"_ba);
        server.start();
        CurlFetcher fetcher(CurlFetcherLimits{std::chrono::milliseconds(2000), 1, std::chrono::seconds(1)});
        QElapsedTimer timer;
        timer.start();
        const auto result = fetcher.fetch(server.url(u"/slow"_s));
        QVERIFY(!result.ok);
        QCOMPARE(result.errorText, u"サーバーからの応答が止まりました。"_s);
        QVERIFY2(timer.elapsed() < 10'000, qPrintable(QString::number(timer.elapsed())));
        // The handle is still good for the next address.
        QCOMPARE(fetcher.fetch(server.url(u"/fast"_s)).body, "after"_ba);
    }
};

QTEST_GUILESS_MAIN(TestCurlFetcher)
#include "test_CurlFetcher.moc"
