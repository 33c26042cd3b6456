#include "platform/ImageDownload.h"
#include "platform/UrlFetcher.h"
#include "support/FailureText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using quorel::core::Result;

namespace
{
// Answers every address with its own text, in two pieces; an address ending in "!" fails after them.
class RecordingFetcher final : public quorel::platform::UrlFetcher
{
public:
    QStringList fetched;

    Result<> fetch(const QString &url, const quorel::platform::BodySink &sink) override
    {
        fetched.append(url);
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
        const Result<> done = quorel::platform::downloadImages(images, folder.path(), fetcher);
        QVERIFY2(done, qPrintable(quorel::tests::failureText(done)));
        QCOMPARE(fetcher.fetched, images.addresses());
        QCOMPARE(filesIn(folder.path()), images.fileNames());
        QFile last(folder.filePath(images.fileNames().last()));
        QVERIFY(last.open(QIODevice::ReadOnly));
        QCOMPARE(last.readAll(), images.addresses().last().toUtf8());
    }

    void badEntryStopsTheRunKeepingEarlierFiles_data()
    {
        QTest::addColumn<QString>("name"); // entry 2's file name
        QTest::addColumn<QString>("url"); // entry 2's address
        QTest::addColumn<bool>("fetched"); // whether entry 2 was asked for
        QTest::addColumn<QString>("message"); // <path> stands for entry 2's path
        const QString outside = u"ファイル「%1」は保存できません。名前が出力フォルダの中のファイルを指していません。"_s;
        QTest::newRow("slash") << u"sub/a2.jpg"_s << u"http://h/2"_s << false << outside.arg(u"sub/a2.jpg"_s);
        QTest::newRow("backslash") << u"..\\a2.jpg"_s << u"http://h/2"_s << false << outside.arg(u"..\\a2.jpg"_s);
        QTest::newRow("dot") << u"."_s << u"http://h/2"_s << false << outside.arg(u"."_s);
        QTest::newRow("dot dot") << u".."_s << u"http://h/2"_s << false << outside.arg(u".."_s);
        QTest::newRow("empty") << QString() << u"http://h/2"_s << false << outside.arg(QString());
        QTest::newRow("name longer than the system allows")
            << QString(300, u'n') << u"http://h/2"_s << false
            << u"ファイル「<path>」に書き込めませんでした。ファイル名が長すぎます。"_s;
        QTest::newRow("name within the limit only in characters")
            << QString(100, u'画') << u"http://h/2"_s << false
            << u"ファイル「<path>」に書き込めませんでした。ファイル名が長すぎます。"_s;
        QTest::newRow("transfer cut after pieces were written")
            << u"a2.jpg"_s << u"http://h/2!"_s << true
            << u"「http://h/2!」を取得できませんでした。転送が途中で切れました。"_s;
    }

    void badEntryStopsTheRunKeepingEarlierFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, url);
        QFETCH(bool, fetched);
        QFETCH(QString, message);
        QTemporaryDir folder;
        RecordingFetcher fetcher;
        const quorel::core::PageImages badSecond{{u"http://h/1"_s, url, u"http://h/3"_s},
                                                 {u"a1.jpg"_s, name, u"a3.jpg"_s}};
        const Result<> done = quorel::platform::downloadImages(badSecond, folder.path(), fetcher);
        QVERIFY(!done);
        QCOMPARE(quorel::tests::failureText(done), QString(message).replace(u"<path>"_s, folder.filePath(name)));
        QCOMPARE(fetcher.fetched, fetched ? (QStringList{u"http://h/1"_s, url}) : QStringList{u"http://h/1"_s});
        // Nothing half-written, under its name or hidden.
        QCOMPARE(filesIn(folder.path()), QStringList{u"a1.jpg"_s});
    }
};

QTEST_GUILESS_MAIN(TestImageDownload)
#include "test_ImageDownload.moc"
