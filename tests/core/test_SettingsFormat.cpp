#include "core/SettingsFormat.h"

#include <QTest>

using namespace quorel::core::SettingsFormat;

Q_DECLARE_METATYPE(Values)

namespace
{
// Records the reader's calls as short lines, e.g. "list Head=img|Test" or "text Start=1".
class RecordingTarget final : public Target
{
public:
    QStringList calls;

    void readList(ListField field, const QStringList &entries) override
    {
        static const char *const names[] = {"Name", "Folders", "Head", "Ext"};
        calls.append(QStringLiteral("list %1=%2").arg(QLatin1StringView(names[int(field)]), entries.join(u'|')));
    }

    void readText(TextField field, const QString &text) override
    {
        static const char *const names[] = {"Columns", "Size", "Start", "End", "Digits", "OutFolder", "ImageFolder"};
        calls.append(QStringLiteral("text %1=%2").arg(QLatin1StringView(names[int(field)]), text));
    }

    void readCheck(CheckField field, std::optional<quorel::core::CheckState> state) override
    {
        calls.append(QStringLiteral("check %1=%2")
                         .arg(field == CheckField::Thumbnails ? QLatin1StringView("Thumbnail")
                                                              : QLatin1StringView("CheckFolder"))
                         .arg(state ? QString::number(int(*state)) : QStringLiteral("none")));
    }
};

QStringList readCalls(const QStringList &lines)
{
    RecordingTarget target;
    read(lines, target);
    return target.calls;
}

QStringList linesOf(const QString &fileText)
{
    QStringList lines = fileText.split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList L(std::initializer_list<const char16_t *> lines)
{
    QStringList list;
    for (const char16_t *line : lines)
        list.append(QString::fromUtf16(line));
    return list;
}

Values someValues()
{
    Values v;
    v.baseAddresses = {QStringLiteral("photos/2001/")};
    v.checkFolders = {QStringLiteral("C:\\images")};
    v.thumbnails = quorel::core::CheckState::Ticked;
    v.checkFolder = quorel::core::CheckState::Clear;
    v.columns = QStringLiteral("5");
    v.size = QStringLiteral("80");
    v.heads = {QStringLiteral("img")};
    v.tails = {QStringLiteral(".jpg"), QStringLiteral(".gif")};
    v.start = QStringLiteral("1");
    v.end = QStringLiteral("120");
    v.digits = QStringLiteral("3");
    v.lastSaveFolder = QStringLiteral("C:\\pages\\");
    v.downloadFolder = QStringLiteral("C:\\images");
    return v;
}

const QStringList someValuesRead
    = L({u"list Name=photos/2001/", u"list Folders=C:\\images", u"check Thumbnail=1", u"check CheckFolder=0",
         u"text Columns=5", u"text Size=80", u"list Head=img", u"list Ext=.jpg|.gif", u"text Start=1", u"text End=120",
         u"text Digits=3", u"text OutFolder=C:\\pages\\", u"text ImageFolder=C:\\images"});
}

class TestSettingsFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reader_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("calls");

