#include "support/RawServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorel::tests
{
RawServer::RawServer(QByteArray answer, QByteArray forever, Ending ending)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || ::listen(m_listener, 64) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        qFatal("RawServer: cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this, answer, forever, ending] { run(answer, forever, ending); });
}

RawServer::~RawServer()
{
    // A waiting accept returns.
    ::shutdown(m_listener, SHUT_RDWR);
    m_thread.join();
    ::close(m_listener);
}

QString RawServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

void RawServer::run(const QByteArray &answer, const QByteArray &forever, Ending ending)
{
    for (int connections = 0; connections < 1000; ++connections) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            return;
        pollfd request{fd, POLLIN, 0};
        char received[4096];
        if (::poll(&request, 1, 2000) == 1) {
            [[maybe_unused]] const ssize_t got = ::recv(fd, received, sizeof received, 0);
        }
        bool open = ::send(fd, answer.data(), size_t(answer.size()), MSG_NOSIGNAL) == answer.size();
        for (qint64 sent = 0; open && !forever.isEmpty() && sent < (64 << 20); sent += forever.size())
            open = ::send(fd, forever.data(), size_t(forever.size()), MSG_NOSIGNAL) == forever.size();
        if (ending == Ending::Reset) {
            const linger abort{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        }
        ::close(fd);
    }
}
}
