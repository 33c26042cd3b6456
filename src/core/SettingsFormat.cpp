#include "core/SettingsFormat.h"

#include "core/AppTitle.h"
#include "core/NumberReading.h"
#include "core/ProgramVersion.h"

#include <algorithm>
#include <optional>

namespace quorel::core::SettingsFormat
{
namespace
{
    const QString keyBaseAddress = QStringLiteral("[ベースアドレス]");
    const QString keyFolderList = QStringLiteral("[フォルダリスト]");
    const QString keyThumbnail = QStringLiteral("[サムネイル]");
    const QString keyFolderCheck = QStringLiteral("[フォルダチェック]");
    const QString keyColumns = QStringLiteral("[幅]");
    const QString keySize = QStringLiteral("[大きさ]");
    const QString keyHead = QStringLiteral("[頭]");
    const QString keyTail = QStringLiteral("[お尻]");
    const QString keyStart = QStringLiteral("[開始]");
    const QString keyEnd = QStringLiteral("[終了]");
    const QString keyDigits = QStringLiteral("[桁数]");
    const QString keyOutFolder = QStringLiteral("[出力フォルダ]");
    const QString keyImageFolder = QStringLiteral("[画像出力フォルダ]");
    const QString endOfList = QStringLiteral("[End Of List]");

    // What a single value's absence does to its field.
    enum class NoValue
    {
        Keeps,
        Empties,
    };

    struct ListKey
    {
        const QString &key;
        ListField field;
    };

    struct TextKey
    {
        const QString &key;
        TextField field;
        NoValue noValue;
    };

    const ListKey listKeys[] = {
        {keyBaseAddress, ListField::BaseAddress},
        {keyFolderList, ListField::CheckFolder},
        {keyHead, ListField::Head},
        {keyTail, ListField::Tail},
    };

    const TextKey textKeys[] = {
        {keyColumns, TextField::Columns, NoValue::Empties},
        {keySize, TextField::Size, NoValue::Empties},
        {keyStart, TextField::Start, NoValue::Keeps},
        {keyEnd, TextField::End, NoValue::Keeps},
        {keyDigits, TextField::Digits, NoValue::Keeps},
        {keyOutFolder, TextField::LastSaveFolder, NoValue::Keeps},
        {keyImageFolder, TextField::DownloadFolder, NoValue::Keeps},
    };

    // The first character after leading spaces.
    QChar leadingChar(QStringView line)
    {
        for (QChar c : line) {
            if (c != u' ')
                return c;
        }
        return {};
    }

    bool isKeyLike(QStringView line)
    {
        return leadingChar(line) == u'[';
    }
    bool isComment(QStringView line)
    {
        return leadingChar(line) == u';';
    }

    bool skipped(QStringView line, Skip skip, bool last)
    {
        switch (skip) {
        case Skip::Nothing:
            return false;
        case Skip::UnlessKeyLike:
            return !isKeyLike(line);
        case Skip::EmptyAndCommentsButTheLast:
            if (last)
                return false;
            [[fallthrough]];
        case Skip::EmptyAndComments:
            return line.isEmpty() || isComment(line);
        }
        return false;
    }

    // The longest leading decimal number, to the nearest 16-bit integer.
    int numberOfLine(QStringView line)
    {
        const double value = NumberReading::roundHalfEven(NumberReading::numericValue(line));
        return static_cast<int>(std::clamp(value, -32768.0, 32767.0));
    }

    // A line that breaks inside a value would shift every line after it.
    QString asOneLine(QString text)
    {
        text.replace(u'\r', u' ');
        text.replace(u'\n', u' ');
        return text;
    }

    // Cut at the bound, but never between the two halves of a surrogate pair.
    QString boundedValue(const QString &line)
    {
        if (line.size() <= maxSingleValueUnits)
            return line;
        qsizetype length = maxSingleValueUnits;
        if (line.at(length - 1).isHighSurrogate())
            --length;
        return line.first(length);
    }

    class Writer
    {
    public:
        // No line longer than the reader keeps: what it would drop is not worth writing.
        void line(const QString &text)
        {
            m_text += boundedValue(asOneLine(text));
            m_text += QLatin1StringView("\r\n");
        }

