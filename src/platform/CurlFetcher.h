#pragma once

#include "platform/HostLookup.h"
#include "platform/UrlFetcher.h"

#include <QHash>
#include <QSet>

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <vector>

namespace quorel::platform
{
struct CurlFetcherLimits
{
    std::chrono::milliseconds connectTimeout{30'000};
    // A transfer slower than lowSpeedBytesPerSecond for lowSpeedTime is given up as stalled. A
    // kilobyte a second is far below any working link, yet a server that trickles a byte now and
    // then to keep the connection open no longer holds the window for ever.
    long lowSpeedBytesPerSecond = 1024;
    std::chrono::seconds lowSpeedTime{60};
    // A file of certificate authorities trusted in place of the system's own; empty for the system's.
    QString certificateAuthorities;
};

// Fetches over libcurl's multi interface, which keeps up to six connections to a server (or, over
// HTTP/2, one connection carrying many streams) and reuses them from one image to the next. A
// server that answers 429 or 503 with a Retry-After of at most a minute gets its wait, the image is
// tried again (twice at most), and that server gets one transfer at a time from then on.
// A transfer that fails on a kept connection before any byte of the answer came is tried once more
// on a fresh one: servers close idle connections without saying so, and libcurl's own retries are
// counted per handle, not per transfer, so they run out in a long run.
// Server names are looked up by a HostLookup and handed to libcurl, redirects included, so that no
// lookup of libcurl's own is left hanging when a transfer is stopped; only through a proxy does
// libcurl look names up itself.
class CurlFetcher final : public UrlFetcher
{
public:
    explicit CurlFetcher(CurlFetcherLimits limits = {}, HostLookup &lookup = HostLookup::shared());
    ~CurlFetcher() override;
    CurlFetcher(const CurlFetcher &) = delete;
    CurlFetcher &operator=(const CurlFetcher &) = delete;

    void add(qsizetype tag, const QString &url, BodySink sink) override;
    qsizetype room() const override;
    QList<Ended> next() override;
    void stop() override;

    // The largest piece handed to a sink so far: what the fetcher holds of a body at any moment.
    qsizetype largestPiece() const { return m_largestPiece; }

private:
    struct Transfer;
    struct Wakeup;
    static size_t receiveBody(char *data, size_t size, size_t count, void *transfer);
    static size_t receiveHeader(char *data, size_t size, size_t count, void *transfer);
    static int connectionReady(void *transfer, char *, char *, int, int);

    void *takeHandle();
    void aim(Transfer &transfer, const QByteArray &url);
    bool start(std::unique_ptr<Transfer> transfer);
    void admitWaiting();
    void holdBackUnstarted(const QString &server);
    void finish(void *handle, int code, QList<Ended> &ended);
    Ended endedAs(std::unique_ptr<Transfer> transfer, core::Result<> result);
    QList<Ended> endEverything();

    CurlFetcherLimits m_limits;
    HostLookup &m_lookup;
    bool m_ownLookups = true;
    QHash<QByteArray, HostLookup::Answer> m_lookups; // by host name, one for all its transfers
    void *m_multi = nullptr;
    std::shared_ptr<Wakeup> m_wakeup; // what a lookup that ends wakes
    std::vector<void *> m_idleHandles;
    std::vector<std::unique_ptr<Transfer>> m_running; // in libcurl's hands
    std::deque<std::unique_ptr<Transfer>> m_waiting; // in the order of their tags, until their turn
    QList<Ended> m_endedEarly; // refused before any transfer, handed on by the next next()
    QSet<QString> m_oneAtATime; // servers that asked for patience
    std::atomic<bool> m_stopped{false};
    qsizetype m_largestPiece = 0;
};
}
