#pragma once

#include "core/Result.h"

#include <QByteArrayView>
#include <QString>

#include <functional>

namespace quorel::platform
{
// Takes each piece of a body as it arrives; a failure ends the transfer with its reason.
using BodySink = std::function<core::Result<>(QByteArrayView piece)>;

// Fetches resources one at a time, handing their bodies on piece by piece so that none is held whole.
class UrlFetcher
{
public:
    virtual ~UrlFetcher() = default;
    // Only the body of a success answer reaches sink; an HTTP status outside 200–299 fails the fetch,
    // and so do the successes that hold no whole resource (204, 205, 206).
    virtual core::Result<> fetch(const QString &url, const BodySink &sink) = 0;
    // Ends the running fetch at once and refuses every later one. Any thread may call it.
    virtual void stop() = 0;
};
}
