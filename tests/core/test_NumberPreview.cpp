#include "core/NumberPreview.h"

#include <QTest>

using namespace quorel::core;
using namespace Qt::StringLiterals;

class TestNumberPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void preview_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("expected");
        QTest::newRow("padded") << u"7"_s << u"3"_s << u"007"_s;
        QTest::newRow("count 0") << u"7"_s << u"0"_s << u"7"_s;
        QTest::newRow("count empty") << u"7"_s << QString() << u"7"_s;
        QTest::newRow("count not a number") << u"7"_s << u"abc"_s << u"7"_s;
        QTest::newRow("longer than count") << u"1234"_s << u"3"_s << u"1234"_s;
        QTest::newRow("empty start") << QString() << u"3"_s << u"000"_s;
        QTest::newRow("count read from its start") << u"7"_s << u"2x"_s << u"07"_s;
        QTest::newRow("count half to even") << u"7"_s << u"2.5"_s << u"07"_s;
        QTest::newRow("start to nearest") << u"6.6"_s << u"3"_s << u"007"_s;
        QTest::newRow("negative start") << u"-7"_s << u"3"_s << u"-007"_s;
        QTest::newRow("general format fraction") << u"1.5"_s << u"0"_s << u"1.5"_s;
        QTest::newRow("large start padded") << u"100000000000000000000"_s << u"3"_s << u"100000000000000000000"_s;
        QTest::newRow("count above 16 bits: plain") << u"7"_s << u"40000"_s << u"7"_s;
        QTest::newRow("count huge: plain") << u"7"_s << QString(400, u'9') << u"7"_s;
    }

    void preview()
    {
        QFETCH(QString, start);
        QFETCH(QString, digits);
        QFETCH(QString, expected);
        QCOMPARE(numberPreview(start, digits), expected);
    }

    void largestPaddedCount()
    {
        QCOMPARE(numberPreview(u"7", u"32766").size(), 32766);
        QCOMPARE(numberPreview(u"7", u"32767"), u"7"_s);
    }
};

QTEST_APPLESS_MAIN(TestNumberPreview)
#include "test_NumberPreview.moc"
