#pragma once

#include <QProcess>
#include <QString>

#include <functional>

// The built program run as a separate process, for tests of its whole life.
namespace quorel::tests::ProgramProcess
{
// Waits up to 20 s, with the event loop running, until the condition holds.
bool waitUntil(const std::function<bool()> &condition);

// Starts the program on the offscreen platform; true once it handles SIGTERM itself.
bool startOffscreen(QProcess &process, const QString &program);

// Sends the signal; true when the program then ends by itself with exit code 0.
bool endsCleanlyOn(QProcess &process, int signalNumber);
}
