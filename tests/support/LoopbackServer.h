#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>

namespace quorel::tests
{
// An HTTP server on 127.0.0.1 at a port the system chooses, answering from its own thread.
// Routes are added before start(); the destructor stops the server and releases stalled requests.
class LoopbackServer
{
public:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        std::chrono::milliseconds delay{0}; // before the answer, cut short when the server stops
        bool cut = false; // announces twice the body, sends it and closes the connection
        QByteArray retryAfter; // a Retry-After header, when not empty

        static Answer image(QByteArray body, std::chrono::milliseconds delay = {})
        {
            Answer answer;
            answer.body = std::move(body);
            answer.delay = delay;
            return answer;
        }
        static Answer refusal(int status, QByteArray retryAfter = {})
        {
            Answer answer;
            answer.status = status;
            answer.body = "refused";
            answer.retryAfter = std::move(retryAfter);
            return answer;
        }
    };

    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    void serve(const QString &path, int status, const QByteArray &body);
    // Every path under prefix answers 200 with the body made from the path (called on the server's threads).
    void serveUnder(const QString &prefix, std::function<QByteArray(const QString &path)> bodyFor);
    // Every path under prefix answers 200 with the path itself as its body.
    void serveEchoUnder(const QString &prefix);
    // Every path under prefix answers as answerFor says, told how often the path was asked for before
    // (called on the server's threads).
    void answerUnder(const QString &prefix, std::function<Answer(const QString &path, int asked)> answerFor);
    void redirect(const QString &from, const QString &to);
    // Answers nothing until the server stops.
    void stall(const QString &path);
    // Announces a longer body than it sends, then closes the connection.
    void cutShort(const QString &path, const QByteArray &sentPart);

    // Answers a body of size bytes of generatedBytes, made as it is sent.
    void serveGenerated(const QString &path, qint64 size);
    // Sends one byte every interval, without end, until the client leaves or the server stops.
    void trickle(const QString &path, int intervalMs);
    // Answers 200 with a header line of the given size.
    void hugeHeader(const QString &path, qsizetype size);

    void start();
    QString url(const QString &path) const;

    QStringList requestedPaths() const;
    QString lastUserAgent() const;
    // The most requests that answerUnder() routes had in hand at once.
    int mostAtOnce() const;

    // An address on 127.0.0.1 whose port nobody listens on.
    static QString refusedUrl(const QString &path);

    // The bytes of a generated body from offset on: not a repeat of any short pattern.
    static QByteArray generatedBytes(qint64 offset, qsizetype length);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
}
