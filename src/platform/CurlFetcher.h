#pragma once

#include "platform/UrlFetcher.h"

#include <atomic>
#include <chrono>
#include <memory>

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
};

// Fetches over libcurl with one handle for its whole life, so connections to the same server are
// reused. A transfer that fails on a kept connection before any byte of the answer came is tried
// once more on a fresh one: servers close idle connections without saying so, and libcurl's own
// retries are counted per handle, not per transfer, so they run out in a long run.
class CurlFetcher final : public UrlFetcher
{
public:
    explicit CurlFetcher(CurlFetcherLimits limits = {});
    ~CurlFetcher() override;
    CurlFetcher(const CurlFetcher &) = delete;
    CurlFetcher &operator=(const CurlFetcher &) = delete;

    core::Result<> fetch(const QString &url, const BodySink &sink) override;
    void stop() override;

    // The largest piece handed to a sink so far: what the fetcher holds of a body at any moment.
    qsizetype largestPiece() const { return m_largestPiece; }

private:
    struct Handle;
    struct Transfer;
    static size_t receiveBody(char *data, size_t size, size_t count, void *transfer);
    static size_t receiveHeader(char *data, size_t size, size_t count, void *transfer);
    static int connectionReady(void *transfer, char *, char *, int, int);
    int perform(Transfer &transfer);

    std::unique_ptr<Handle> m_handle;
    std::atomic<bool> m_stopped{false};
    bool m_holdsConnection = false;
    qsizetype m_largestPiece = 0;
};
}
