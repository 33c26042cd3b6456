#include "core/NumberReading.h"

#include <QTest>

#include <cmath>

using namespace quorel::core;

class TestNumberReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numeric_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << QStringLiteral("12") << true << 12.0;
        QTest::newRow("spaces around") << QStringLiteral("  12 ") << true << 12.0;
        QTest::newRow("sign") << QStringLiteral("-5") << true << -5.0;
        QTest::newRow("plus") << QStringLiteral("+5") << true << 5.0;
        QTest::newRow("fraction") << QStringLiteral("1.5") << true << 1.5;
        QTest::newRow("point first") << QStringLiteral(".5") << true << 0.5;
        QTest::newRow("point last") << QStringLiteral("5.") << true << 5.0;
        QTest::newRow("empty") << QString() << false << 0.0;
        QTest::newRow("spaces only") << QStringLiteral("   ") << false << 0.0;
        QTest::newRow("trailing letters") << QStringLiteral("3abc") << false << 3.0;
        QTest::newRow("letters") << QStringLiteral("abc") << false << 0.0;
        QTest::newRow("sign alone") << QStringLiteral("-") << false << 0.0;
        QTest::newRow("space inside") << QStringLiteral("1 2") << false << 1.0;
        QTest::newRow("exponent not read") << QStringLiteral("5e3") << false << 5.0;
        QTest::newRow("full-width digit") << QStringLiteral("５") << false << 0.0;
        QTest::newRow("two points") << QStringLiteral("1.2.3") << false << 1.2;
        QTest::newRow("too close to zero") << (QStringLiteral("0.") + QString(400, u'0') + u'1') << true << 0.0;
        QTest::newRow("too large") << (u'-' + QString(400, u'9')) << true << -HUGE_VAL;
    }

    void numeric()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        QCOMPARE(NumberReading::isNumeric(text), numeric);
        QCOMPARE(NumberReading::numericValue(text), value);
    }

    void wholeValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("expected"); // -1 stands for "does not fit" in the last two rows
        QTest::addColumn<bool>("fits");
        QTest::newRow("2.5 to even") << 2.5 << qint64(2) << true;
        QTest::newRow("3.5 to even") << 3.5 << qint64(4) << true;
        QTest::newRow("-2.5 to even") << -2.5 << qint64(-2) << true;
        QTest::newRow("1.4") << 1.4 << qint64(1) << true;
        QTest::newRow("max") << 2147483647.0 << qint64(2147483647) << true;
        QTest::newRow("min") << -2147483648.0 << qint64(-2147483648LL) << true;
        QTest::newRow("above max") << 2147483648.0 << qint64(-1) << false;
        QTest::newRow("below min") << -2147483649.0 << qint64(-1) << false;
    }

    void wholeValue()
    {
        QFETCH(double, value);
        QFETCH(qint64, expected);
        QFETCH(bool, fits);
        const auto whole = NumberReading::wholeValue32(value);
        QCOMPARE(whole.has_value(), fits);
        if (fits)
            QCOMPARE(qint64(*whole), expected);
    }
};

QTEST_APPLESS_MAIN(TestNumberReading)
#include "test_NumberReading.moc"
