#pragma once

#include "core/Result.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>

namespace quorel::platform
{
// Takes each piece of a body as it arrives; a failure ends the transfer with its reason.
using BodySink = std::function<core::Result<>(QByteArrayView piece)>;

// Fetches resources, several at once, handing their bodies on piece by piece so that none is held
// whole. Each fetch is known by the tag it was added with.
class UrlFetcher
{
public:
    struct Ended
    {
        qsizetype tag;
        core::Result<> result;
    };

    virtual ~UrlFetcher() = default;

    // Takes a fetch on; it starts when the fetcher has room for it. Only the body of a success answer
    // reaches sink, and only until the fetch ends; an HTTP status outside 200–299 fails the fetch,
    // and so do the successes that hold no whole resource (204, 205, 206).
    virtual void add(qsizetype tag, const QString &url, BodySink sink) = 0;
    // How many more fetches would be taken on now without waiting behind the others: adding more
    // only holds their files open for longer.
    virtual qsizetype room() const = 0;
    // Runs the fetches until one or more have ended and hands those on, each once; nothing when
    // none is left. After stop() every fetch left ends at once as stopped.
    virtual QList<Ended> next() = 0;
    // Ends every running fetch at once and refuses every later one. Any thread may call it.
    virtual void stop() = 0;

    // One fetch on its own, to its end.
    core::Result<> fetch(const QString &url, BodySink sink)
    {
        add(0, url, std::move(sink));
        const QList<Ended> ended = next();
        return ended.isEmpty() ? core::Result<>(core::fail(core::Reason::TransferStopped)) : ended.first().result;
    }
};
}
