#pragma once

#include <QFile>

namespace quorel::tests
{
// The process's peak resident size since the last call, in bytes; -1 where the system cannot tell
// or cannot start it afresh.
inline qint64 peakResidentSinceLast()
{
    QFile status(QStringLiteral("/proc/self/status"));
    qint64 peak = -1;
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
        return -1;
    return peak;
}
}
