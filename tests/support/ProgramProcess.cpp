#include "support/ProgramProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QTest>

#include <csignal>

namespace quorel::tests::ProgramProcess
{
namespace
{
    // Whether the process has its own handler for the signal (Linux reports the caught set in hex).
    bool catches(qint64 pid, int signalNumber)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("SigCgt:"))
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1;
        }
        return false;
    }
}

bool waitUntil(const std::function<bool()> &condition)
{
    const QDeadlineTimer deadline(20000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
}

bool startOffscreen(QProcess &process, const QString &program)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setProgram(program);
    process.start();
    return process.waitForStarted() && waitUntil([&] { return catches(process.processId(), SIGTERM); });
}

bool endsCleanlyOn(QProcess &process, int signalNumber)
{
    return ::kill(static_cast<pid_t>(process.processId()), signalNumber) == 0 && process.waitForFinished(20000)
        && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
}
