#include "support/LoopbackServer.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace quorel::tests
{
struct LoopbackServer::State
{
    httplib::Server server;
    std::thread thread;
    int port = 0;

    mutable std::mutex mutex;
    std::condition_variable stopping;
    bool stopped = false;
    QStringList paths;
    QString userAgent;
    int atOnce = 0;
    int mostAtOnce = 0;

    void record(const httplib::Request &request)
    {
        const std::lock_guard lock(mutex);
        paths.append(QString::fromStdString(request.path));
        userAgent = QString::fromStdString(request.get_header_value("User-Agent"));
    }
};

LoopbackServer::LoopbackServer()
    : m_state(std::make_unique<State>())
{
    // Many requests share one connection in the download; httplib closes after five by default.
    m_state->server.set_keep_alive_max_count(100000);
    // Without it every answer waits for the client's delayed acknowledgement, about 40 ms.
    m_state->server.set_tcp_nodelay(true);
    // A kept connection holds a thread: room for every connection a client opens, and more.
    m_state->server.new_task_queue = [] { return new httplib::ThreadPool(24); };
}

LoopbackServer::~LoopbackServer()
{
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->stopped = true;
    }
    m_state->stopping.notify_all();
    m_state->server.stop();
    if (m_state->thread.joinable())
        m_state->thread.join();
}

void LoopbackServer::serve(const QString &path, int status, const QByteArray &body)
{
    m_state->server.Get(path.toStdString(),
                        [this, status, body](const httplib::Request &request, httplib::Response &response) {
                            m_state->record(request);
                            response.status = status;
                            response.set_content(body.toStdString(), "application/octet-stream");
                        });
}

void LoopbackServer::serveUnder(const QString &prefix, std::function<QByteArray(const QString &path)> bodyFor)
{
    m_state->server.Get(
        prefix.toStdString() + "(.*)",
        [this, bodyFor = std::move(bodyFor)](const httplib::Request &request, httplib::Response &response) {
            m_state->record(request);
            const QByteArray body = bodyFor(QString::fromStdString(request.path));
            response.set_content(body.constData(), size_t(body.size()), "application/octet-stream");
        });
}

void LoopbackServer::serveEchoUnder(const QString &prefix)
{
    serveUnder(prefix, [](const QString &path) { return path.toUtf8(); });
}

void LoopbackServer::answerUnder(const QString &prefix, std::function<Answer(const QString &path, int asked)> answerFor)
{
    m_state->server.Get(
        prefix.toStdString() + "(.*)",
        [this, answerFor = std::move(answerFor)](const httplib::Request &request, httplib::Response &response) {
            const QString path = QString::fromStdString(request.path);
            int asked = 0;
            {
                const std::lock_guard lock(m_state->mutex);
                asked = int(m_state->paths.count(path));
                m_state->mostAtOnce = std::max(m_state->mostAtOnce, ++m_state->atOnce);
            }
            m_state->record(request);
            const Answer answer = answerFor(path, asked);
            {
                std::unique_lock lock(m_state->mutex);
                m_state->stopping.wait_for(lock, answer.delay, [this] { return m_state->stopped; });
                --m_state->atOnce;
            }
            response.status = answer.status;
            if (!answer.retryAfter.isEmpty())
                response.set_header("Retry-After", answer.retryAfter.toStdString());
            if (!answer.cut) {
                response.set_content(answer.body.constData(), size_t(answer.body.size()), "application/octet-stream");
                return;
            }
            const std::string sent = answer.body.toStdString();
            response.set_content_provider(2 * sent.size() + 1, "application/octet-stream",
                                          [sent](size_t offset, size_t, httplib::DataSink &sink) {
                                              if (offset < sent.size())
                                                  return sink.write(sent.data() + offset, sent.size() - offset);
                                              return false;
                                          });
        });
}

void LoopbackServer::redirect(const QString &from, const QString &to)
{
    m_state->server.Get(from.toStdString(), [this, to](const httplib::Request &request, httplib::Response &response) {
        m_state->record(request);
        response.set_redirect(to.toStdString());
    });
}

