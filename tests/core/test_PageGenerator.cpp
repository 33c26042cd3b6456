#include "core/CheckFolderMerge.h"
#include "core/PageGenerator.h"
#include "platform/Cp932.h"
#include "support/WorkedPages.h"

#include <QTest>

#include <optional>

#include <sys/resource.h>

using namespace quorel::core;

Q_DECLARE_METATYPE(PageRequest)

namespace
{
PageRequest pattern(const QString &start, const QString &end, const QString &digits = QStringLiteral("2"))
{
    PageRequest request;
    request.baseAddress = QStringLiteral("pics/");
    request.head = QStringLiteral("img");
    request.tail = QStringLiteral(".jpg");
    request.digitCountText = digits;
    request.startText = start;
    request.endText = end;
    request.sizeText = QStringLiteral("80");
    request.columnsText = QStringLiteral("2");
    return request;
}

// A run's page, or an empty one carrying the refusal, so that a case can compare both.
struct Run
{
    std::optional<Reason> refusal;
    QString text;
    QStringList addresses;
    QStringList fileNames;
};

Run run(const PageRequest &request)
{
    Result<PageResult> result = generatePage(request);
    if (!result)
        return {result.error().reason, {}, {}, {}};
    return {{}, std::move(result->text), result->images.addresses(), result->images.fileNames()};
}

// Images 1 to 3 of the worked examples.
PageRequest workedRequest(bool thumbnails, bool addressOnly)
{
    PageRequest request = pattern(QStringLiteral("1"), QStringLiteral("3"));
    request.thumbnails = thumbnails;
    request.addressOnly = addressOnly;
    return request;
}

PageRequest withCheckFolder(PageRequest request, const QStringList &names)
{
    request.useCheckFolder = true;
    request.listCheckFolder = [names] { return names; };
    return request;
}
}

