#pragma once

#include <QByteArray>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

namespace quorel::platform
{
// Looks host names up on a few threads of its own that outlive every fetcher. A lookup the
// system's resolver leaves hanging cannot be cancelled; with a thread of its own for each transfer
// that asked, every stop would leave one more behind. Here all who ask for the same name share
// one lookup, however often they give up on it, and the threads are bounded; idle ones end, and a
// lookup nobody waits for any more is not started.
class HostLookup
{
public:
    // The addresses of a name as text (an IPv6 one in brackets); none when it has none.
    using Resolve = std::function<std::optional<QList<QByteArray>>(const QByteArray &host)>;

    // One name's lookup, shared by all who asked while it ran.
    class Answer
    {
    public:
        bool ended() const;
        // Once ended: the addresses, or none when the name was not found.
        std::optional<QList<QByteArray>> addresses() const;
        // Still running, or found addresses less than a minute ago. A failure is worth asking again,
        // as it may have been passing, and addresses change, as libcurl's own cache assumes.
        bool current() const;

    private:
        friend class HostLookup;
        struct State;
        std::shared_ptr<State> m_state;
    };

    explicit HostLookup(Resolve resolve = systemResolve, int threads = 16);
    // Threads still waiting on the resolver are left to end by themselves.
    ~HostLookup();
    HostLookup(const HostLookup &) = delete;
    HostLookup &operator=(const HostLookup &) = delete;

    // The one every fetcher shares; never destroyed, so that leaving the program waits for no lookup.
    static HostLookup &shared();
    static std::optional<QList<QByteArray>> systemResolve(const QByteArray &host);

    // Starts looking host up, or joins the lookup of it that runs; woken is called, on a lookup
    // thread, when it ends.
    Answer find(const QByteArray &host, std::function<void()> woken);

private:
    struct Pool;
    std::shared_ptr<Pool> m_pool;
};
}