void LoopbackServer::stall(const QString &path)
{
    m_state->server.Get(path.toStdString(), [this](const httplib::Request &request, httplib::Response &response) {
        m_state->record(request);
        std::unique_lock lock(m_state->mutex);
        m_state->stopping.wait_for(lock, std::chrono::seconds(60), [this] { return m_state->stopped; });
        response.set_content("late", "text/plain");
    });
}

void LoopbackServer::cutShort(const QString &path, const QByteArray &sentPart)
{
    const std::string sent = sentPart.toStdString();
    m_state->server.Get(path.toStdString(), [this, sent](const httplib::Request &request, httplib::Response &response) {
        m_state->record(request);
        response.set_content_provider(2 * sent.size() + 1, "application/octet-stream",
                                      [sent](size_t offset, size_t, httplib::DataSink &sink) {
                                          if (offset < sent.size())
                                              return sink.write(sent.data() + offset, sent.size() - offset);
                                          return false; // httplib drops the connection when the provider gives up
                                      });
    });
}

void LoopbackServer::serveGenerated(const QString &path, qint64 size)
{
    m_state->server.Get(path.toStdString(), [this, size](const httplib::Request &request, httplib::Response &response) {
        m_state->record(request);
        response.set_content_provider(
            size_t(size), "application/octet-stream", [](size_t offset, size_t length, httplib::DataSink &sink) {
                const QByteArray piece = generatedBytes(qint64(offset), qsizetype(std::min<size_t>(length, 1 << 16)));
                return sink.write(piece.constData(), size_t(piece.size()));
            });
    });
}

void LoopbackServer::trickle(const QString &path, int intervalMs)
{
    m_state->server.Get(path.toStdString(),
                        [this, intervalMs](const httplib::Request &request, httplib::Response &response) {
                            m_state->record(request);
                            response.set_chunked_content_provider(
                                "application/octet-stream", [this, intervalMs](size_t, httplib::DataSink &sink) {
                                    std::unique_lock lock(m_state->mutex);
                                    if (m_state->stopping.wait_for(lock, std::chrono::milliseconds(intervalMs),
                                                                   [this] { return m_state->stopped; }))
                                        return false;
                                    lock.unlock();
                                    return sink.write("x", 1);
                                });
                        });
}

void LoopbackServer::hugeHeader(const QString &path, qsizetype size)
{
    m_state->server.Get(path.toStdString(), [this, size](const httplib::Request &request, httplib::Response &response) {
        m_state->record(request);
        response.set_header("X-Padding", std::string(size_t(size), 'p'));
        response.set_content("body", "text/plain");
    });
}

QByteArray LoopbackServer::generatedBytes(qint64 offset, qsizetype length)
{
    QByteArray bytes(length, Qt::Uninitialized);
    // Through the raw pointer: the server makes gigabytes with this, and a benchmark that races a
    // client against it should not be timing the server.
    char *out = bytes.data();
    for (qsizetype i = 0; i < length; ++i) {
        const auto n = quint64(offset + i);
        out[i] = char((n * 2654435761u) >> 13 ^ n >> 8);
    }
    return bytes;
}

void LoopbackServer::start()
{
    m_state->port = m_state->server.bind_to_any_port("127.0.0.1");
    if (m_state->port < 0)
        qFatal("LoopbackServer: cannot bind to 127.0.0.1");
    m_state->thread = std::thread([this] { m_state->server.listen_after_bind(); });
    // stop() does nothing until the server runs, so a server stopped too early would never end.
    while (!m_state->server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

QString LoopbackServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_state->port).arg(path);
}

QStringList LoopbackServer::requestedPaths() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->paths;
}

QString LoopbackServer::lastUserAgent() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->userAgent;
}

int LoopbackServer::mostAtOnce() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->mostAtOnce;
}

QString LoopbackServer::refusedUrl(const QString &path)
{
    // A port the system hands out and nobody listens on refuses connections once its socket is closed.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::getsockname(probe, reinterpret_cast<sockaddr *>(&address), &length);
    ::close(probe);
    return QStringLiteral("http://127.0.0.1:%1%2").arg(ntohs(address.sin_port)).arg(path);
}
}
