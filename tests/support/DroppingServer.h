#pragma once

#include <QString>

#include <atomic>
#include <thread>

namespace quorel::tests
{
// An HTTP server on 127.0.0.1 that answers the first request of each connection with its path as
// the body and keeps the connection open without a word against it, then closes it unanswered when
// the next request comes: a server dropping idle connections, as seen by a client that lost the race.
class DroppingServer
{
public:
    DroppingServer();
    ~DroppingServer();
    DroppingServer(const DroppingServer &) = delete;
    DroppingServer &operator=(const DroppingServer &) = delete;

    QString url(const QString &path) const;
    int answered() const { return m_answered; }
    int dropped() const { return m_dropped; }

private:
    void run();

    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    std::atomic<int> m_answered = 0;
    std::atomic<int> m_dropped = 0;
    std::thread m_thread;
};
}
