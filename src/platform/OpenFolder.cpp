#include "platform/OpenFolder.h"

#include "platform/FileWriteStrategy.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorel::platform
{
namespace
{
    // Holds one descriptor at a time while the walk moves from folder to folder.
    class Walk
    {
    public:
        ~Walk()
        {
            if (m_fd >= 0)
                ::close(m_fd);
        }
        bool moveTo(int at, const char *name)
        {
            const int next = ::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (next < 0)
                return false;
            if (m_fd >= 0)
                ::close(m_fd);
            m_fd = next;
            return true;
        }
        int fd() const { return m_fd; }
        int release() { return std::exchange(m_fd, -1); }

    private:
        int m_fd = -1;
    };

    QByteArrayList namesOf(const QByteArray &path)
    {
        QByteArrayList names;
        for (const QByteArray &name : path.split('/'))
            if (!name.isEmpty() && name != ".")
                names.append(name);
        return names;
    }
}

core::Result<OpenFolder> OpenFolder::open(const QString &path)
{
    QString shown = path;
    while (shown.size() > 1 && shown.endsWith(u'/'))
        shown.chop(1);
    const auto failed = [&shown](core::Failure failure) {
        return core::during(core::Action::OpenFolder, QDir::toNativeSeparators(shown), std::move(failure));
    };
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.contains('\0'))
        return failed(core::fail(core::Reason::UnusableCharacter));
    Walk walk;
    if (!walk.moveTo(AT_FDCWD, bytes.startsWith('/') ? "/" : "."))
        return failed(WholeFileParts::failureFromErrno(errno));
    QByteArrayList left = namesOf(bytes);
    QByteArray walked = bytes.startsWith('/') ? "/" : ""; // for naming a refused link
    for (int links = 0; !left.isEmpty();) {
        const QByteArray name = left.takeFirst();
        struct stat entry = {};
        if (::fstatat(walk.fd(), name.constData(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
            return failed(WholeFileParts::failureFromErrno(errno));
        const QByteArray here = walked + (walked.isEmpty() || walked.endsWith('/') ? "" : "/") + name;
        if (S_ISLNK(entry.st_mode)) {
            if (++links > WholeFileParts::maxLinksFollowed)
                return failed(WholeFileParts::failureFromErrno(ELOOP));
            if (!WholeFileParts::linkTrusted(entry.st_uid, walk.fd(), ""))
                return failed(
                    core::fail(core::Reason::LinkNotTrusted, QDir::toNativeSeparators(QFile::decodeName(here))));
            const std::optional<QByteArray> to = WholeFileParts::linkTarget(walk.fd(), name.constData());
            if (!to)
                return failed(WholeFileParts::failureFromErrno(errno));
            if (to->startsWith('/') && !walk.moveTo(AT_FDCWD, "/"))
                return failed(WholeFileParts::failureFromErrno(errno));
            left = namesOf(*to) + left;
            walked = here;
            continue;
        }
        // A link put in its place since the look is refused by O_NOFOLLOW, not followed.
        if (!walk.moveTo(walk.fd(), name.constData()))
            return failed(WholeFileParts::failureFromErrno(errno == ELOOP ? ENOTDIR : errno));
        walked = here;
    }
    return OpenFolder(walk.release());
}

OpenFolder::OpenFolder(OpenFolder &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
{ }

OpenFolder &OpenFolder::operator=(OpenFolder &&other) noexcept
{
    std::swap(m_fd, other.m_fd);
    return *this;
}

OpenFolder::~OpenFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
}
