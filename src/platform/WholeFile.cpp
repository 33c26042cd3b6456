#include "platform/WholeFile.h"

#include "platform/FileWriteStrategy.h"
#include "platform/InPlaceWrite.h"
#include "platform/StandInFileWrite.h"
#include "platform/UnnamedFileWrite.h"
#include "platform/WholeFileSeams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorel::platform
{
using namespace WholeFileParts;

namespace
{
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

    bool mountedOverItsName(int folder, const QByteArray &name)
    {
        struct statx status
        { };
        return ::statx(folder, name.constData(), 0, STATX_TYPE, &status) == 0
            && (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0
            && (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    }

    // The folder part of a path, "." when it has none.
    QByteArray folderOf(const QByteArray &path)
    {
        const qsizetype slash = path.lastIndexOf('/');
        if (slash < 0)
            return ".";
        return slash == 0 ? QByteArray("/") : path.left(slash);
    }

    QByteArray nameOf(const QByteArray &path)
    {
        return path.mid(path.lastIndexOf('/') + 1);
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
    , m_base(AT_FDCWD)
    , m_target(QFile::encodeName(QFileInfo(m_path).absoluteFilePath()))
{
    followLinks();
}

WholeFile::WholeFile(int folderFd, const QString &folderPath, const QString &name)
    : m_path(folderPath + name)
    , m_base(folderFd)
    , m_baseShown(folderPath)
    , m_target(QFile::encodeName(name))
{
    followLinks();
}

// A link is written through, as opening the file would: the file it names gets the bytes. Link by
// link, so that each is weighed before it is followed; 40 as the kernel allows. One lookup a name:
// a download makes thousands of these.
void WholeFile::followLinks()
{
    // The system would read the name only up to it.
    if (m_target.contains('\0')) {
        m_refused = core::fail(core::Reason::UnusableCharacter);
        return;
    }
    struct stat entry = {};
    bool present = ::fstatat(m_base, m_target.constData(), &entry, AT_SYMLINK_NOFOLLOW) == 0;
    for (int hop = 0; hop < maxLinksFollowed && present && S_ISLNK(entry.st_mode); ++hop) {
        const QByteArray folder = folderOf(m_target);
        if (!linkTrusted(entry.st_uid, m_base, folder.constData())) {
            m_refused = core::fail(core::Reason::LinkNotTrusted, QDir::toNativeSeparators(shown(m_target)));
            return;
        }
        const std::optional<QByteArray> to = linkTarget(m_base, m_target.constData());
        if (!to)
            break;
        m_target = to->startsWith('/') ? *to : (folder == "/" ? folder : folder + '/') + *to;
        present = ::fstatat(m_base, m_target.constData(), &entry, AT_SYMLINK_NOFOLLOW) == 0;
    }
    // A chain longer than the kernel follows, or a link that cannot be read, is not followed at all.
    if (present && S_ISLNK(entry.st_mode))
        m_refused = failureFromErrno(ELOOP);
}

// A path below the base as the user would write it.
QString WholeFile::shown(const QByteArray &path) const
{
    if (m_base == AT_FDCWD || path.startsWith('/'))
        return QFile::decodeName(path);
    return m_baseShown + QFile::decodeName(path);
}

core::Result<> WholeFile::named(core::Failure failure) const
{
    return core::during(core::Action::WriteFile, QDir::toNativeSeparators(m_path), std::move(failure));
}

WholeFile::~WholeFile()
{
    discard();
}

core::Result<> WholeFile::open()
{
    discard();
    if (m_refused)
        return named(*m_refused);
    const QByteArray name = nameOf(m_target);
    const QByteArray folderPath = folderOf(m_target);
    m_folder = ::openat(m_base, folderPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0)
        return named(failureFromErrno(errno));
    if (name.isEmpty() || name == "." || name == "..")
        return named(failureFromErrno(EISDIR));
    // fstatat() follows links and opens nothing, so a pipe with no reader cannot stop the program here.
    struct stat status = {};
    const bool exists = ::fstatat(m_folder, name.constData(), &status, 0) == 0;
    if (!exists && errno != ENOENT)
        return named(failureFromErrno(errno));
    if (exists && S_ISDIR(status.st_mode))
        return named(failureFromErrno(EISDIR));
    if (exists && !S_ISREG(status.st_mode))
        return named(core::fail(core::Reason::DeviceOrPipe));
    // Replacing through a rename would otherwise overwrite a file the user marked read-only.
    if (exists && readOnlyByMode(status))
        return named(core::fail(core::Reason::ReadOnlyFile));

    Place place{m_folder, name, QFileInfo(shown(m_target)).absolutePath(), std::nullopt};
    if (exists)
        place.replaced = Replaced{status.st_mode & 07777, status.st_uid, status.st_gid};
    int error = EACCES;
    // Nothing can be renamed over a file mounted over its name (as a container's configuration
    // file): it can only be written in place.
    if (!(exists && mountedOverItsName(m_folder, name))) {
        const WholeFileSeams::Hooks &hooks = WholeFileSeams::current();
        if (!hooks.folderWritable || hooks.folderWritable(place.shownFolder)) {
            // An unnamed file is linked in through /proc; where that is missing only a stand-in will do.
            static const bool procReachable = ::access("/proc/self/fd", X_OK) == 0;
            error = EOPNOTSUPP;
            if (procReachable)
                m_write = UnnamedFileWrite::open(place, error);
            if (!m_write && (error == EOPNOTSUPP || error == EISDIR || error == EINVAL))
                m_write = StandInFileWrite::open(place, error);
        }
    }
    if (!m_write && (error == EACCES || error == EPERM || error == EROFS) && exists)
        m_write = InPlaceWrite::open(place, error);
    if (!m_write) {
        discard();
        return named(failureFromErrno(error));
    }
    reach(WholeFileSeams::Step::Opened);
    return {};
}

core::Result<> WholeFile::write(QByteArrayView bytes)
{
    if (!m_write)
        return named(failureFromErrno(EBADF));
    if (core::Result<> written = m_write->write(bytes); !written) {
        discard();
        return named(written.error());
    }
    reach(WholeFileSeams::Step::Written);
    return {};
}

core::Result<> WholeFile::commit()
{
    if (!m_write)
        return named(failureFromErrno(EBADF));
    reach(WholeFileSeams::Step::Committing);
    const core::Result<> committed = m_write->commit();
    discard();
    return committed ? committed : named(committed.error());
}

void WholeFile::discard()
{
    m_write.reset();
    if (m_folder >= 0)
        ::close(m_folder);
    m_folder = -1;
}
}
