#include "platform/ImageDownload.h"
#include "platform/UrlFetcher.h"

#include <QTest>

using namespace Qt::StringLiterals;
using quorel::core::OneBasedStrings;
using quorel::platform::FetchResult;

namespace
{
// Answers every address with its own text.
class RecordingFetcher final : public quorel::platform::UrlFetcher
{
public:
    QStringList fetched;

    FetchResult fetch(const QString &url) override
    {
        fetched.append(url);
        return {true, url.toUtf8(), {}};
    }
};

struct RecordingWriter
{
    QStringList paths;

    quorel::platform::FileWriter writer()
    {
        return [this](const QString &path, QByteArrayView) -> quorel::core::Result<> {
            paths.append(path);
            return {};
        };
    }
};

const OneBasedStrings urls{{u"http://h/1"_s, u"http://h/2"_s, u"http://h/3"_s}};
const OneBasedStrings names{{u"a1.jpg"_s, u"a2.jpg"_s, u"a3.jpg"_s}};
}

class TestImageDownload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsOnlyTheCountedEntries_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("fetches");
        QTest::newRow("fewer than the lists") << 2 << 2;
        QTest::newRow("more than the lists") << 7 << 3;
    }

    void readsOnlyTheCountedEntries()
    {
        QFETCH(int, count);
        QFETCH(int, fetches);
        RecordingFetcher fetcher;
        RecordingWriter files;
        QVERIFY(!quorel::platform::downloadImages(urls, names, qint16(count), u"/d"_s, fetcher, files.writer()));
        QCOMPARE(fetcher.fetched.size(), fetches);
    }

    void nameOutsideTheFolderIsRefusedBeforeFetching_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << u"sub/a2.jpg"_s;
        QTest::newRow("backslash") << u"..\\a2.jpg"_s;
        QTest::newRow("dot") << u"."_s;
        QTest::newRow("dot dot") << u".."_s;
        QTest::newRow("empty") << QString();
    }

    void nameOutsideTheFolderIsRefusedBeforeFetching()
    {
        QFETCH(QString, name);
        RecordingFetcher fetcher;
        RecordingWriter files;
        const OneBasedStrings badSecond{{u"a1.jpg"_s, name, u"a3.jpg"_s}};
        const auto failure = quorel::platform::downloadImages(urls, badSecond, 3, u"/d"_s, fetcher, files.writer());
        QVERIFY(failure);
        QVERIFY(failure->contains(u"「%1」"_s.arg(name)));
        QCOMPARE(fetcher.fetched, QStringList{u"http://h/1"_s});
        QCOMPARE(files.paths, QStringList{u"/d/a1.jpg"_s});
    }
};

QTEST_GUILESS_MAIN(TestImageDownload)
#include "test_ImageDownload.moc"
