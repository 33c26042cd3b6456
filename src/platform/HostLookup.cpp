#include "platform/HostLookup.h"

#include <QHash>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quorel::platform
{
namespace
{
    // A thread with nothing to look up for this long ends; the next lookup starts one again.
    constexpr std::chrono::seconds idleLife{10};
    constexpr std::chrono::seconds addressesKept{60};
}

struct HostLookup::Answer::State
{
    mutable std::mutex mutex;
    bool ended = false;
    std::chrono::steady_clock::time_point endedAt;
    std::optional<QList<QByteArray>> addresses;
    std::vector<std::function<void()>> woken; // under the pool's lock
};

struct HostLookup::Pool
{
    Resolve resolve;
    int maxThreads = 1;

    std::mutex mutex;
    std::condition_variable work;
    QHash<QByteArray, std::shared_ptr<Answer::State>> unanswered;
    std::deque<QByteArray> queued;
    int threads = 0;
    int idle = 0;
    bool closing = false;

    // A thread's life: the queued lookups one after another, until idle for long or closing.
    static void serve(const std::shared_ptr<Pool> &pool)
    {
        std::unique_lock lock(pool->mutex);
        for (;;) {
            ++pool->idle;
            const bool hasWork
                = pool->work.wait_for(lock, idleLife, [&pool] { return !pool->queued.empty() || pool->closing; });
            --pool->idle;
            if (!hasWork || pool->queued.empty())
                break;
            const QByteArray host = pool->queued.front();
            pool->queued.pop_front();
            // Held by the pool alone, whoever asked has given up; nobody can ask again without the lock.
            if (const auto asked = pool->unanswered.constFind(host); asked->use_count() == 1) {
                pool->unanswered.erase(asked);
                continue;
            }
            lock.unlock();
            std::optional<QList<QByteArray>> addresses = pool->resolve(host);
            lock.lock();
            std::shared_ptr<Answer::State> state = pool->unanswered.take(host);
            {
                const std::scoped_lock answered(state->mutex);
                state->ended = true;
                state->endedAt = std::chrono::steady_clock::now();
                state->addresses = std::move(addresses);
            }
            const std::vector<std::function<void()>> woken = std::exchange(state->woken, {});
            lock.unlock();
            for (const std::function<void()> &wake : woken)
                wake();
            lock.lock();
        }
        --pool->threads;
    }
};

bool HostLookup::Answer::ended() const
{
    const std::scoped_lock lock(m_state->mutex);
    return m_state->ended;
}

std::optional<QList<QByteArray>> HostLookup::Answer::addresses() const
{
    const std::scoped_lock lock(m_state->mutex);
    return m_state->addresses;
}

bool HostLookup::Answer::current() const
{
    const std::scoped_lock lock(m_state->mutex);
    return !m_state->ended
        || (m_state->addresses && std::chrono::steady_clock::now() - m_state->endedAt < addressesKept);
}

HostLookup::HostLookup(Resolve resolve, int threads)
    : m_pool(std::make_shared<Pool>())
{
    m_pool->resolve = std::move(resolve);
    m_pool->maxThreads = std::max(1, threads);
}

HostLookup::~HostLookup()
{
    const std::scoped_lock lock(m_pool->mutex);
    m_pool->closing = true;
    for (const QByteArray &host : std::exchange(m_pool->queued, {}))
        m_pool->unanswered.remove(host);
    m_pool->work.notify_all();
}

HostLookup &HostLookup::shared()
{
    static HostLookup *const lookup = new HostLookup;
    return *lookup;
}

std::optional<QList<QByteArray>> HostLookup::systemResolve(const QByteArray &host)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(host.constData(), nullptr, &hints, &found) != 0)
        return std::nullopt;
    QList<QByteArray> addresses;
    for (const addrinfo *each = found; each; each = each->ai_next) {
        char text[INET6_ADDRSTRLEN] = {};
        QByteArray address;
        if (each->ai_family == AF_INET
            && ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in *>(each->ai_addr)->sin_addr, text, sizeof text))
            address = text;
        else if (each->ai_family == AF_INET6
                 && ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6 *>(each->ai_addr)->sin6_addr, text,
                                sizeof text))
            address = '[' + QByteArray(text) + ']';
        if (!address.isEmpty() && !addresses.contains(address))
            addresses.append(address);
    }
    ::freeaddrinfo(found);
    if (addresses.isEmpty())
        return std::nullopt;
    return addresses;
}

HostLookup::Answer HostLookup::find(const QByteArray &host, std::function<void()> woken)
{
    const std::scoped_lock lock(m_pool->mutex);
    std::shared_ptr<Answer::State> &state = m_pool->unanswered[host];
    if (!state) {
        state = std::make_shared<Answer::State>();
        m_pool->queued.push_back(host);
        // Without a thread for it the lookup stays queued, and whoever waits for it gives up in time.
        if (qsizetype(m_pool->queued.size()) > m_pool->idle && m_pool->threads < m_pool->maxThreads) {
            try {
                std::thread(&Pool::serve, m_pool).detach();
                ++m_pool->threads;
            } catch (const std::system_error &) { }
        }
        m_pool->work.notify_one();
    }
    state->woken.push_back(std::move(woken));
    Answer answer;
    answer.m_state = state;
    return answer;
}
}
