#pragma once

#include "core/CheckState.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// quorel.ini: bracketed keys, each followed by a value line or a list block.
namespace quorel::core::SettingsFormat
{
// The recent-entry lists the file keeps.
enum class ListField
{
    BaseAddress,
    CheckFolder,
    Head,
    Tail,
};

// The single texts the file keeps.
enum class TextField
{
    Columns, // of the thumbnail table
    Size, // of a thumbnail
    Start,
    End,
    Digits,
    LastSaveFolder, // the folder of the last saved page
    DownloadFolder, // where images are downloaded
};

enum class CheckField
{
    Thumbnails,
    CheckFolder,
};

// The values the reader finds, in file order, as often as the file holds their keys; what they do
// to the window is the window's to decide.
class Target
{
public:
    virtual ~Target() = default;

    virtual void readList(ListField field, const QStringList &entries) = 0;
    virtual void readText(TextField field, const QString &text) = 0;
    // None when the key is followed by another key instead of its value.
    virtual void readCheck(CheckField field, std::optional<CheckState> state) = 0;
};

// The window's values as the writer takes them; lists in list order, entry 0 first.
struct Values
{
    QStringList baseAddresses;
    QStringList checkFolders;
    CheckState thumbnails = CheckState::Clear;
    CheckState checkFolder = CheckState::Clear;
    QString columns;
    QString size;
    QStringList heads;
    QStringList tails;
    QString start;
    QString end;
    QString digits;
    QString lastSaveFolder;
    QString downloadFolder;

    // The same by the field that names them.
    QStringList &operator[](ListField field);
    QString &operator[](TextField field);
    CheckState &operator[](CheckField field);
};

// The most entries a list block is written with.
constexpr qsizetype maxListEntries = 15;

// The most UTF-16 units a single-value key gives its field, or a list entry its list; the rest of
// the line is dropped. Far beyond any number, size or folder path (Linux takes 4096 bytes), and
// small enough for a text box to lay out at once: a value of many megabytes kept the window busy
// redrawing it, deaf even to being closed.
constexpr qsizetype maxSingleValueUnits = 32767;

// The most UTF-16 units all list entries of a file give their lists together (16 MB); later entries
// are passed over. A file may hold four lists of 32767 entries of as many units each, gigabytes
// that the window would hold several times over before it could appear.
constexpr qsizetype maxListTextUnits = qsizetype(8) << 20;

// Lines the reader passes over unread; a source can tell them by their first bytes alone.
enum class Skip
{
    Nothing,
    UnlessKeyLike, // every line whose first character after leading spaces is not "["
    EmptyAndComments, // empty lines and those whose first character after leading spaces is ";"
    EmptyAndCommentsButTheLast, // as EmptyAndComments, yet the file's last line whatever it holds
};

// The file's lines, one at a time, so that the reader holds no more of the file than it keeps.
class LineSource
{
public:
    virtual ~LineSource() = default;
    // The next line not skipped, without its line end, into line; false past the last line.
    virtual bool next(QString &line, Skip skip = Skip::Nothing) = 0;
    // Whether no line follows.
    virtual bool atEnd() = 0;
    // Passes over the next line, which nobody reads; false past the last line.
    virtual bool skipLine()
    {
        QString line;
        return next(line);
    }
};

struct ReadOutcome
{
    qsizetype skippedEntries = 0; // list entries past maxListTextUnits
};

// The date in the locale's short date format, a space and the time with its seconds.
QString createdStamp(const QDateTime &moment, const QLocale &locale);

// The whole file, CR LF after every line; createdAt goes into the header.
QString write(const Values &values, QStringView createdAt);

// Applies the file's lines to the target. Never fails: a file that ends where a value is
// expected stops the reading and keeps what was applied.
ReadOutcome read(LineSource &lines, Target &target);

// For the tests and fuzz targets, which hand the reader lines they made rather than a file; the
// program reads only through a LineSource.
ReadOutcome read(const QStringList &lines, Target &target);
}
