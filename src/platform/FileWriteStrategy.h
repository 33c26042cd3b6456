#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

#include <sys/types.h>

// The ways WholeFile gets bytes under a name, one class each; only WholeFile uses them.
namespace quorel::platform::WholeFileParts
{
// The owner and mode of the file a write replaces, given back to the new one.
struct Replaced
{
    unsigned mode = 0;
    unsigned owner = 0;
    unsigned group = 0;
};

// Where the bytes go: a name in a folder held open, so that renaming or relinking anything on the
// way to it after the file was opened changes nothing.
struct Place
{
    int folder = -1; // borrowed
    QByteArray name; // one name in it, without a slash
    QString shownFolder; // for the seams and the log
    std::optional<Replaced> replaced; // none for a new file
};

// Holds the bytes until commit() puts them under the name, and drops them when destroyed
// uncommitted. A failure carries its reason only: WholeFile names the file.
class Strategy
{
public:
    virtual ~Strategy() = default;
    virtual core::Result<> write(QByteArrayView bytes) = 0;
    virtual core::Result<> commit() = 0;
};

core::Failure failureFromErrno(int error);
// Every byte from offset on; false with errno set when the system refuses.
bool writeAll(int fd, const char *data, qint64 size, off_t offset);
// Every byte at the file's position; 0, or the system's error.
int writeOn(int fd, QByteArrayView bytes);
// A hidden name in the folder that no file of this program keeps for good.
QByteArray hiddenName();
// The kernel's protected_symlinks rule, for every folder and whatever the system's setting: a link
// is followed when the user following it, or the owner of the folder that holds it, owns it. A link
// that another user planted in a folder both may write would otherwise lead anywhere, and a run as
// root would write wherever it pointed. folder is relative to at; empty for at itself.
bool linkTrusted(uid_t linkOwner, int at, const char *folder);
// The target of the link name in the folder at, as bytes; none with errno set when it cannot be read.
std::optional<QByteArray> linkTarget(int at, const char *name);
// The most links followed in a row, as the kernel allows.
constexpr int maxLinksFollowed = 40;

// The replaced file's owner (where root may give it) and mode, on the new file; only logged when
// the file system keeps neither (as FAT), since the bytes matter more than who owns them.
void giveBackOwnership(int fd, const Place &place);
}
