#include "platform/QtDesktop.h"

#include "platform/CurlFetcher.h"

namespace quorel::platform
{
std::unique_ptr<UrlFetcher> QtDesktop::createFetcher()
{
    return std::make_unique<CurlFetcher>();
}
}
