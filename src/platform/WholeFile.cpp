#include "platform/WholeFile.h"

#include "platform/WholeFileSeams.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace quorel::platform
{
namespace
{
    QByteArray encoded(const QString &path)
    {
        return QFile::encodeName(path);
    }

    QString hiddenNameIn(const QString &folder)
    {
        static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        QString name = folder + u"/.quorel-"_s;
        for (int k = 0; k < 6; ++k)
            name += QChar::fromLatin1(letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))]);
        return name;
    }

    // Links the unnamed file fd in under name. Through /proc as any user may; AT_EMPTY_PATH as a
    // fallback needs a privilege most users lack.
    bool linkUnnamed(int fd, const QString &name)
    {
        const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(fd);
        if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, encoded(name).constData(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno == EEXIST)
            return false;
        return ::linkat(fd, "", AT_FDCWD, encoded(name).constData(), AT_EMPTY_PATH) == 0;
    }

    bool inGroup(gid_t group)
    {
        if (group == ::getegid())
            return true;
        std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
        const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
        groups.resize(static_cast<std::size_t>(std::max(count, 0)));
        return std::find(groups.begin(), groups.end(), group) != groups.end();
    }

    // From the mode bits as the kernel weighs them for this user, leaving out ACLs. Root may write
    // anything, so for root a file is read-only when no one may write it: what the user marked so.
    bool readOnlyByMode(const struct stat &status)
    {
        const uid_t user = ::geteuid();
        if (user == 0)
            return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
        if (status.st_uid == user)
            return (status.st_mode & S_IWUSR) == 0;
        if (inGroup(status.st_gid))
            return (status.st_mode & S_IWGRP) == 0;
        return (status.st_mode & S_IWOTH) == 0;
    }

    bool mountedOverItsName(const QString &path)
    {
        struct statx status
        { };
        return ::statx(AT_FDCWD, encoded(path).constData(), 0, STATX_TYPE, &status) == 0
            && (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0
            && (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    }

    // The kernel's protected_symlinks rule, for every folder and whatever the system's setting: a
    // link is followed when the user following it or the owner of its folder owns it. A link that
    // another user planted in a folder both may write would otherwise take the bytes anywhere, and
    // a run as root would write wherever it pointed.
    bool trustedLink(const struct stat &link, const QString &folder)
    {
        struct stat holder = {};
        return link.st_uid == ::geteuid()
            || (::stat(encoded(folder).constData(), &holder) == 0 && holder.st_uid == link.st_uid);
    }

    // An unnamed file for the bytes an in-place write holds back, in the user's cache folder or, where
    // none can be made there, in the temporary folder; -1 when neither takes one.
    int openSpool()
    {
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        for (const QString &folder : {cache, QDir::tempPath()}) {
            if (folder.isEmpty() || !QDir().mkpath(folder))
                continue;
            const int fd = ::open(encoded(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
            if (fd >= 0)
                return fd;
        }
        return -1;
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

    void reach(WholeFileSeams::Step step)
    {
        if (const WholeFileSeams::Hooks &hooks = WholeFileSeams::current(); hooks.reached)
            hooks.reached(step);
    }
}

namespace WholeFileSeams
{
    namespace
    {
        Hooks &hooks()
        {
            static Hooks installed;
            return installed;
        }
    }

    void set(Hooks replacement)
    {
        hooks() = std::move(replacement);
    }

    const Hooks &current()
    {
        return hooks();
    }
}

WholeFile::WholeFile(QString path)
    : m_path(std::move(path))
{
    // A link is written through, as opening the file would: the file it names gets the bytes. Link
    // by link, so that each is weighed before it is followed; 40 as the kernel allows.
    m_target = QFileInfo(m_path).absoluteFilePath();
    // One lookup a name: a download makes thousands of these.
    struct stat entry = {};
    bool present = ::lstat(encoded(m_target).constData(), &entry) == 0;
    for (int hop = 0; hop < 40 && present && S_ISLNK(entry.st_mode); ++hop) {
        const QString folder = QFileInfo(m_target).absolutePath();
        if (!trustedLink(entry, folder)) {
            m_untrustedLink = m_target;
            return;
        }
        QByteArray to(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(encoded(m_target).constData(), to.data(), size_t(to.size()));
        if (length <= 0 || length >= to.size())
            break;
        to.truncate(length);
        m_target = QDir::cleanPath(QDir(QFileInfo(folder).canonicalFilePath()).filePath(QFile::decodeName(to)));
        present = ::lstat(encoded(m_target).constData(), &entry) == 0;
    }
    // A chain longer than the kernel follows, or a link that cannot be read, is not followed at all.
    m_linkLoop = present && S_ISLNK(entry.st_mode);
    if (present && !m_linkLoop)
        m_target = QFileInfo(m_target).canonicalFilePath();
}

WholeFile::~WholeFile()
{
    discard();
}

core::Result<> WholeFile::failure(core::Reason reason, QString detail) const
{
    return core::during(core::Action::WriteFile, QDir::toNativeSeparators(m_path),
                        core::fail(reason, std::move(detail)));
}

core::Result<> WholeFile::failureFromErrno(int error) const
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return failure(core::Reason::DiskFull);
    case ENAMETOOLONG:
        return failure(core::Reason::NameTooLong);
    case EACCES:
    case EPERM:
    case EROFS:
        return failure(core::Reason::NotPermitted);
    case ENOENT:
    case ENOTDIR:
        return failure(core::Reason::FolderMissing);
    case EISDIR:
        return failure(core::Reason::FolderInTheWay);
    default:
        return failure(core::Reason::Unexplained, QString::fromLocal8Bit(std::strerror(error)));
    }
}

core::Result<> WholeFile::open()
{
    discard();
    if (!m_untrustedLink.isEmpty())
        return failure(core::Reason::LinkNotTrusted, QDir::toNativeSeparators(m_untrustedLink));
    if (m_linkLoop)
        return failureFromErrno(ELOOP);
    // stat() follows links and opens nothing, so a pipe with no reader cannot stop the program here.
    struct stat status = {};
    const bool exists = ::stat(encoded(m_target).constData(), &status) == 0;
    // ENOENT may also mean a missing folder; the temporary file's own ENOENT tells that below.
    if (!exists && errno != ENOENT)
        return failureFromErrno(errno);
    const QString folder = QFileInfo(m_target).absolutePath();
    if (exists && S_ISDIR(status.st_mode))
        return failureFromErrno(EISDIR);
    if (exists && !S_ISREG(status.st_mode))
        return failure(core::Reason::DeviceOrPipe);
    // Replacing through a rename would otherwise overwrite a file the user marked read-only.
    if (exists && readOnlyByMode(status))
        return failure(core::Reason::ReadOnlyFile);
    m_keepPermissions = exists;
    m_permissions = status.st_mode & 07777;
    m_owner = status.st_uid;
    m_group = status.st_gid;

    // Nothing can be renamed over a file mounted over its name (as a container's configuration
    // file): it can only be written in place.
    if (exists && mountedOverItsName(m_target))
        m_inPlace = true;
    core::Result<> opened = m_inPlace ? core::Result<>() : openTemporary(folder);
    if (m_inPlace)
        opened = mayWriteInPlace();
    if (opened)
        reach(WholeFileSeams::Step::Opened);
    return opened;
}

// Asked before any byte is held back, so that a file that cannot be written after all (a read-only
// mount, an ACL) is refused before a whole download waits in memory for it.
core::Result<> WholeFile::mayWriteInPlace()
{
    const int fd = openTargetInPlace();
    if (fd < 0) {
        const int error = errno;
        m_inPlace = false;
        return failureFromErrno(error);
    }
    ::close(fd);
    return {};
}

// O_NONBLOCK: should a pipe have taken the file's place since open(), this fails instead of waiting.
int WholeFile::openTargetInPlace() const
{
    return ::open(encoded(m_target).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

core::Result<> WholeFile::openTemporary(const QString &folder)
{
    const WholeFileSeams::Hooks &hooks = WholeFileSeams::current();
    int error = EACCES;
    if (!hooks.folderWritable || hooks.folderWritable(folder)) {
        // An unnamed file is linked in through /proc; where that is missing only a named stand-in will do.
        static const bool procReachable = ::access("/proc/self/fd", X_OK) == 0;
        error = EOPNOTSUPP;
        if (procReachable) {
            m_fd = ::open(encoded(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
            if (m_fd >= 0)
                return {};
            error = errno;
        }
        if (error == EOPNOTSUPP || error == EISDIR || error == EINVAL) {
            for (int attempt = 0; attempt < 100; ++attempt) {
                const QString name = hiddenNameIn(folder);
                m_fd = ::open(encoded(name).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
                if (m_fd >= 0) {
                    m_namedTemporary = name;
                    return {};
                }
                error = errno;
                if (error != EEXIST)
                    break;
            }
        }
    }
    // A folder that takes no new file can still hold a file its user may write, as a page kept in a
    // shared folder, or a writable file mounted into a read-only tree. No temporary file can stand
    // beside it, so the file itself is overwritten. That gives up the whole-or-nothing guarantee: a
    // crash or kill while commit() writes leaves new bytes before old ones. The bytes are held back
    // until commit() (see holdBack()) so that a failure before then leaves the file as it was, and
    // commit() claims the room first so that a full disk does too.
    if ((error == EACCES || error == EPERM || error == EROFS) && m_keepPermissions)
        m_inPlace = true;
    return failureFromErrno(error);
}
core::Result<> WholeFile::write(QByteArrayView bytes)
{
    if (m_inPlace) {
        core::Result<> held = holdBack(bytes);
        if (held)
            reach(WholeFileSeams::Step::Written);
        return held;
    }
    const char *next = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, next, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            discard();
            return failureFromErrno(error);
        }
        next += written;
        left -= written;
    }
    reach(WholeFileSeams::Step::Written);
    return {};
}

core::Result<> WholeFile::commit()
{
    if (m_inPlace) {
        reach(WholeFileSeams::Step::Committing);
        return commitInPlace();
    }
    if (m_fd < 0)
        return failureFromErrno(EBADF);
    reach(WholeFileSeams::Step::Committing);
    // A replaced file keeps its permissions, and its owner when root may give it back; a new one gets
    // what the umask leaves of 0666.
    // Either may fail where the file system keeps no owners or modes (as FAT); the bytes matter
    // more than who owns them, so the write goes on and only the log hears of it.
    if (m_keepPermissions) {
        if (::geteuid() == 0 && ::fchown(m_fd, m_owner, m_group) != 0)
            qWarning("Could not give the replaced file its owner back: %s", std::strerror(errno));
        if (::fchmod(m_fd, m_permissions) != 0)
            qWarning("Could not give the replaced file its mode back: %s", std::strerror(errno));
    }

    if (!m_namedTemporary.isEmpty()) {
        const int error = ::close(m_fd) == 0 ? 0 : errno;
        m_fd = -1;
        if (error != 0) {
            discard();
            return failureFromErrno(error);
        }
        if (std::rename(encoded(m_namedTemporary).constData(), encoded(m_target).constData()) != 0) {
            discard();
            return failure(core::Reason::NotReplaced);
        }
        m_namedTemporary.clear();
        return {};
    }

    // A new file is linked in under its own name at once; the link refuses a name that is taken. A
    // replacement needs a name of its own to rename from: only the instant between link and rename
    // could leave it behind.
    if (linkUnnamed(m_fd, m_target)) {
        discard();
        return {};
    }
    const QString folder = QFileInfo(m_target).absolutePath();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = hiddenNameIn(folder);
        if (!linkUnnamed(m_fd, name)) {
            if (errno == EEXIST)
                continue;
            const int error = errno;
            discard();
            return failureFromErrno(error);
        }
        if (std::rename(encoded(name).constData(), encoded(m_target).constData()) != 0) {
            ::unlink(encoded(name).constData());
            discard();
            return failure(core::Reason::NotReplaced);
        }
        discard();
        return {};
    }
    discard();
    return failureFromErrno(EEXIST);
}

// A few MiB are held in memory; past that the bytes go to an unnamed file, so that an image of any
// size costs no more memory than a small one. Where no such file can be made they stay in memory,
// as the write could not be made otherwise.
core::Result<> WholeFile::holdBack(QByteArrayView bytes)
{
    constexpr qsizetype inMemory = 4 << 20;
    if (m_spool == -1 && m_pending.size() + bytes.size() > inMemory) {
        m_spool = openSpool();
        if (m_spool < 0) {
            qWarning("No temporary file for an in-place write, so it is held in memory: %s", std::strerror(errno));
            m_spool = -2; // not asked again
        } else if (!writeAll(m_spool, m_pending.constData(), m_pending.size(), 0)) {
            const int error = errno;
            discard();
            return failureFromErrno(error);
        } else {
            m_spooled = std::exchange(m_pending, QByteArray()).size();
        }
    }
    if (m_spool < 0) {
        m_pending.append(bytes);
        return {};
    }
    if (!writeAll(m_spool, bytes.data(), bytes.size(), static_cast<off_t>(m_spooled))) {
        const int error = errno;
        discard();
        return failureFromErrno(error);
    }
    m_spooled += bytes.size();
    return {};
}

core::Result<> WholeFile::commitInPlace()
{
    const int fd = openTargetInPlace();
    if (fd < 0) {
        const int error = errno;
        discard();
        return failureFromErrno(error);
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        discard();
        return failure(core::Reason::DeviceOrPipe);
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
    discard();
    return error == 0 ? core::Result<>() : failureFromErrno(error);
}

void WholeFile::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_namedTemporary.isEmpty())
        ::unlink(encoded(m_namedTemporary).constData());
    m_namedTemporary.clear();
    m_inPlace = false;
    m_pending = QByteArray();
    if (m_spool >= 0)
        ::close(m_spool);
    m_spool = -1;
    m_spooled = 0;
}
}
