#include "platform/FileIO.h"

namespace quorel::platform::FileIO
{
std::optional<QString> writeWhole(const QString &path, QByteArrayView)
{
    return path;
}

std::optional<QString> writeText(const QString &path, QStringView)
{
    return path;
}

std::optional<QStringList> readTextLines(const QString &)
{
    return std::nullopt;
}
}
