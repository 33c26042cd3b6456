#include "platform/UnnamedFileWrite.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace quorel::platform::WholeFileParts
{
namespace
{
    // Links the unnamed file fd in under name. Through /proc as any user may; AT_EMPTY_PATH as a
    // fallback needs a privilege most users lack.
    bool linkUnnamed(int fd, int folder, const QByteArray &name)
    {
        const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(fd);
        if (::linkat(AT_FDCWD, procPath.constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno == EEXIST)
            return false;
        return ::linkat(fd, "", folder, name.constData(), AT_EMPTY_PATH) == 0;
    }
}

std::unique_ptr<UnnamedFileWrite> UnnamedFileWrite::open(const Place &place, int &error)
{
    const int fd = ::openat(place.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    return std::unique_ptr<UnnamedFileWrite>(new UnnamedFileWrite(place, fd));
}

UnnamedFileWrite::UnnamedFileWrite(Place place, int fd)
    : m_place(std::move(place))
    , m_fd(fd)
{ }

UnnamedFileWrite::~UnnamedFileWrite()
{
    ::close(m_fd);
}

core::Result<> UnnamedFileWrite::write(QByteArrayView bytes)
{
    if (const int error = writeOn(m_fd, bytes); error != 0)
        return failureFromErrno(error);
    return {};
}

// A new file is linked in under its own name at once; the link refuses a name that is taken. A
// replacement needs a name of its own to rename from: only the instant between link and rename
// could leave it behind.
core::Result<> UnnamedFileWrite::commit()
{
    giveBackOwnership(m_fd, m_place);
    if (linkUnnamed(m_fd, m_place.folder, m_place.name))
        return {};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray hidden = hiddenName();
        if (!linkUnnamed(m_fd, m_place.folder, hidden)) {
            if (errno == EEXIST)
                continue;
            return failureFromErrno(errno);
        }
        if (::renameat(m_place.folder, hidden.constData(), m_place.folder, m_place.name.constData()) != 0) {
            ::unlinkat(m_place.folder, hidden.constData(), 0);
            return core::fail(core::Reason::NotReplaced);
        }
        return {};
    }
    return failureFromErrno(EEXIST);
}
}
