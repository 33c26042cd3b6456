#include "desktop/QtDesktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorel::desktop
{
InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool InstanceLock::heldElsewhere(const QString &path)
{
    // The kernel holds the lock for the life of the open file and drops it when its process ends,
    // however it ends: nothing in the file is read, so no leftover, empty or garbled file can
    // claim a copy that is gone.
    //
    // Only a file or a folder is opened: opening a device can act on it (a tape rewinds, a serial
    // line rings), and creating through a link could make a file anywhere, as root too. Anything
    // else in the lock's place is passed over for the folder that holds it, as by every copy.
    QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (::lstat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode))
        name = QFile::encodeName(QFileInfo(path).absolutePath());
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0644);
    // A folder or a read-only file in its place is locked just as well: flock() needs no write access.
    if (fd < 0 && (errno == EISDIR || errno == EACCES || errno == EPERM))
        fd = ::open(name.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false; // where no lock can be had, nothing says another copy runs
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
        return false;
    }
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool QtDesktop::anotherInstanceRunning(const QString &lockPath)
{
    QDir().mkpath(QFileInfo(lockPath).absolutePath());
    return m_instanceLock.heldElsewhere(lockPath);
}
}
