#include "core/AddressAnalysis.h"

#include <QTest>

using namespace quorel::core;
using namespace Qt::StringLiterals;

class TestAddressAnalysis : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void split_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("expected"); // base, head, tail, start, end, digit count
        const auto row = [](const char *name, const QString &input, const QStringList &expected) {
            QTest::newRow(name) << input << expected;
        };
        row("name and extension", u"album/pic007.jpg"_s, {u"album/"_s, u"pic"_s, u".jpg"_s, u"007"_s, u"57"_s, u"3"_s});
        row("deep folders, suffix", u"photos/a/b/img_042_s.jpg"_s,
            {u"photos/a/b/"_s, u"img_"_s, u"_s.jpg"_s, u"042"_s, u"92"_s, u"3"_s});
        row("rightmost run wins", u"x/scan12-003.png"_s, {u"x/"_s, u"scan12-"_s, u".png"_s, u"003"_s, u"53"_s, u"3"_s});
        row("digit in extension", u"x/clip01.mp4"_s, {u"x/"_s, u"clip01.mp"_s, QString(), u"4"_s, u"54"_s, u"1"_s});
        row("name only a number", u"x/099"_s, {u"x/"_s, QString(), QString(), u"099"_s, u"149"_s, u"3"_s});
        row("no digit in name", u"x12/abc"_s, {u"x12/"_s, u"abc"_s, QString(), QString(), u"50"_s, u"0"_s});
        row("no slash", u"img001.jpg"_s, {QString(), u"img"_s, u".jpg"_s, u"001"_s, u"51"_s, u"3"_s});
        row("slash then number", u"/001.jpg"_s, {u"/"_s, QString(), u".jpg"_s, u"001"_s, u"51"_s, u"3"_s});
        row("number at first character", u"001.jpg"_s, {QString(), QString(), u".jpg"_s, u"001"_s, u"51"_s, u"3"_s});
        row("trailing space into tail", u"a/p1.jpg "_s, {u"a/"_s, u"p"_s, u".jpg "_s, u"1"_s, u"51"_s, u"1"_s});
        row("leading spaces into base", u"  a/p1.jpg"_s, {u"  a/"_s, u"p"_s, u".jpg"_s, u"1"_s, u"51"_s, u"1"_s});
        row("leading spaces into head", u"  p1.jpg"_s, {QString(), u"  p"_s, u".jpg"_s, u"1"_s, u"51"_s, u"1"_s});
        row("backslash is ordinary", u"a\\b\\p5.jpg"_s, {QString(), u"a\\b\\p"_s, u".jpg"_s, u"5"_s, u"55"_s, u"1"_s});
        row("full-width digits ordinary", u"a/p１２3.jpg"_s, {u"a/"_s, u"p１２"_s, u".jpg"_s, u"3"_s, u"53"_s, u"1"_s});
        row("16+ digits: nearest double", u"a/p12345678901234567.jpg"_s,
            {u"a/"_s, u"p"_s, u".jpg"_s, u"12345678901234567"_s, u"12345678901234618"_s, u"17"_s});
        row("no exponent", u"a/99999999999999999999"_s,
            {u"a/"_s, QString(), QString(), u"99999999999999999999"_s, u"100000000000000000000"_s, u"20"_s});
        row("end without leading zeros", u"a/0000000000000000000000007"_s,
            {u"a/"_s, QString(), QString(), u"0000000000000000000000007"_s, u"57"_s, u"25"_s});
    }

    void split()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, expected);
        const auto result = AddressAnalysis::analyse(input);
        QVERIFY(result);
        const QStringList actual{result->baseAddress, result->head, result->tail,
                                 result->start,       result->end,  result->digitCount};
        QCOMPARE(actual, expected);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces only") << u"   "_s;
        QTest::newRow("ends in slash") << u"http://www.example.org/"_s;
        QTest::newRow("slash before spaces") << u"album/  "_s;
        QTest::newRow("second press") << AddressAnalysis::analyse(u"album/pic007.jpg")->baseAddress;
    }

    void refused()
    {
        QFETCH(QString, input);
        QVERIFY(!AddressAnalysis::analyse(input));
    }

    void startBeyondDouble()
    {
        const QString start(400, u'9');
        // The largest double, written out: 309 digits.
        const QString end = AddressAnalysis::endFor(start);
        QVERIFY(end.startsWith(u"17976931348623157"));
        QCOMPARE(end.size(), 309);
    }

    void inputLongerThan16Bits()
    {
        const QString head(40000, u'b');
        const auto result = AddressAnalysis::analyse(QString(u"a/"_s + head + u"12.jpg"_s));
        QVERIFY(result);
        QCOMPARE(result->baseAddress, u"a/"_s);
        QCOMPARE(result->head, head);
        QCOMPARE(result->start, u"12"_s);
        QCOMPARE(result->tail, u".jpg"_s);

        const QString digits(40000, u'0');
        QCOMPARE(AddressAnalysis::analyse(QString(u"x/"_s + digits))->digitCount, u"40000"_s);
    }
};

QTEST_APPLESS_MAIN(TestAddressAnalysis)
#include "test_AddressAnalysis.moc"