        // A leading sign position and a trailing space, as " 1 " or "-1 ".
        void number(int value)
        {
            const QString digits = QString::number(value);
            line(value < 0 ? digits + u' ' : u' ' + digits + u' ');
        }

        void list(const QStringList &entries)
        {
            const qsizetype n = std::min(entries.size(), maxListEntries);
            number(static_cast<int>(n));
            for (qsizetype i = 0; i < n; ++i)
                line(entries.at(i));
            line(endOfList);
            line(QString());
        }

        QString text() const { return m_text; }

    private:
        QString m_text;
    };

    class Reader
    {
    public:
        Reader(LineSource &lines, Target &target)
            : m_lines(lines)
            , m_target(target)
        { }

        ReadOutcome outcome() const { return m_outcome; }

        void run()
        {
            QString current;
            for (;;) {
                if (!isKeyLike(current)) {
                    // A line that is no key is dropped by the next pass, and nothing else reads it.
                    std::optional<QString> next = nextLine(Skip::UnlessKeyLike);
                    if (!next)
                        return;
                    current = *next;
                }
                if (!handleKey(current))
                    return;
                if (atEnd())
                    return;
            }
        }

    private:
        bool atEnd() { return m_lines.atEnd(); }

        std::optional<QString> nextLine(Skip skip = Skip::Nothing)
        {
            QString line;
            if (!m_lines.next(line, skip))
                return std::nullopt;
            return line;
        }

        // Handles the key on the current line and leaves there what the next pass starts from;
        // false when the file ended where a line was expected.
        bool handleKey(QString &current)
        {
            for (const ListKey &k : listKeys) {
                if (current == k.key) {
                    current.clear();
                    return readList(k.field);
                }
            }
            if (current == keyThumbnail)
                return readCheck(current, CheckField::Thumbnails);
            if (current == keyFolderCheck)
                return readCheck(current, CheckField::CheckFolder);
            for (const TextKey &k : textKeys) {
                if (current == k.key)
                    return readText(current, k);
            }
            // A bracketed line that names no key is dropped, so the next pass reads on.
            if (isKeyLike(current))
                current.clear();
            return true;
        }

        bool readList(ListField field)
        {
            const std::optional<QString> countLine = nextLine();
            if (!countLine)
                return false;
            const int count = numberOfLine(*countLine);
            QStringList entries;
            for (int i = 0; i < count; ++i) {
                if (m_listUnits >= maxListTextUnits) {
                    if (!m_lines.skipLine())
                        break;
                    ++m_outcome.skippedEntries;
                    continue;
                }
                std::optional<QString> entry = nextLine();
                if (!entry)
                    break;
                QString value = boundedValue(*entry);
                if (m_listUnits + value.size() > maxListTextUnits) {
                    m_listUnits = maxListTextUnits;
                    ++m_outcome.skippedEntries;
                    continue;
                }
                m_listUnits += value.size();
                entries.append(std::move(value));
            }
            m_target.readList(field, entries);
            // The end marker, taken unread.
            return nextLine().has_value();
        }

        // The next line that is neither empty nor a comment; with endTakesLast, the last line of the
        // file whatever it holds. It becomes the current line.
        bool scanValue(QString &current, bool endTakesLast)
        {
            std::optional<QString> next
                = nextLine(endTakesLast ? Skip::EmptyAndCommentsButTheLast : Skip::EmptyAndComments);
            if (!next)
                return false;
            current = *next;
            return true;
        }

        static CheckState checkStateOfLine(QStringView line)
        {
            const int value = numberOfLine(line);
            return value >= 0 && value <= 2 ? static_cast<CheckState>(value) : CheckState::Clear;
        }

        bool readCheck(QString &current, CheckField field)
        {
            if (!scanValue(current, false))
                return false;
            m_target.readCheck(field, isKeyLike(current) ? std::nullopt : std::optional(checkStateOfLine(current)));
            return true;
        }

