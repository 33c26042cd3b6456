#include "platform/FetcherModule.h"

#include "platform/CurlFetcher.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) quorel::platform::UrlFetcher *quorel_create_fetcher()
{
    return new quorel::platform::CurlFetcher();
}

// The loader calls it through this type.
static_assert(std::is_same_v<decltype(quorel_create_fetcher), quorel::platform::FetcherModule::Create>);
