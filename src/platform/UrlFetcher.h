#pragma once

#include <QByteArray>
#include <QString>

namespace quorel::platform
{
struct FetchResult
{
    bool ok = false;
    QByteArray body;    // the whole body, whatever the status
    QString errorText;  // a short Japanese sentence when !ok
};

// Fetches whole resources one at a time.
class UrlFetcher
{
public:
    virtual ~UrlFetcher() = default;
    virtual FetchResult fetch(const QString &url) = 0;
};
}
