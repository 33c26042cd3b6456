#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorel::platform::FileIO
{
// Writes the bytes whole or not at all (see WholeFile); a failure names the file and the reason.
core::Result<> writeWhole(const QString &path, QByteArrayView bytes);

// The text in CP932 without a byte-order mark, written as writeWhole does.
core::Result<> writeText(const QString &path, QStringView text);

// The lines of CP932 text without their CR LF (a lone LF also ends a line).
QStringList decodeLines(const QByteArray &bytes);

// decodeLines of the file's bytes; nothing when the file cannot be read or is no regular file.
std::optional<QStringList> readTextLines(const QString &path);
}
