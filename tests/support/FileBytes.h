#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace quorel::tests
{
// The file's bytes; empty when it cannot be read.
inline QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the bytes as a test's starting state; false when they could not all be written.
inline bool putBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
}
