#include "platform/InPlaceWrite.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorel::platform::WholeFileParts
{
namespace
{
    // A few MiB are held in memory; past that the bytes go to an unnamed file, so that an image of
    // any size costs no more memory than a small one.
    constexpr qsizetype inMemory = 4 << 20;

    // O_NONBLOCK: should a pipe have taken the file's place since it was looked at, this fails
    // instead of waiting; O_NOFOLLOW: so should a link.
    int openTarget(const Place &place)
    {
        return ::openat(place.folder, place.name.constData(),
                        O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    }

    // An unnamed file in the user's cache folder or, where none can be made there, in a temporary
    // folder of the system; -1 when none takes one. folder tells which did.
    int openSpool(QString &folder)
    {
        QStringList folders{QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation), QDir::tempPath(),
                            QStringLiteral("/tmp"), QStringLiteral("/var/tmp")};
        folders.removeAll(QString());
        folders.removeDuplicates();
        for (const QString &candidate : std::as_const(folders)) {
            if (!QDir().mkpath(candidate)) {
                qWarning("No temporary file for an in-place write in %s: it is no folder", qUtf8Printable(candidate));
                continue;
            }
            const int fd = ::open(QFile::encodeName(candidate).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
            if (fd >= 0) {
                folder = candidate;
                return fd;
            }
            qWarning("No temporary file for an in-place write in %s: %s", qUtf8Printable(candidate),
                     std::strerror(errno));
        }
        return -1;
    }

    core::Failure spoolFailure(int error, const QString &folder)
    {
        if (error == ENOSPC || error == EDQUOT || error == EFBIG)
            return core::fail(core::Reason::NoTemporaryRoom, QDir::toNativeSeparators(folder));
        return failureFromErrno(error);
    }
}

std::unique_ptr<InPlaceWrite> InPlaceWrite::open(const Place &place, int &error)
{
    const int fd = openTarget(place);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    ::close(fd);
    return std::unique_ptr<InPlaceWrite>(new InPlaceWrite(place));
}

InPlaceWrite::InPlaceWrite(Place place)
    : m_place(std::move(place))
{ }

InPlaceWrite::~InPlaceWrite()
{
    if (m_spool >= 0)
        ::close(m_spool);
}

core::Result<> InPlaceWrite::write(QByteArrayView bytes)
{
    if (m_spool < 0 && m_pending.size() + bytes.size() <= inMemory) {
        m_pending.append(bytes);
        return {};
    }
    return spill(bytes);
}

// Moves what is held to the spool file and appends bytes there. Without a spool file the image
// fails rather than waiting whole in memory.
core::Result<> InPlaceWrite::spill(QByteArrayView bytes)
{
    if (m_spool < 0) {
        m_spool = openSpool(m_spoolFolder);
        if (m_spool < 0)
            return core::fail(core::Reason::NoTemporaryRoom);
        if (!writeAll(m_spool, m_pending.constData(), m_pending.size(), 0))
            return spoolFailure(errno, m_spoolFolder);
        m_spooled = std::exchange(m_pending, QByteArray()).size();
    }
    if (!writeAll(m_spool, bytes.data(), bytes.size(), static_cast<off_t>(m_spooled)))
        return spoolFailure(errno, m_spoolFolder);
    m_spooled += bytes.size();
    return {};
}

core::Result<> InPlaceWrite::commit()
{
    const int fd = openTarget(m_place);
    if (fd < 0)
        return failureFromErrno(errno);
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return core::fail(core::Reason::DeviceOrPipe);
    }
    // The room is claimed before a byte changes, so a full disk refuses the write while the file
    // still holds its old contents. The new bytes then go over the old ones and the rest is cut off.
    const auto size = static_cast<off_t>(m_spool >= 0 ? m_spooled : m_pending.size());
    int error = 0;
    if (size > status.st_size && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP
        && errno != ENOSYS)
        error = errno;
    if (error == 0 && m_spool < 0 && !writeAll(fd, m_pending.constData(), size, 0))
        error = errno;
    QByteArray piece(m_spool >= 0 ? 1 << 20 : 0, Qt::Uninitialized);
    for (off_t offset = 0; error == 0 && m_spool >= 0 && offset < size;) {
        const ssize_t got = ::pread(m_spool, piece.data(), size_t(piece.size()), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            error = got < 0 ? errno : EIO;
        else if (!writeAll(fd, piece.constData(), got, offset))
            error = errno;
        else
            offset += got;
    }
    if (error == 0 && ::ftruncate(fd, size) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error == 0 ? core::Result<>() : failureFromErrno(error);
}
}
