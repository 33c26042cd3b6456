#pragma once

#include "platform/FileWriteStrategy.h"

#include <memory>

namespace quorel::platform::WholeFileParts
{
// Where the file system has no unnamed files: a hidden ".quorel-XXXXXX" file in the target's
// folder stands in, renamed over the target by commit() and removed on every failure.
class StandInFileWrite final : public Strategy
{
public:
    // Nothing, with error set, where the folder takes no new file.
    static std::unique_ptr<StandInFileWrite> open(const Place &place, int &error);
    ~StandInFileWrite() override;
    StandInFileWrite(const StandInFileWrite &) = delete;
    StandInFileWrite &operator=(const StandInFileWrite &) = delete;

    core::Result<> write(QByteArrayView bytes) override;
    core::Result<> commit() override;

private:
    StandInFileWrite(Place place, int fd, QByteArray standIn);

    Place m_place;
    int m_fd;
    QByteArray m_standIn; // emptied once renamed into place
};
}
