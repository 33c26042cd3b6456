#include "support/DroppingServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace quorel::tests
{
DroppingServer::DroppingServer()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || ::listen(m_listener, 64) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0
        || ::pipe2(m_wake, O_CLOEXEC) != 0)
        qFatal("DroppingServer: cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

DroppingServer::~DroppingServer()
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &byte, 1);
    m_thread.join();
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

QString DroppingServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

void DroppingServer::run()
{
    struct Connection
    {
        int fd;
        std::string received;
        bool answered = false;
    };
    std::vector<Connection> connections;
    for (;;) {
        std::vector<pollfd> watched{{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
        for (const Connection &c : connections)
            watched.push_back({c.fd, POLLIN, 0});
        if (::poll(watched.data(), watched.size(), 1000) < 0)
            continue;
        if (watched[0].revents)
            break;
        // A connection accepted below was not polled yet: it has no entry in watched.
        const std::size_t polled = connections.size();
        if (watched[1].revents & POLLIN) {
            const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                const int on = 1;
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                connections.push_back({fd, {}});
            }
        }
        std::vector<Connection> kept;
        for (std::size_t i = 0; i < connections.size(); ++i) {
            Connection &c = connections[i];
            bool open = true;
            if (i < polled && watched[i + 2].revents) {
                char buffer[4096];
                const ssize_t got = ::recv(c.fd, buffer, sizeof buffer, 0);
                if (got <= 0)
                    open = false;
                else
                    c.received.append(buffer, std::size_t(got));
                const std::size_t end = c.received.find("\r\n\r\n");
                if (open && end != std::string::npos) {
                    if (c.answered) {
                        ++m_dropped;
                        open = false;
                    } else {
                        const std::size_t pathStart = c.received.find(' ') + 1;
                        const std::string path
                            = c.received.substr(pathStart, c.received.find(' ', pathStart) - pathStart);
                        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                                                   "Content-Length: "
                            + std::to_string(path.size()) + "\r\n\r\n" + path;
                        [[maybe_unused]] const ssize_t sent = ::send(c.fd, answer.data(), answer.size(), MSG_NOSIGNAL);
                        c.received.erase(0, end + 4);
                        c.answered = true;
                        ++m_answered;
                    }
                }
            }
            if (open)
                kept.push_back(std::move(c));
            else
                ::close(c.fd);
        }
        connections = std::move(kept);
    }
    for (const Connection &c : connections)
        ::close(c.fd);
}
}