        bool readText(QString &current, const TextKey &key)
        {
            if (!scanValue(current, key.field == TextField::DownloadFolder))
                return false;
            if (!isKeyLike(current))
                m_target.readText(key.field, boundedValue(current));
            else if (key.noValue == NoValue::Empties)
                m_target.readText(key.field, QString());
            return true;
        }

        LineSource &m_lines;
        Target &m_target;
        qsizetype m_listUnits = 0;
        ReadOutcome m_outcome;
    };

    class ListSource final : public LineSource
    {
    public:
        explicit ListSource(const QStringList &lines)
            : m_lines(lines)
        { }
        bool next(QString &line, Skip skip) override
        {
            while (!atEnd()) {
                line = m_lines.at(m_next++);
                if (!skipped(line, skip, atEnd()))
                    return true;
            }
            return false;
        }
        bool atEnd() override { return m_next >= m_lines.size(); }

    private:
        const QStringList &m_lines;
        qsizetype m_next = 0;
    };

    // The locale's short time format with the seconds after the minutes where it leaves them out,
    // as "H:mm" becomes "H:mm:ss".
    QString timeFormatWithSeconds(const QLocale &locale)
    {
        QString format = locale.timeFormat(QLocale::ShortFormat);
        const qsizetype minutes = format.lastIndexOf(QLatin1StringView("mm"));
        if (!format.contains(u's') && minutes >= 0)
            format.insert(minutes + 2, QLatin1StringView(":ss"));
        return format;
    }
}

QStringList &Values::operator[](ListField field)
{
    switch (field) {
    case ListField::BaseAddress:
        return baseAddresses;
    case ListField::CheckFolder:
        return checkFolders;
    case ListField::Head:
        return heads;
    case ListField::Tail:
        break;
    }
    return tails;
}

QString &Values::operator[](TextField field)
{
    switch (field) {
    case TextField::Columns:
        return columns;
    case TextField::Size:
        return size;
    case TextField::Start:
        return start;
    case TextField::End:
        return end;
    case TextField::Digits:
        return digits;
    case TextField::LastSaveFolder:
        return lastSaveFolder;
    case TextField::DownloadFolder:
        break;
    }
    return downloadFolder;
}

CheckState &Values::operator[](CheckField field)
{
    return field == CheckField::Thumbnails ? thumbnails : checkFolder;
}

QString createdStamp(const QDateTime &moment, const QLocale &locale)
{
    return locale.toString(moment.date(), QLocale::ShortFormat) + u' '
        + locale.toString(moment.time(), timeFormatWithSeconds(locale));
}

QString write(const Values &values, QStringView createdAt)
{
    Writer out;
    out.line(u';' + appTitle() + QStringLiteral(" 設定ファイル"));
    out.line(QStringLiteral(";作成： ").append(createdAt));
    out.line(QString());
    out.line(
        QStringLiteral(";ご意見・ご感想は %1 までお寄せください。").arg(QString::fromUtf16(ProgramVersion::contact)));
    out.line(QString());
    out.line(keyBaseAddress);
    out.list(values.baseAddresses);
    out.line(keyFolderList);
    out.list(values.checkFolders);
    out.line(keyThumbnail);
    out.number(static_cast<int>(values.thumbnails));
    out.line(keyFolderCheck);
    out.number(static_cast<int>(values.checkFolder));
    out.line(keyColumns);
    out.line(values.columns);
    out.line(keySize);
    out.line(values.size);
    out.line(keyHead);
    out.list(values.heads);
    out.line(keyTail);
    out.list(values.tails);
    out.line(keyStart);
    out.line(values.start);
    out.line(keyEnd);
    out.line(values.end);
    out.line(keyDigits);
    out.line(values.digits);
    out.line(keyOutFolder);
    out.line(values.lastSaveFolder);
    out.line(keyImageFolder);
    out.line(values.downloadFolder);
    return out.text();
}

ReadOutcome read(LineSource &lines, Target &target)
{
    Reader reader(lines, target);
    reader.run();
    return reader.outcome();
}

ReadOutcome read(const QStringList &lines, Target &target)
{
    ListSource source(lines);
    return read(source, target);
}
}
