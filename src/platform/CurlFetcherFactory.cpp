#include "platform/CurlFetcherFactory.h"

#include "platform/CurlFetcher.h"

namespace quorel::platform
{
std::unique_ptr<UrlFetcher> CurlFetcherFactory::createFetcher()
{
    return std::make_unique<CurlFetcher>();
}
}
