#include "platform/FileIO.h"

#include "platform/Cp932.h"
#include "platform/WholeFile.h"

#include <QFile>

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decodeLines(bytes);
}
}
