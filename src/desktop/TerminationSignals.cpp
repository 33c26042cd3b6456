#include "desktop/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace quorel::desktop
{
namespace
{
    // [0] written by the handler, [1] read by the event loop.
    int wakeSockets[2] = {-1, -1};

    constexpr int handledSignals[] = {SIGTERM, SIGHUP, SIGINT};

    void wake(int)
    {
        const int savedErrno = errno; // the interrupted code may be about to read it
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeSockets[0], &byte, 1);
        errno = savedErrno;
    }
}

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeSockets) != 0)
        return;
    m_notifier = new QSocketNotifier(wakeSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);

    struct sigaction action = {};
    action.sa_handler = wake;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : handledSignals)
        ::sigaction(number, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (int number : handledSignals)
        std::signal(number, SIG_DFL);
    ::close(wakeSockets[0]);
    ::close(wakeSockets[1]);
    wakeSockets[0] = wakeSockets[1] = -1;
}

void TerminationSignals::drain()
{
    char bytes[16];
    while (::read(wakeSockets[1], bytes, sizeof bytes) > 0) { }
    Q_EMIT received();
}
}
