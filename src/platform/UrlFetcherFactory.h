#pragma once

#include <memory>

namespace quorel::platform
{
class UrlFetcher;

// Makes a fetcher for one download run; none when no transfer can be made at all.
class UrlFetcherFactory
{
public:
    virtual ~UrlFetcherFactory() = default;
    virtual std::unique_ptr<UrlFetcher> createFetcher() = 0;
};
}