class TestPageGenerator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Runs bound to end over the limit are refused before they fill memory, with the loop's message.
    // First of all, so that the peak memory of the process is still that of a small program.
    void oversizedRunRefusedEarly_data()
    {
        QTest::addColumn<PageRequest>("request");
        PageRequest longHead = pattern(QStringLiteral("0"), QStringLiteral("30000"), QStringLiteral("1"));
        longHead.head = QString(5000, u'h');
        QTest::newRow("plain page, long head") << longHead;
        PageRequest wideCells = pattern(QStringLiteral("1"), QStringLiteral("30000"));
        wideCells.thumbnails = true;
        wideCells.sizeText = QString(10000, u'8');
        QTest::newRow("thumbnails, long size") << wideCells;
        PageRequest longBase = pattern(QStringLiteral("1"), QStringLiteral("2000"));
        longBase.addressOnly = true;
        longBase.baseAddress = QString(100000, u'b');
        QTest::newRow("address list, long base") << longBase;
        QTest::newRow("check folder leaves a few out") << withCheckFolder(
            longHead, {longHead.head + QStringLiteral("1.jpg"), longHead.head + QStringLiteral("7.jpg")});
    }

    void oversizedRunRefusedEarly()
    {
        QFETCH(PageRequest, request);
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        const Run result = run(request);
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        QCOMPARE(result.refusal, Reason::PageTooLarge);
        QVERIFY(result.text.isEmpty());
        // Building up to the limit takes hundreds of megabytes (ru_maxrss counts kilobytes).
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 32 * 1024,
                 qPrintable(QStringLiteral("peak grew by %1 kB").arg(after.ru_maxrss - before.ru_maxrss)));
    }

    void workedExamples_data()
    {
        QTest::addColumn<bool>("thumbnails");
        QTest::addColumn<bool>("addressOnly");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain page") << false << false << quorel::tests::WorkedPages::plain;
        QTest::newRow("thumbnail page") << true << false << quorel::tests::WorkedPages::thumbnails;
        QTest::newRow("address list") << false << true << quorel::tests::WorkedPages::addressList;
    }

    void workedExamples()
    {
        QFETCH(bool, thumbnails);
        QFETCH(bool, addressOnly);
        QFETCH(QString, expected);
        PageRequest request = workedRequest(thumbnails, addressOnly);
        const Run result = run(request);
        QVERIFY(!result.refusal);
        QCOMPARE(result.text, expected);
        const QStringList files{QStringLiteral("img01.jpg"), QStringLiteral("img02.jpg"), QStringLiteral("img03.jpg")};
        QCOMPARE(result.fileNames, files);
        QCOMPARE(result.addresses.first(), QStringLiteral("pics/img01.jpg"));
        QCOMPARE(result.addresses.size(), 3);
    }

    // Room is made once, for the whole page, and the last page's memory is written over.
    void pageMadeInOneAllocation_data() { workedExamples_data(); }

    void pageMadeInOneAllocation()
    {
        QFETCH(bool, thumbnails);
        QFETCH(bool, addressOnly);
        QFETCH(QString, expected);
        PageRequest request = workedRequest(thumbnails, addressOnly);
        const QChar *reserved = nullptr;
        int reservations = 0;
        request.reserveText = [&](QString &text, qsizetype units) {
            text.reserve(units);
            reserved = text.constData();
            ++reservations;
        };

        Result<PageResult> fresh = generatePage(request);
        QVERIFY(fresh);
        QCOMPARE(fresh->text, expected);
        QCOMPARE(reservations, 1);
        QCOMPARE(fresh->text.constData(), reserved);

        Result<PageResult> larger = generatePage(pattern(QStringLiteral("1"), QStringLiteral("40")));
        QVERIFY(larger);
        const QChar *lastPage = larger->text.constData();
        Result<PageResult> again = generatePage(request, std::move(larger->text));
        QVERIFY(again);
        QCOMPARE(again->text, expected);
        QCOMPARE(again->text.constData(), lastPage);
    }

    void emptyRange_data()
    {
        QTest::addColumn<bool>("thumbnails");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << false << QStringLiteral("<html>\r\n<title>Tessaly</title>\r\n");
        QTest::newRow("thumbnails") << true
                                    << QStringLiteral(
                                           "<html>\r\n<title>Tessaly</title>\r\n<table border=0></TABLE>\r\n</HTML>");
    }

    void emptyRange()
    {
        QFETCH(bool, thumbnails);
        QFETCH(QString, expected);
        PageRequest request = pattern(QStringLiteral("5"), QStringLiteral("4"));
        request.thumbnails = thumbnails;
        const Run result = run(request);
        QVERIFY(!result.refusal);
        QCOMPARE(result.text, expected);
        QVERIFY(result.addresses.isEmpty());
    }

    void emptyRangeIgnoresAHugeDigitCount()
    {
        PageRequest request
            = withCheckFolder(pattern(QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("2000000000")),
                              {QStringLiteral("img02.jpg")});
        const Run result = run(request);
        QVERIFY(!result.refusal);
        QCOMPARE(result.text, QStringLiteral("<html>\r\n<title>Tessaly</title>\r\n"));
    }

    void singleImageHasNoLinks()
    {
        const Run result = run(pattern(QStringLiteral("7"), QStringLiteral("7")));
        QVERIFY(!result.text.contains(QStringLiteral("Prev")));
        QVERIFY(!result.text.contains(QStringLiteral("Next")));
        QCOMPARE(result.fileNames, QStringList{QStringLiteral("img07.jpg")});
    }

    void numberTexts_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("more digits than the count")
            << QStringLiteral("99") << QStringLiteral("101") << QStringLiteral("2")
            << QStringList{QStringLiteral("img99.jpg"), QStringLiteral("img100.jpg"), QStringLiteral("img101.jpg")};
        QTest::newRow("empty count") << QStringLiteral("7") << QStringLiteral("7") << QString()
                                     << QStringList{QStringLiteral("img7.jpg")};
        QTest::newRow("zero count") << QStringLiteral("7") << QStringLiteral("7") << QStringLiteral("0")
                                    << QStringList{QStringLiteral("img7.jpg")};
        QTest::newRow("negative count") << QStringLiteral("7") << QStringLiteral("7") << QStringLiteral("-3")
                                        << QStringList{QStringLiteral("img7.jpg")};
        QTest::newRow("count with letters") << QStringLiteral("7") << QStringLiteral("7") << QStringLiteral("3abc")
                                            << QStringList{QStringLiteral("img007.jpg")};
        QTest::newRow("count after spaces") << QStringLiteral("7") << QStringLiteral("7") << QStringLiteral("  3")
                                            << QStringList{QStringLiteral("img007.jpg")};
        QTest::newRow("negative numbers") << QStringLiteral("-5") << QStringLiteral("-4") << QStringLiteral("3")
                                          << QStringList{QStringLiteral("img-005.jpg"), QStringLiteral("img-004.jpg")};
        QTest::newRow("start 1.5 starts at 2 (halves to even)")
            << QStringLiteral("1.5") << QStringLiteral("2") << QStringLiteral("1")
            << QStringList{QStringLiteral("img2.jpg")};
        QTest::newRow("start 2.5 starts at 2") << QStringLiteral("2.5") << QStringLiteral("2") << QStringLiteral("1")
                                               << QStringList{QStringLiteral("img2.jpg")};
        QTest::newRow("start with spaces") << QStringLiteral(" 3 ") << QStringLiteral("3") << QStringLiteral("1")
                                           << QStringList{QStringLiteral("img3.jpg")};
    }

    void numberTexts()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, digits);
        QFETCH(QStringList, files);
        const Run result = run(pattern(start, end, digits));
        QVERIFY(!result.refusal);
        QCOMPARE(result.fileNames, files);
    }

    void prevTestReadsTheStartText()
    {
        // The loop starts at 2, but 1.5 > 1, so image 2 gets no Prev link.
        const Run result = run(pattern(QStringLiteral("1.5"), QStringLiteral("3"), QStringLiteral("1")));
        QVERIFY(!result.text.contains(QStringLiteral("#1\">Prev")));
        QVERIFY(result.text.contains(QStringLiteral("<A HREF=\"#2\">Prev</a>")));
    }

    void thumbnailRows_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("tableStart");
        QTest::newRow("first cell not divisible")
            << QStringLiteral("1") << QStringLiteral("2") << QStringLiteral("<table border=0><TD>");
        QTest::newRow("zero opens a row")
            << QStringLiteral("0") << QStringLiteral("5") << QStringLiteral("<table border=0><TR><TD>");
        QTest::newRow("negative multiple opens a row")
            << QStringLiteral("-4") << QStringLiteral("2") << QStringLiteral("<table border=0><TR><TD>");
        QTest::newRow("negative column count")
            << QStringLiteral("3") << QStringLiteral("-3") << QStringLiteral("<table border=0><TR><TD>");
    }

    void thumbnailRows()
    {
        QFETCH(QString, start);
        QFETCH(QString, columns);
        QFETCH(QString, tableStart);
        PageRequest request = pattern(start, QStringLiteral("5"));
        request.thumbnails = true;
        request.columnsText = columns;
        const Run result = run(request);
        QVERIFY(!result.refusal);
        QVERIFY2(result.text.contains(tableStart), qPrintable(result.text.left(80)));
    }

    void insertedValuesAreNotEscaped()
    {
        PageRequest request = pattern(QStringLiteral("1"), QStringLiteral("1"));
        request.baseAddress = QStringLiteral("a\"<&/");
        request.head = QString();
        request.tail = QString();
        request.thumbnails = true;
        request.sizeText = QStringLiteral("80%");
        const Run result = run(request);
        QVERIFY(result.text.contains(QStringLiteral(
            "<a href=\"a\"<&/01\"><img src=\"a\"<&/01\"alt=\"01 \" width=\"80%\" height=\"80%\" border=\"0\">")));
    }

    // A browser set for another language reads a page without the declaration as windows-1252.
    void pageWithJapaneseDeclaresItsCharset_data()
    {
        QTest::addColumn<PageRequest>("request");
        QTest::addColumn<bool>("declared");
        const PageRequest ascii = pattern(QStringLiteral("1"), QStringLiteral("2"));
        PageRequest thumbnails = ascii;
        thumbnails.thumbnails = true;
        for (const PageRequest &kind : {ascii, thumbnails}) {
            const char *name = kind.thumbnails ? "thumbnails" : "plain";
            QTest::addRow("%s, ASCII alone", name) << kind << false;
            PageRequest base = kind;
            base.baseAddress = QStringLiteral("http://h/写真集/");
            QTest::addRow("%s, base address", name) << base << true;
            PageRequest head = kind;
            head.head = QStringLiteral("画像_");
            QTest::addRow("%s, head", name) << head << true;
            PageRequest tail = kind;
            tail.tail = QStringLiteral(".ｊｐｇ");
            QTest::addRow("%s, tail", name) << tail << true;
            PageRequest list = base;
            list.addressOnly = true;
            QTest::addRow("%s, address list", name) << list << false;
            QTest::addRow("%s, every image left out", name)
                << withCheckFolder(head, {QStringLiteral("画像_01.jpg"), QStringLiteral("画像_02.jpg")}) << false;
        }
    }

    // What the code page lacks is escaped in the text only; the download lists and the check folder
    // see the names as typed.
    void charactersTheCodePageLacks_data()
    {
        QTest::addColumn<bool>("thumbnails");
        QTest::addColumn<bool>("addressOnly");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain")
            << false << false
            << QStringLiteral(
                   "<html>\r\n<title>Tessaly</title>\r\n\r\n<A NAME=\"02\">\r\n"
                   "FileNo=02     \r\n<A HREF=\"#01\">Prev</a>     \r\n<BR><a href=\"b&#12316;/h&#134071;02.jpg\">"
                   "<img src=\"b&#12316;/h&#134071;02.jpg\"alt=\"h&#134071;02.jpg \">"
                   "<br></a>\r\n");
        QTest::newRow("thumbnails") << true << false
                                    << QStringLiteral(
                                           "<html>\r\n<title>Tessaly</title>\r\n<table border=0>"
                                           "<TR><TD>FileNo=02     \r\n<a href=\"b&#12316;/h&#134071;02.jpg\">"
                                           "<img src=\"b&#12316;/h&#134071;02.jpg\"alt=\"h&#134071;02.jpg \" "
                                           "width=\"8&#8722;\" height=\"8&#8722;\" border=\"0\"><br></a>\r\n"
                                           "</TD></TABLE>\r\n</HTML>");
        QTest::newRow("address list") << false << true
                                      << QStringLiteral(
                                             "b%E3%80%9C/h%F0%A0%AE%B701.jpg\r\nb%E3%80%9C/h%F0%A0%AE%B702.jpg\r\n");
    }

    void charactersTheCodePageLacks()
    {
        QFETCH(bool, thumbnails);
        QFETCH(bool, addressOnly);
        QFETCH(QString, text);
        PageRequest request
            = withCheckFolder(pattern(QStringLiteral("1"), QStringLiteral("2")), {QStringLiteral("h\U00020BB701.jpg")});
        request.baseAddress = QStringLiteral("b\u301C/");
        request.head = QStringLiteral("h\U00020BB7");
        request.sizeText = QStringLiteral("8\u2212");
        request.thumbnails = thumbnails;
        request.addressOnly = addressOnly;
        request.codePageHolds = [](char32_t c) { return c < 0x80; };
        const Run page = run(request);
        QCOMPARE(page.text, text);
        QCOMPARE(page.addresses, QStringList{QStringLiteral("b\u301C/h\U00020BB702.jpg")});
        QCOMPARE(page.fileNames, QStringList{QStringLiteral("h\U00020BB702.jpg")});
    }

    void pageWithJapaneseDeclaresItsCharset()
    {
        QFETCH(PageRequest, request);
        QFETCH(bool, declared);
        const QString text = run(request).text;
        const QString declaration
            = QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n");
        QCOMPARE(text.contains(declaration), declared);
        if (declared) {
            QVERIFY(text.startsWith(QStringLiteral("<html>\r\n") + declaration + QStringLiteral("<title>")));
            QVERIFY(quorel::platform::Cp932::encode(text).value().startsWith(
                QByteArray("<html>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
                           "\r\n<title>")));
        }
    }

    void checkFolder_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("folder");
        QTest::addColumn<QStringList>("emitted");
        QTest::newRow("two names left out")
            << QStringLiteral("4") << QStringList{QStringLiteral("img03.jpg"), QStringLiteral("img02.jpg")}
            << QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img04.jpg")};
        QTest::newRow("a name no number produces stops the merge")
            << QStringLiteral("6")
            << QStringList{QStringLiteral("img03.jpg"), QStringLiteral("img04b.jpg"), QStringLiteral("img05.jpg")}
            << QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img02.jpg"), QStringLiteral("img04.jpg"),
                           QStringLiteral("img05.jpg"), QStringLiteral("img06.jpg")};
        QTest::newRow("capital name sorts before the start name and is dropped")
            << QStringLiteral("4") << QStringList{QStringLiteral("Img02.jpg")}
            << QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img02.jpg"), QStringLiteral("img03.jpg"),
                           QStringLiteral("img04.jpg")};
        QTest::newRow("upper-case tail matches") << QStringLiteral("2") << QStringList{QStringLiteral("img02.JPG")}
                                                 << QStringList{QStringLiteral("img01.jpg")};
        QTest::newRow("no matching file") << QStringLiteral("2") << QStringList()
                                          << QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img02.jpg")};
        QTest::newRow("every name left out")
            << QStringLiteral("2") << QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img02.jpg")}
            << QStringList();
    }

    void checkFolder()
    {
        QFETCH(QString, end);
        QFETCH(QStringList, folder);
        QFETCH(QStringList, emitted);
        const Run result = run(withCheckFolder(pattern(QStringLiteral("1"), end), folder));
        QVERIFY(!result.refusal);
        QCOMPARE(result.fileNames, emitted);
    }

    void mergeWithEveryNameDroppedLeavesNothingOut()
    {
        CheckFolderMerge merge({QStringLiteral("a.jpg")}, QStringLiteral("b"));
        QVERIFY(!merge.leavesOut(QString()));
        QVERIFY(!merge.leavesOut(QStringLiteral("a.jpg")));
    }

    void linksIgnoreTheCheckFolder()
    {
        const Run result = run(withCheckFolder(pattern(QStringLiteral("1"), QStringLiteral("4")),
                                               {QStringLiteral("img02.jpg"), QStringLiteral("img03.jpg")}));
        QVERIFY(result.text.contains(QStringLiteral("FileNo=01     \r\n<A HREF=\"#02\">Next</a>")));
        QVERIFY(!result.text.contains(QStringLiteral("<A NAME=\"02\">")));
    }

    void addressListCoversTheWholeRange()
    {
        PageRequest request
            = withCheckFolder(pattern(QStringLiteral("1"), QStringLiteral("3")), {QStringLiteral("img02.jpg")});
        request.addressOnly = true;
        request.thumbnails = true;
        request.columnsText = QString(); // not used for an address list
        const Run result = run(request);
        QVERIFY(!result.refusal);
        QCOMPARE(result.text, QStringLiteral("pics/img01.jpg\r\npics/img02.jpg\r\npics/img03.jpg\r\n"));
        QCOMPARE(result.fileNames, (QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img03.jpg")}));
    }

    void checkFolderIsListedOnlyForValidNumbers()
    {
        bool listed = false;
        PageRequest request = pattern(QStringLiteral("x"), QStringLiteral("3"));
        request.useCheckFolder = true;
        request.listCheckFolder = [&listed] {
            listed = true;
            return QStringList();
        };
        QVERIFY(run(request).refusal);
        QVERIFY(!listed);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<bool>("thumbnails");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<Reason>("reason");
        const Reason startEnd = Reason::BadStartOrEnd;
        QTest::newRow("start not numeric") << QStringLiteral("a") << QStringLiteral("3") << QStringLiteral("2") << false
                                           << QStringLiteral("2") << startEnd;
        QTest::newRow("end empty") << QStringLiteral("1") << QString() << QStringLiteral("2") << false
                                   << QStringLiteral("2") << startEnd;
        QTest::newRow("start with letters") << QStringLiteral("3abc") << QStringLiteral("5") << QStringLiteral("2")
                                            << false << QStringLiteral("2") << startEnd;
        QTest::newRow("end beyond 32 bits") << QStringLiteral("1") << QStringLiteral("2147483648")
                                            << QStringLiteral("2") << false << QStringLiteral("2") << startEnd;
        QTest::newRow("digit count beyond 32 bits")
            << QStringLiteral("1") << QStringLiteral("2") << QStringLiteral("99999999999") << false
            << QStringLiteral("2") << Reason::BadDigitCount;
        QTest::newRow("too many images") << QStringLiteral("0") << QStringLiteral("32767") << QStringLiteral("1")
                                         << false << QStringLiteral("2") << Reason::TooManyImages;
        QTest::newRow("huge range") << QStringLiteral("-2147483648") << QStringLiteral("2147483647")
                                    << QStringLiteral("1") << false << QStringLiteral("2") << Reason::TooManyImages;
        QTest::newRow("zero columns") << QStringLiteral("1") << QStringLiteral("2") << QStringLiteral("1") << true
                                      << QString() << Reason::ZeroColumns;
        QTest::newRow("huge digit count") << QStringLiteral("1") << QStringLiteral("2") << QStringLiteral("2000000000")
                                          << false << QStringLiteral("2") << Reason::PageTooLarge;
        QTest::newRow("page too large") << QStringLiteral("1") << QStringLiteral("30000") << QStringLiteral("5000")
                                        << false << QStringLiteral("2") << Reason::PageTooLarge;
    }

    void refusals()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, digits);
        QFETCH(bool, thumbnails);
        QFETCH(QString, columns);
        QFETCH(Reason, reason);
        PageRequest request = pattern(start, end, digits);
        request.thumbnails = thumbnails;
        request.columnsText = columns;
        const Run result = run(request);
        QCOMPARE(result.refusal, reason);
        QVERIFY(result.text.isEmpty());
        QVERIFY(result.addresses.isEmpty());
    }

    // An address list's size is known exactly, so the early refusal meets the limit to the unit:
    // 1024 numbers of 4 digits, each listed twice (list text and download list) with a base of B
    // units, hold 1024 * (2B + 14) units, which is the limit for B = 65529.
    void addressListAtTheLimitIsBuilt_data()
    {
        QTest::addColumn<qsizetype>("baseLength");
        QTest::addColumn<bool>("built");
        QTest::newRow("at the limit") << qsizetype(65529) << true;
        QTest::newRow("one unit a line over") << qsizetype(65530) << false;
    }

    void addressListAtTheLimitIsBuilt()
    {
        QFETCH(qsizetype, baseLength);
        QFETCH(bool, built);
        PageRequest request = pattern(QStringLiteral("0"), QStringLiteral("1023"), QStringLiteral("4"));
        request.head.clear();
        request.tail.clear();
        request.addressOnly = true;
        request.baseAddress = QString(baseLength, u'b');
        const Run result = run(request);
        QCOMPARE(!result.refusal, built);
        QCOMPARE(result.addresses.size(), built ? 1024 : 0);
        if (built)
            QCOMPARE(result.text.size() + 1024 * (baseLength + 8), PageLimits::maxPageUnits);
    }

    void extremesOfTheRange()
    {
        // n + 1 and n - 1 at the ends of the 32-bit range must not overflow.
        const Run high = run(pattern(QStringLiteral("2147483646"), QStringLiteral("2147483647"), QString()));
        QCOMPARE(high.fileNames.last(), QStringLiteral("img2147483647.jpg"));
        QVERIFY(high.text.contains(QStringLiteral("<A HREF=\"#2147483646\">Prev</a>")));
        const Run low = run(pattern(QStringLiteral("-2147483648"), QStringLiteral("-2147483648"), QString()));
        QCOMPARE(low.fileNames, QStringList{QStringLiteral("img-2147483648.jpg")});
        QVERIFY(!low.text.contains(QStringLiteral("Prev")));
        QVERIFY(!low.text.contains(QStringLiteral("Next")));
    }

    void baseAddress_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("base");
        QTest::newRow("spaces around") << QStringLiteral("  pics  ") << QStringLiteral("pics/");
        QTest::newRow("already ends in slash") << QStringLiteral("pics/") << QStringLiteral("pics/");
        QTest::newRow("empty stays empty") << QString() << QString();
        QTest::newRow("spaces only") << QStringLiteral("   ") << QString();
        QTest::newRow("backslash gets a slash") << QStringLiteral("C:\\pics\\") << QStringLiteral("C:\\pics\\/");
    }

    void baseAddress()
    {
        QFETCH(QString, typed);
        QFETCH(QString, base);
        QCOMPARE(quorel::core::baseAddress(typed), base);
    }

    void displayCut()
    {
        const QString shortText(PageLimits::displayUnits, u'x');
        QCOMPARE(displayText(shortText), shortText);
        const QString longText = shortText + QStringLiteral("yz");
        QCOMPARE(displayText(longText),
                 shortText + QStringLiteral("\r\n----------  これ以降にもデータがあります.  ----------\r\n"));
    }

    // Where the limit falls on a character outside the basic plane; ★ and 😀 take one and two units.
    void displayCutKeepsPairs_data()
    {
        QTest::addColumn<QString>("around"); // the units just before the limit, then past it
        QTest::addColumn<qsizetype>("kept"); // units of the text the box shows
        const auto n = PageLimits::displayUnits;
        QTest::newRow("pair across the limit") << QStringLiteral("a😀b") << n - 1;
        QTest::newRow("pair ends at the limit") << QStringLiteral("😀ab") << n;
        QTest::newRow("pair starts past the limit") << QStringLiteral("ab😀") << n;
        QTest::newRow("single unit at the limit") << QStringLiteral("a★b") << n;
        QTest::newRow("lone high half at the limit") << QStringLiteral("a") + QChar(0xD800) + QStringLiteral("bc") << n;
    }

    void displayCutKeepsPairs()
    {
        QFETCH(QString, around);
        QFETCH(qsizetype, kept);
        // The first two units of `around` end exactly at the limit.
        const QString text = QString(PageLimits::displayUnits - 2, u'x') + around;
        const QString marker = QStringLiteral("\r\n----------  これ以降にもデータがあります.  ----------\r\n");
        QCOMPARE(displayText(text), text.first(kept) + marker);
    }
};

QTEST_APPLESS_MAIN(TestPageGenerator)
#include "test_PageGenerator.moc"
