#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

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
}

WholeFile::WholeFile(QString path)
    : m_path(std::move(path))
{
    // A link is written through, as opening the file would: the file it names gets the bytes.
    const QFileInfo chosen(m_path);
    m_target = !chosen.isSymLink() ? chosen.absoluteFilePath()
             : chosen.exists()     ? chosen.canonicalFilePath()
                                   : chosen.symLinkTarget();
}

WholeFile::~WholeFile()
{
    discard();
}

core::Result<> WholeFile::failure(const QString &reason) const
{
    return core::fail(u"ファイル「%1」に書き込めませんでした。%2"_s.arg(QDir::toNativeSeparators(m_path), reason));
}

core::Result<> WholeFile::failureFromErrno(int error) const
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return failure(u"書き込みの途中で失敗しました。ディスクの空きが足りない可能性があります。"_s);
    case ENAMETOOLONG:
        return failure(u"ファイル名が長すぎます。"_s);
    case EACCES:
    case EPERM:
    case EROFS:
        return failure(u"書き込みが許可されていません。"_s);
    case ENOENT:
    case ENOTDIR:
        return failure(u"保存先のフォルダが見つかりません。"_s);
    case EISDIR:
        return failure(u"同じ名前のフォルダがあります。"_s);
    default:
        return failure(u"原因は分かりません。（%1）"_s.arg(QString::fromLocal8Bit(std::strerror(error))));
    }
}

core::Result<> WholeFile::open()
{
    discard();
    const QFileInfo target(m_target);
    if (target.isDir())
        return failureFromErrno(EISDIR);
    if (!target.absoluteDir().exists())
        return failureFromErrno(ENOENT);
    // Replacing through a rename would otherwise overwrite a file the user marked read-only.
    if (target.isFile() && !target.isWritable())
        return failure(u"読み取り専用のファイルです。"_s);
    m_keepPermissions = target.exists();
    if (m_keepPermissions) {
        struct stat status{};
        if (::stat(encoded(m_target).constData(), &status) == 0)
            m_permissions = status.st_mode & 07777;
    }

    const QByteArray folder = encoded(target.absolutePath());
    m_fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (m_fd >= 0)
        return {};
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return failureFromErrno(errno);

    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = hiddenNameIn(target.absolutePath());
        m_fd = ::open(encoded(name).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_namedTemporary = name;
            return {};
        }
        if (errno != EEXIST)
            return failureFromErrno(errno);
    }
    return failureFromErrno(EEXIST);
}

core::Result<> WholeFile::write(QByteArrayView bytes)
{
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
    return {};
}

core::Result<> WholeFile::commit()
{
    if (m_fd < 0)
        return failureFromErrno(EBADF);
    // A replaced file keeps its permissions; a new one gets what the umask leaves of 0666.
    if (m_keepPermissions)
        ::fchmod(m_fd, m_permissions);

    if (!m_namedTemporary.isEmpty()) {
        const int error = ::close(m_fd) == 0 ? 0 : errno;
        m_fd = -1;
        if (error != 0) {
            discard();
            return failureFromErrno(error);
        }
        if (std::rename(encoded(m_namedTemporary).constData(), encoded(m_target).constData()) != 0) {
            discard();
            return failure(u"元のファイルを置き換えられませんでした。"_s);
        }
        m_namedTemporary.clear();
        return {};
    }

    // A new file is linked in under its own name at once. A replacement needs a name of its own to
    // rename from: only the instant between link and rename could leave it behind.
    if (!QFileInfo::exists(m_target) && linkUnnamed(m_fd, m_target)) {
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
            return failure(u"元のファイルを置き換えられませんでした。"_s);
        }
        discard();
        return {};
    }
    discard();
    return failureFromErrno(EEXIST);
}

void WholeFile::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_namedTemporary.isEmpty())
        ::unlink(encoded(m_namedTemporary).constData());
    m_namedTemporary.clear();
}
}