        QTest::newRow("empty file") << QStringList() << QStringList();
        QTest::newRow("header is skipped")
            << L({u";Tessaly作成 設定ファイル", u";作成： 2001/05/10 12:34:56", u"", u";comment", u"", u"[開始]", u"1"})
            << L({u"text Start=1"});
        QTest::newRow("list block") << L({u"[頭]", u" 2 ", u"img", u"Test", u"[End Of List]", u"", u"[開始]", u"4"})
                                    << L({u"list Head=img|Test", u"text Start=4"});
        QTest::newRow("empty start keeps") << L({u"[開始]", u"", u"[終了]", u"120"}) << L({u"text End=120"});
        QTest::newRow("empty width empties")
            << L({u"[幅]", u"", u"[大きさ]", u"80"}) << L({u"text Columns=", u"text Size=80"});
        QTest::newRow("empty image folder at end") << L({u"[画像出力フォルダ]", u""}) << L({u"text ImageFolder="});
        QTest::newRow("comment image folder at end")
            << L({u"[画像出力フォルダ]", u";x"}) << L({u"text ImageFolder=;x"});
        QTest::newRow("indented comment before value") << L({u"[開始]", u"   ;c", u"7"}) << L({u"text Start=7"});
        QTest::newRow("comment value at end stops") << L({u"[開始]", u";c"}) << QStringList();
        QTest::newRow("bracketed value is a key")
            << L({u"[開始]", u"[x]", u"5", u"[終了]", u"6"}) << L({u"text End=6"});
        QTest::newRow("key without value, next key handled")
            << L({u"[大きさ]", u"[幅]", u"7"}) << L({u"text Size=", u"text Columns=7"});
        QTest::newRow("comment between list key and count")
            << L({u"[ベースアドレス]", u";c", u" 2 ", u"a", u"[b", u"[End Of List]", u"", u"[開始]", u"3"})
            << L({u"list Name=", u"text Start=3"});
        QTest::newRow("key with trailing space") << L({u"[開始] ", u"5", u"[終了]", u"6"}) << L({u"text End=6"});
        QTest::newRow("unknown key") << L({u"[謎]", u"5", u"[開始]", u"1"}) << L({u"text Start=1"});
        QTest::newRow("key twice") << L({u"[開始]", u"1", u"[頭]", u" 1 ", u"a", u"[End Of List]", u"", u"[開始]", u"2",
                                         u"[頭]", u" 1 ", u"b", u"[End Of List]", u""})
                                   << L({u"text Start=1", u"list Head=a", u"text Start=2", u"list Head=b"});
        QTest::newRow("another order") << L({u"[桁数]", u"4", u"[サムネイル]", u" 0 "})
                                       << L({u"text Digits=4", u"check Thumbnail=0"});
        QTest::newRow("entries are not interpreted")
            << L({u"[フォルダリスト]", u" 3 ", u";a", u"[b", u"", u"[End Of List]", u""})
            << L({u"list Folders=;a|[b|"});
        QTest::newRow("count smaller than the entries")
            << L({u"[頭]", u" 1 ", u"a", u"b", u"c", u"[End Of List]", u"", u"[開始]", u"1"})
            << L({u"list Head=a", u"text Start=1"});
        QTest::newRow("count larger than the lines") << L({u"[頭]", u" 5 ", u"a", u"b"}) << L({u"list Head=a|b"});
        QTest::newRow("count beyond 16 bits") << L({u"[頭]", u"99999999999", u"a"}) << L({u"list Head=a"});
        QTest::newRow("negative count") << L({u"[頭]", u" -3 ", u"[End Of List]", u"", u"[開始]", u"1"})
                                        << L({u"list Head=", u"text Start=1"});
        QTest::newRow("end marker missing at end") << L({u"[頭]", u" 1 ", u"a"}) << L({u"list Head=a"});
        QTest::newRow("single key at end") << L({u"[開始]"}) << QStringList();
        QTest::newRow("pending key at end") << L({u"[開始]", u"[終了]"}) << QStringList();
        QTest::newRow("thumbnail without value")
            << L({u"[サムネイル]", u"[開始]", u"3"}) << L({u"check Thumbnail=none", u"text Start=3"});
        QTest::newRow("folder check on") << L({u"[フォルダチェック]", u" 1 "}) << L({u"check CheckFolder=1"});
        QTest::newRow("folder check grey") << L({u"[フォルダチェック]", u" 2 "}) << L({u"check CheckFolder=2"});
        QTest::newRow("folder check without value")
            << L({u"[フォルダチェック]", u"[開始]", u"3"}) << L({u"check CheckFolder=none", u"text Start=3"});
    }

    void reader()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, calls);
        QCOMPARE(readCalls(lines), calls);
    }

    // Each single-value key and list entry stops at the bound; the lines after the value are read on.
    void longValues_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("applied");
        const qsizetype bound = maxSingleValueUnits;
        const QString atBound(bound, u'1');
        QTest::newRow("start at the bound") << QStringLiteral("[開始]") << atBound << atBound;
        QTest::newRow("start one over") << QStringLiteral("[開始]") << atBound + u'2' << atBound;
        QTest::newRow("size of megabytes")
            << QStringLiteral("[大きさ]") << QString(8 * 1024 * 1024, u'8') << QString(bound, u'8');
        QTest::newRow("image folder") << QStringLiteral("[画像出力フォルダ]") << QString(bound * 3, u'/')
                                      << QString(bound, u'/');
        // A pair cut in half would leave a lone surrogate for the text box to show.
        const QString paired = QString(bound - 1, u'a') + QStringLiteral("𠮷") + u'z';
        QTest::newRow("pair across the bound")
            << QStringLiteral("[出力フォルダ]") << paired << QString(bound - 1, u'a');
    }

    void longValues()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, applied);
        const QString longEntry(maxSingleValueUnits * 2, u'e');
        RecordingTarget target;
        read({key, value, QStringLiteral("[頭]"), QStringLiteral(" 1 "), longEntry, QStringLiteral("[End Of List]")},
             target);
        QCOMPARE(target.calls.size(), 2);
        QVERIFY(target.calls.at(0).endsWith(u'=' + applied));
        QCOMPARE(target.calls.at(0).size() - target.calls.at(0).indexOf(u'=') - 1, applied.size());
        QCOMPARE(target.calls.at(1), QStringLiteral("list Head=") + longEntry.first(maxSingleValueUnits));
    }

    // All lists together keep at most maxListTextUnits; entries past it are passed over and
    // counted, and the keys after them are read on.
    void listTextIsBoundedInAll_data()
    {
        QTest::addColumn<qsizetype>("entryUnits");
        QTest::addColumn<int>("entries"); // in each of two lists
        QTest::addColumn<qsizetype>("kept"); // in both together
        const qsizetype fitting = maxListTextUnits / maxSingleValueUnits;
        QTest::newRow("small lists") << qsizetype(10) << 15 << qsizetype(30);
        QTest::newRow("longest entries, one list's worth") << maxSingleValueUnits << int(fitting) << fitting;
        QTest::newRow("longest entries, past the bound in the second list") << maxSingleValueUnits << 300 << fitting;
    }

    void listTextIsBoundedInAll()
    {
        QFETCH(qsizetype, entryUnits);
        QFETCH(int, entries);
        QFETCH(qsizetype, kept);
        const QString entry(entryUnits, u'e');
        QStringList lines;
        for (const char16_t *key : {u"[頭]", u"[ベースアドレス]"}) {
            lines << QString::fromUtf16(key) << QString::number(entries);
            for (int k = 0; k < entries; ++k)
                lines << entry;
            lines << QStringLiteral("[End Of List]");
        }
        lines << QStringLiteral("[開始]") << QStringLiteral("7");
        struct CountingTarget final : Target
        {
            qsizetype entries = 0;
            QString start;
            void readList(ListField, const QStringList &list) override { entries += list.size(); }
            void readText(TextField, const QString &text) override { start = text; }
            void readCheck(CheckField, std::optional<quorel::core::CheckState>) override { }
        } target;

        const ReadOutcome outcome = read(lines, target);

        QCOMPARE(target.entries, kept);
        QCOMPARE(outcome.skippedEntries, 2 * entries - kept);
        QCOMPARE(target.start, QStringLiteral("7"));
    }

    void checkValue_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("value");
        QTest::newRow("written form") << QStringLiteral(" 1 ") << 1;
        QTest::newRow("grey") << QStringLiteral(" 2 ") << 2;
        QTest::newRow("letters") << QStringLiteral("abc") << 0;
        QTest::newRow("half to even down") << QStringLiteral("2.5") << 2;
        QTest::newRow("half to even up") << QStringLiteral("1.5") << 2;
        QTest::newRow("beyond 2") << QStringLiteral(" 7 ") << 0;
        QTest::newRow("beyond 16 bits") << QStringLiteral("65537") << 0;
    }

    void checkValue()
    {
        QFETCH(QString, line);
        QFETCH(int, value);
        QCOMPARE(readCalls({QStringLiteral("[サムネイル]"), line}),
                 QStringList{QStringLiteral("check Thumbnail=%1").arg(value)});
    }

    void roundTrip_data()
    {
        QTest::addColumn<Values>("values");
        QTest::addColumn<QStringList>("calls");

        QTest::newRow("some use") << someValues() << someValuesRead;

        Values empties = someValues();
        empties.columns.clear();
        empties.size.clear();
        empties.start.clear();
        empties.end.clear();
        empties.digits.clear();
        empties.lastSaveFolder.clear();
        empties.downloadFolder.clear();
        QTest::newRow("empty values") << empties
                                      << L({u"list Name=photos/2001/", u"list Folders=C:\\images", u"check Thumbnail=1",
                                            u"check CheckFolder=0", u"text Columns=", u"text Size=", u"list Head=img",
                                            u"list Ext=.jpg|.gif", u"text ImageFolder="});

        Values odd = someValues();
        odd.checkFolders = {QStringLiteral(";not a comment"), QStringLiteral("[not a key]"), QString()};
        odd.thumbnails = quorel::core::CheckState::Grey;
        odd.checkFolder = quorel::core::CheckState::Ticked;
        odd.start = QStringLiteral(";looks like a comment");
        odd.downloadFolder = QStringLiteral(";kept at the end");
        QStringList oddRead = someValuesRead;
        oddRead[1] = QStringLiteral("list Folders=;not a comment|[not a key]|");
        oddRead[2] = QStringLiteral("check Thumbnail=2");
        oddRead[3] = QStringLiteral("check CheckFolder=1");
        oddRead.removeOne(QStringLiteral("text Start=1"));
        oddRead.last() = QStringLiteral("text ImageFolder=;kept at the end");
        QTest::newRow("entries and values that look like comments or keys") << odd << oddRead;

        Values many = someValues();
        many.heads.clear();
        for (int i = 1; i <= 20; ++i)
            many.heads.append(QString::number(i));
        QStringList manyRead = someValuesRead;
        manyRead[6] = QStringLiteral("list Head=1|2|3|4|5|6|7|8|9|10|11|12|13|14|15");
        QTest::newRow("lists capped at 15") << many << manyRead;
    }

    void roundTrip()
    {
        QFETCH(Values, values);
        QFETCH(QStringList, calls);
        QCOMPARE(readCalls(linesOf(write(values, u"2001/05/10 12:34:56"))), calls);
    }

    void writerLines()
    {
        Values v = someValues();
        v.heads = {QStringLiteral("two\r\nlines"), QString(maxSingleValueUnits + 1, u'h')};
        v.start = QString(maxSingleValueUnits * 2, u'1');
        const QString text = write(v, u"2001/05/10 12:34:56");
        for (const QString &line : text.split(QStringLiteral("\r\n")))
            QVERIFY(line.size() <= maxSingleValueUnits);
        QVERIFY(text.endsWith(QStringLiteral("[画像出力フォルダ]\r\nC:\\images\r\n")));
        QVERIFY(text.startsWith(QStringLiteral(";Tessaly作成 設定ファイル\r\n;作成： 2001/05/10 12:34:56\r\n\r\n;")));
        // A line break inside a value must not shift the lines after it.
        QVERIFY(text.contains(QStringLiteral("[頭]\r\n 2 \r\ntwo  lines\r\n")));
        QCOMPARE(text.count(u'\n'), text.count(QStringLiteral("\r\n")));
    }

    void createdStampOfAJapaneseSystem()
    {
        const QDateTime moment(QDate(2001, 5, 10), QTime(9, 4, 56));
        QCOMPARE(createdStamp(moment, QLocale(QLocale::Japanese, QLocale::Japan)),
                 QStringLiteral("2001/05/10 9:04:56"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFormat)
#include "test_SettingsFormat.moc"
