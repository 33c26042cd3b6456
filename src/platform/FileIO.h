#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorel::platform::FileIO
{
// Writes the bytes whole or not at all (through a temporary file renamed over the target).
// Nothing on success; otherwise a short Japanese sentence that names the file and the reason.
std::optional<QString> writeWhole(const QString &path, QByteArrayView bytes);

// The text in CP932 without a byte-order mark, written as writeWhole does.
std::optional<QString> writeText(const QString &path, QStringView text);

// The lines of CP932 text without their CR LF (a lone LF also ends a line).
QStringList decodeLines(const QByteArray &bytes);

// decodeLines of the file's bytes; nothing when the file cannot be read.
std::optional<QStringList> readTextLines(const QString &path);
}
