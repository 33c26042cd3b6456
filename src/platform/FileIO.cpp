#include "platform/FileIO.h"

#include "platform/Cp932.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace quorel::platform::FileIO
{
core::Result<> writeWhole(const QString &path, QByteArrayView bytes)
{
    WholeFile file(path);
    if (core::Result<> opened = file.open(); !opened)
        return opened;
    if (core::Result<> written = file.write(bytes); !written)
        return written;
    return file.commit();
}

core::Result<> writeText(const QString &path, QStringView text, QStringView tail)
{
    WholeFile file(path);
    if (core::Result<> opened = file.open(); !opened)
        return opened;
    if (core::Result<> written
        = Cp932::encodeInPieces({text, tail}, [&file](QByteArrayView piece) { return file.write(piece); });
        !written)
        return written;
    return file.commit();
}

QStringList decodeLines(const QByteArray &bytes)
{
    // Split before decoding, so a broken double-byte character cannot swallow a line end. A lone CR
    // ends a line too, as in files from systems that end lines so.
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        const char c = bytes.at(at);
        if (c != '\n' && c != '\r')
            continue;
        lines.append(Cp932::decode(QByteArrayView(bytes).sliced(start, at - start)));
        if (c == '\r' && at + 1 < bytes.size() && bytes.at(at + 1) == '\n')
            ++at;
        start = at + 1;
    }
    if (start < bytes.size())
        lines.append(Cp932::decode(QByteArrayView(bytes).sliced(start)));
    return lines;
}

core::Result<QStringList> readTextLines(const QString &path)
{
    const auto failure = [&path](core::Reason reason, QString detail = {}) {
        return core::during(core::Action::ReadFile, QDir::toNativeSeparators(path),
                            core::fail(reason, std::move(detail)));
    };
    const auto failureFromErrno = [&failure](int error) {
        return failure(core::Reason::SystemError, QString::fromLocal8Bit(std::strerror(error)));
    };

    // Anything but a regular file is refused unopened: opening a device can act on it, and a pipe
    // would wake a writer waiting on it. O_NONBLOCK and the second look cover a swap in between,
    // where a pipe would otherwise keep the window from ever appearing.
    const QByteArray name = QFile::encodeName(path);
    struct stat named = {};
    if (::stat(name.constData(), &named) != 0)
        return failureFromErrno(errno);
    if (!S_ISREG(named.st_mode))
        return failure(core::Reason::NotRegularFile);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failureFromErrno(errno);
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return failure(core::Reason::NotRegularFile);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failure(core::Reason::SystemError, file.errorString());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failure(core::Reason::SystemError, file.errorString());
    return decodeLines(bytes);
}
}
