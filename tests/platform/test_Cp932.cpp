#include "platform/Cp932.h"

#include <QTest>

using namespace quorel::platform;
using namespace Qt::StringLiterals;

class TestCp932 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii with line ends") << u"a\r\nb"_s << QByteArray("a\r\nb");
        QTest::newRow("kanji") << u"画像"_s << QByteArray("\x89\xe6\x91\x9c");
        QTest::newRow("half-width katakana") << u"ｱ"_s << QByteArray("\xb1");
        QTest::newRow("wave dash as Windows maps it") << u"～"_s << QByteArray("\x81\x60");
        QTest::newRow("full-width hyphen-minus") << u"－"_s << QByteArray("\x81\x7c");
        QTest::newRow("NEC circled digit") << u"①"_s << QByteArray("\x87\x40");
        QTest::newRow("empty") << QString() << QByteArray();
    }

    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QVERIFY(Cp932::holdsAll(text));
        QCOMPARE(Cp932::encode(text).value(), bytes);
    }

    // Characters that once became "?" or vanished: the encoding names the first instead.
    void missingCharacterFailsNamingIt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("wave dash of input methods") << u"旅行〜2024"_s << u"〜"_s;
        QTest::newRow("minus sign") << u"a−b"_s << u"−"_s;
        QTest::newRow("hangul") << u"a한b"_s << u"한"_s;
        QTest::newRow("pair is one character") << u"a𠮷b"_s << u"𠮷"_s;
        QTest::newRow("lone surrogate") << u"a"_s + QChar(0xd800) << QString(QChar(0xd800));
        // The converter itself drops these without a word.
        QTest::newRow("zero-width joiner") << u"a\u200Db"_s << u"\u200D"_s;
        QTest::newRow("variation selector") << u"葛\U000E0100"_s << u"\U000E0100"_s;
        QTest::newRow("far into a long text") << u"画a"_s.repeated(40000) + u"¢"_s << u"¢"_s;
    }

    void missingCharacterFailsNamingIt()
    {
        QFETCH(QString, text);
        QFETCH(QString, named);
        QVERIFY(!Cp932::holdsAll(text));
        const auto encoded = Cp932::encode(text);
        QVERIFY(!encoded);
        QCOMPARE(encoded.error().reason, quorel::core::Reason::NotInCodePage);
        QCOMPARE(encoded.error().detail, named);
        int pieces = 0;
        QVERIFY(!Cp932::encodeInPieces({u"a"_s, text}, [&pieces](QByteArrayView) {
            ++pieces;
            return quorel::core::Result<>();
        }));
        QCOMPARE(pieces, 0);
    }

    void decodeReversesEncode()
    {
        const QString text = u"<head>画像 ｱ～①</head>\r\n"_s;
        QCOMPARE(Cp932::decode(Cp932::encode(text).value()), text);
    }

    void longTextPassesInPieces()
    {
        const QString text = u"画a"_s.repeated(50000);
        const QByteArray bytes = Cp932::encode(text).value();
        QCOMPARE(bytes.size(), 150000);
        QCOMPARE(Cp932::decode(bytes), text);
    }

    void invalidBytesDecodeWithoutLoss_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("lead byte at end") << QByteArray("a\x81");
        QTest::newRow("lead byte before a control") << QByteArray("a\x81\tb");
        QTest::newRow("undefined byte") << QByteArray("a\xff"
                                                      "b");
    }

    // Broken bytes in a file the user edited must not take the readable text around them.
    void invalidBytesDecodeWithoutLoss()
    {
        QFETCH(QByteArray, bytes);
        const QString text = Cp932::decode(bytes);
        QVERIFY(text.startsWith(u'a'));
        QCOMPARE(text.endsWith(u'b'), bytes.endsWith('b'));
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "test_Cp932.moc"
