#include "platform/QtDesktop.h"

#include <QDir>
#include <QFileInfo>

namespace quorel::platform
{
bool QtDesktop::anotherInstanceRunning(const QString &lockPath)
{
    QDir().mkpath(QFileInfo(lockPath).absolutePath());
    auto lock = std::make_unique<QLockFile>(lockPath);
    // Age alone never frees the lock; a lock whose process has gone is taken over.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_instanceLock = std::move(lock);
        return false;
    }
    // A folder where no lock can be made says nothing about other copies.
    return lock->error() == QLockFile::LockFailedError;
}
}
