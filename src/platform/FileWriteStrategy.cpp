#include "platform/FileWriteStrategy.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorel::platform::WholeFileParts
{
bool linkTrusted(uid_t linkOwner, int at, const char *folder)
{
    if (linkOwner == ::geteuid())
        return true;
    struct stat holder = {};
    return ::fstatat(at, folder, &holder, *folder ? 0 : AT_EMPTY_PATH) == 0 && holder.st_uid == linkOwner;
}

std::optional<QByteArray> linkTarget(int at, const char *name)
{
    QByteArray to(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlinkat(at, name, to.data(), size_t(to.size()));
    if (length <= 0 || length >= to.size()) {
        if (length >= 0)
            errno = ENAMETOOLONG;
        return std::nullopt;
    }
    to.truncate(length);
    return to;
}

core::Failure failureFromErrno(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return core::fail(core::Reason::DiskFull);
    case ENAMETOOLONG:
        return core::fail(core::Reason::NameTooLong);
    case EACCES:
    case EPERM:
    case EROFS:
        return core::fail(core::Reason::NotPermitted);
    case ENOENT:
    case ENOTDIR:
        return core::fail(core::Reason::FolderMissing);
    case EISDIR:
        return core::fail(core::Reason::FolderInTheWay);
    case ELOOP:
        return core::fail(core::Reason::TooManyLinks);
    default:
        return core::fail(core::Reason::Unexplained, QString::fromLocal8Bit(std::strerror(error)));
    }
}

bool writeAll(int fd, const char *data, qint64 size, off_t offset)
{
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, static_cast<size_t>(size), offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
        offset += written;
    }
    return true;
}

int writeOn(int fd, QByteArrayView bytes)
{
    const char *next = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        next += written;
        left -= written;
    }
    return 0;
}

QByteArray hiddenName()
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name = ".quorel-";
    for (int k = 0; k < 6; ++k)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return name;
}

void giveBackOwnership(int fd, const Place &place)
{
    if (!place.replaced)
        return;
    if (::geteuid() == 0 && ::fchown(fd, place.replaced->owner, place.replaced->group) != 0)
        qWarning("Could not give the replaced file its owner back: %s", std::strerror(errno));
    if (::fchmod(fd, place.replaced->mode) != 0)
        qWarning("Could not give the replaced file its mode back: %s", std::strerror(errno));
}
}
