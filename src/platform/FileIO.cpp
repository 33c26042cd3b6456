#include "platform/FileIO.h"

#include "platform/Cp932.h"
#include "platform/WholeFile.h"

#include <QFile>

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

core::Result<> writeText(const QString &path, QStringView text)
{
    return writeWhole(path, Cp932::encode(text));
}

QStringList decodeLines(const QByteArray &bytes)
{
    // Split before decoding, so a broken double-byte character cannot swallow a line end.
    QList<QByteArray> rawLines = bytes.split('\n');
    if (rawLines.last().isEmpty())
        rawLines.removeLast(); // the end of the last line, or an empty file
    QStringList lines;
    lines.reserve(rawLines.size());
    for (QByteArray &raw : rawLines) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        lines.append(Cp932::decode(raw));
    }
    return lines;
}

std::optional<QStringList> readTextLines(const QString &path)
{
    // O_NONBLOCK so that a pipe in the file's place is opened without waiting for a writer, and
    // then refused: the program would otherwise wait for ever before its window appears.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status{};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decodeLines(bytes);
}
}
