#pragma once

#include "platform/FileWriteStrategy.h"

#include <memory>

namespace quorel::platform::WholeFileParts
{
// The bytes go into an unnamed file in the target's folder (O_TMPFILE) that commit() links in, and
// renames over the target where one is there: a crash or kill before then leaves nothing behind.
class UnnamedFileWrite final : public Strategy
{
public:
    // Nothing, with error set, where the folder makes no unnamed file.
    static std::unique_ptr<UnnamedFileWrite> open(const Place &place, int &error);
    ~UnnamedFileWrite() override;
    UnnamedFileWrite(const UnnamedFileWrite &) = delete;
    UnnamedFileWrite &operator=(const UnnamedFileWrite &) = delete;

    core::Result<> write(QByteArrayView bytes) override;
    core::Result<> commit() override;

private:
    UnnamedFileWrite(Place place, int fd);

    Place m_place;
    int m_fd;
};
}
