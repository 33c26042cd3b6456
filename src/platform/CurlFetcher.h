#pragma once

#include "platform/UrlFetcher.h"

#include <chrono>
#include <memory>

namespace quorel::platform
{
struct CurlFetcherLimits
{
    std::chrono::milliseconds connectTimeout{30'000};
    // A transfer slower than lowSpeedBytesPerSecond for lowSpeedTime is given up.
    long lowSpeedBytesPerSecond = 1;
    std::chrono::seconds lowSpeedTime{60};
};

// Fetches over libcurl with one handle for its whole life, so connections to the same server are reused.
class CurlFetcher final : public UrlFetcher
{
public:
    explicit CurlFetcher(CurlFetcherLimits limits = {});
    ~CurlFetcher() override;
    CurlFetcher(const CurlFetcher &) = delete;
    CurlFetcher &operator=(const CurlFetcher &) = delete;

    FetchResult fetch(const QString &url) override;

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};
}
