#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace quorel::platform::FileIO
{
// Writes the bytes whole or not at all (see WholeFile); a failure names the file and the reason.
core::Result<> writeWhole(const QString &path, QByteArrayView bytes);

// The text and then tail in CP932 without a byte-order mark, written as writeWhole does. Encoded
// into the file piece by piece, so that a page of many megabytes is neither copied nor held twice.
core::Result<> writeText(const QString &path, QStringView text, QStringView tail = {});

// The lines of CP932 text without their CR LF (a lone LF or a lone CR also ends a line).
QStringList decodeLines(const QByteArray &bytes);

// decodeLines of the file's bytes, or why the file could not be read (also when it is no regular file).
core::Result<QStringList> readTextLines(const QString &path);
}
