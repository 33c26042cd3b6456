#pragma once

#include <QByteArray>
#include <QString>

#include <thread>

namespace quorel::tests
{
// A server on 127.0.0.1 that answers each connection, one at a time, with the same bytes whatever
// it asks, then sends forever over and over until the client leaves (or 64 MiB went), and closes
// the connection, with a reset where asked to. It takes a bounded number of connections and stops
// with its destructor.
class RawServer
{
public:
    enum class Ending
    {
        Close,
        Reset,
    };

    explicit RawServer(QByteArray answer, QByteArray forever = {}, Ending ending = Ending::Close);
    ~RawServer();
    RawServer(const RawServer &) = delete;
    RawServer &operator=(const RawServer &) = delete;

    QString url(const QString &path) const;

private:
    void run(const QByteArray &answer, const QByteArray &forever, Ending ending);

    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
};
}
