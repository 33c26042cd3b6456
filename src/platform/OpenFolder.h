#pragma once

#include "core/Result.h"

#include <QString>

namespace quorel::platform
{
// A folder opened once and held, so that what is written relative to it lands in it even when
// its path is renamed or relinked meanwhile.
class OpenFolder
{
public:
    // Walks the path a name at a time, following a link on it only under the rule WholeFile has for
    // files: this user or the owner of the folder that holds the link owns it. A refusal names the
    // link; a failure is reported while opening path.
    static core::Result<OpenFolder> open(const QString &path);
    OpenFolder(OpenFolder &&other) noexcept;
    OpenFolder &operator=(OpenFolder &&other) noexcept;
    ~OpenFolder();

    int fd() const { return m_fd; }

private:
    explicit OpenFolder(int fd)
        : m_fd(fd)
    { }

    int m_fd = -1;
};
}
