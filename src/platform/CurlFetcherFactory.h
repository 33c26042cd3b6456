#pragma once

#include "platform/UrlFetcherFactory.h"

namespace quorel::platform
{
// A fresh libcurl fetcher for each download run.
class CurlFetcherFactory final : public UrlFetcherFactory
{
public:
    std::unique_ptr<UrlFetcher> createFetcher() override;
};
}
