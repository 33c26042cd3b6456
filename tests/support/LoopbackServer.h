#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace quorel::tests
{
// An HTTP server on 127.0.0.1 at a port the system chooses, answering from its own thread.
// Routes are added before start(); the destructor stops the server and releases stalled requests.
class LoopbackServer
{
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    void serve(const QString &path, int status, const QByteArray &body);
    // Every path under prefix answers 200 with the body made from the path (called on the server's threads).
    void serveUnder(const QString &prefix, std::function<QByteArray(const QString &path)> bodyFor);
    // Every path under prefix answers 200 with the path itself as its body.
    void serveEchoUnder(const QString &prefix);
    void redirect(const QString &from, const QString &to);
    // Answers nothing until the server stops.
    void stall(const QString &path);
    // Announces a longer body than it sends, then closes the connection.
    void cutShort(const QString &path, const QByteArray &sentPart);

    void start();
    QString url(const QString &path) const;

    QStringList requestedPaths() const;
    QString lastUserAgent() const;

    // An address on 127.0.0.1 whose port nobody listens on.
    static QString refusedUrl(const QString &path);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
}
