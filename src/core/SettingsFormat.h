#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

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
    OutFolder, // the folder of the last saved page
    ImageFolder, // where images are downloaded
};

enum class CheckField
{
    Thumbnail,
    CheckFolder,
};

// What the reader changes, in file order; the window applies each call as a user's change would.
class Target
{
public:
    virtual ~Target() = default;

    // Appends the entries after those the list holds, then shows entry 0 of the whole list.
    virtual void readList(ListField field, const QStringList &entries) = 0;
    virtual void setText(TextField field, const QString &text) = 0;
    // value is 0, 1 or 2.
    virtual void setCheckValue(CheckField field, int value) = 0;
    // Enables or disables the check-folder box and its browse button.
    virtual void enableCheckFolder(bool enabled) = 0;
};

// The window's values as the writer takes them; lists in list order, entry 0 first.
struct Values
{
    QStringList baseAddresses;
    QStringList checkFolders;
    int thumbnail = 0;
    int folderCheck = 0;
    QString columns;
    QString size;
    QStringList heads;
    QStringList tails;
    QString start;
    QString end;
    QString digits;
    QString outFolder;
    QString imageFolder;
};

// The most entries a list block is written with.
constexpr qsizetype maxListEntries = 15;

// The most UTF-16 units a single-value key gives its field, or a list entry its list; the rest of
// the line is dropped. Far beyond any number, size or folder path (Linux takes 4096 bytes), and
// small enough for a text box to lay out at once: a value of many megabytes kept the window busy
// redrawing it, deaf even to being closed.
constexpr qsizetype maxSingleValueUnits = 32767;

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
};

// The date in the locale's short date format, a space and the time with its seconds.
QString createdStamp(const QDateTime &moment, const QLocale &locale);

// The whole file, CR LF after every line; createdAt goes into the header.
QString write(const Values &values, QStringView createdAt);

// Applies the file's lines to the target. Never fails: a file that ends where a value is
// expected stops the reading and keeps what was applied.
void read(LineSource &lines, Target &target);
void read(const QStringList &lines, Target &target);
}
