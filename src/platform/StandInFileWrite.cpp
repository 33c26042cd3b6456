#include "platform/StandInFileWrite.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace quorel::platform::WholeFileParts
{
std::unique_ptr<StandInFileWrite> StandInFileWrite::open(const Place &place, int &error)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray standIn = hiddenName();
        const int fd = ::openat(place.folder, standIn.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0)
            return std::unique_ptr<StandInFileWrite>(new StandInFileWrite(place, fd, std::move(standIn)));
        error = errno;
        if (error != EEXIST)
            break;
    }
    return nullptr;
}

StandInFileWrite::StandInFileWrite(Place place, int fd, QByteArray standIn)
    : m_place(std::move(place))
    , m_fd(fd)
    , m_standIn(std::move(standIn))
{ }

StandInFileWrite::~StandInFileWrite()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_standIn.isEmpty())
        ::unlinkat(m_place.folder, m_standIn.constData(), 0);
}

core::Result<> StandInFileWrite::write(QByteArrayView bytes)
{
    if (const int error = writeOn(m_fd, bytes); error != 0)
        return failureFromErrno(error);
    return {};
}

core::Result<> StandInFileWrite::commit()
{
    giveBackOwnership(m_fd, m_place);
    const int error = ::close(m_fd) == 0 ? 0 : errno;
    m_fd = -1;
    if (error != 0)
        return failureFromErrno(error);
    if (::renameat(m_place.folder, m_standIn.constData(), m_place.folder, m_place.name.constData()) != 0)
        return core::fail(core::Reason::NotReplaced);
    m_standIn.clear();
    return {};
}
}
