#include "platform/CurlFetcher.h"

#include "core/ProgramVersion.h"

#include <QFile>
#include <QUrl>

#include <curl/curl.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

using namespace Qt::StringLiterals;

namespace quorel::platform
{
namespace
{
    // curl_global_init is not thread-safe; a function-local static runs it exactly once.
    bool curlReady()
    {
        static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
        return ready;
    }

    core::Reason reasonFor(CURLcode code)
    {
        switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL:
            return core::Reason::UnsupportedAddress;
        case CURLE_URL_MALFORMAT:
            return core::Reason::MalformedAddress;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return core::Reason::ServerNotFound;
        case CURLE_COULDNT_CONNECT:
            return core::Reason::ConnectFailed;
        case CURLE_OPERATION_TIMEDOUT:
            return core::Reason::ServerStalled;
        case CURLE_TOO_MANY_REDIRECTS:
            return core::Reason::TooManyRedirects;
        case CURLE_OUT_OF_MEMORY:
            return core::Reason::OutOfMemory;
        case CURLE_PEER_FAILED_VERIFICATION:
            return core::Reason::CertificateNotTrusted;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CACERT_BADFILE:
            return core::Reason::SecureConnectFailed;
        case CURLE_LOGIN_DENIED:
        case CURLE_REMOTE_ACCESS_DENIED:
            return core::Reason::ServerRefused;
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
            return core::Reason::TransferCut;
        default:
            return core::Reason::TransferFailed;
        }
    }

    // All header blocks of one answer together, trailers included: libcurl 8 allows an answer as much,
    // while 7.x bounds only each line and keeps every trailer a server sends for as long as it sends.
    constexpr size_t maxHeaderBytes = 300 * 1024;

    // Whether a header line names a transfer coding other than chunked. libcurl undoes chunked, as
    // HTTP/1.1 requires; any other it would undo unasked (gzip) or pass on as it came, and either way
    // the image would not be stored as the server holds it.
    bool foreignTransferCoding(QByteArrayView line)
    {
        constexpr QByteArrayView name = "transfer-encoding:";
        if (line.size() < name.size() || line.first(name.size()).compare(name, Qt::CaseInsensitive) != 0)
            return false;
        for (const QByteArray &coding : line.sliced(name.size()).toByteArray().split(',')) {
            const QByteArray trimmed = coding.trimmed();
            if (!trimmed.isEmpty() && trimmed.compare("chunked", Qt::CaseInsensitive) != 0)
                return true;
        }
        return false;
    }

    core::Failure failureFor(CURLcode code)
    {
        const core::Reason reason = reasonFor(code);
        return core::fail(
            reason, reason == core::Reason::TransferFailed ? QString::fromUtf8(curl_easy_strerror(code)) : QString());
    }

    // An HTTP answer outside 200–299 is no image, whatever its body; neither are 204 and 205, which
    // carry none, and 206, a piece of one, as no range is ever asked for. Other protocols fail their
    // transfer when the server refuses.
    std::optional<core::Failure> refusalOf(CURL *curl, const QByteArray &statusLine)
    {
        long status = 0;
        const char *scheme = nullptr;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        curl_easy_getinfo(curl, CURLINFO_SCHEME, &scheme);
        const QByteArray protocol = QByteArray(scheme).toLower();
        const bool noWholeBody = status == 204 || status == 205 || status == 206;
        if ((protocol != "http" && protocol != "https") || (status >= 200 && status <= 299 && !noWholeBody))
            return std::nullopt;
        // "HTTP/1.1 404 Not Found": the phrase follows the version and the code; HTTP/2 has none.
        const QList<QByteArray> parts = statusLine.split(' ');
        QString phrase;
        if (parts.size() > 2 && parts.at(1) == QByteArray::number(status))
            phrase = QString::fromLatin1(statusLine.mid(parts.at(0).size() + parts.at(1).size() + 2)).simplified();
        return core::fail(noWholeBody ? core::Reason::NotAnImage : core::Reason::HttpStatus,
                          phrase.isEmpty() ? QString::number(status) : QString::number(status) + u' ' + phrase);
    }

    // What a dropped idle connection looks like from this side.
    bool droppedConnection(CURLcode code)
    {
        return code == CURLE_GOT_NOTHING || code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR;
    }

    // As browsers do over HTTP/1.1; over HTTP/2 one connection carries up to as many streams as
    // there are connections in all.
    constexpr long connectionsPerServer = 6;
    constexpr long connectionsInAll = 16;
    constexpr long streamsPerConnection = 16;
    // Started or waiting for a connection at once: enough that a connection set free takes the next
    // transfer within the same call, few enough that their open files and buffers stay cheap, and no
    // more than one HTTP/2 connection carries, so that such a server sees one.
    constexpr qsizetype transfersAtOnce = streamsPerConnection;

    // How a server that asks for patience is met.
    constexpr std::chrono::seconds longestWait{60};
    constexpr int triesAfterWaiting = 2;

    using Clock = std::chrono::steady_clock;

    int portOf(const QUrl &parsed)
    {
        const QString scheme = parsed.scheme().toLower();
        return parsed.port(scheme == QLatin1String("https")      ? 443
                               : scheme == QLatin1String("ftp")  ? 21
                               : scheme == QLatin1String("ftps") ? 990
                                                                 : 80);
    }

    // The server an address names, as the fetcher tells servers apart: scheme, host and port.
    QString serverOf(const QUrl &parsed)
    {
        return parsed.scheme().toLower() + QLatin1String("://") + parsed.host().toLower() + u':'
            + QString::number(portOf(parsed));
    }

    // The name of the address's server when it is one to look up: not an address already.
    QByteArray nameToLookUp(const QUrl &parsed)
    {
        const QByteArray host = parsed.host(QUrl::FullyEncoded).toLower().toLatin1();
        in_addr ipv4{};
        if (host.isEmpty() || host.contains(':') || ::inet_pton(AF_INET, host.constData(), &ipv4) == 1)
            return {};
        return host;
    }

    // Through a proxy the proxy's name is the one looked up, and libcurl alone knows which proxy, if
    // any, an address goes through.
    bool proxyNamed()
    {
        for (const char *name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "ftp_proxy", "FTP_PROXY", "ftps_proxy",
                                 "FTPS_PROXY", "all_proxy", "ALL_PROXY"})
            if (!qEnvironmentVariableIsEmpty(name))
                return true;
        return false;
    }

    constexpr int maxRedirects = 20;

    // The wait a Retry-After value asks for: seconds, or a date; nothing when it is neither.
    std::optional<std::chrono::seconds> waitAskedFor(const QByteArray &value)
    {
        const QByteArray trimmed = value.trimmed();
        if (trimmed.isEmpty())
            return std::nullopt;
        if (std::all_of(trimmed.begin(), trimmed.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return trimmed.size() > 6 ? longestWait + longestWait : std::chrono::seconds(trimmed.toLong());
        const time_t when = curl_getdate(trimmed.constData(), nullptr);
        if (when == -1)
            return std::nullopt;
        // Against the precise clock: time() reads a coarse one, which may still show the second
        // before the server's, and the wait would grow by a whole second.
        const time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
        return std::chrono::seconds(std::max<time_t>(0, when - now));
    }
}

// Wakes the fetcher's wait from a lookup thread, for as long as the fetcher lives.
struct CurlFetcher::Wakeup
{
    std::mutex mutex;
    CURLM *multi = nullptr;

    void wake()
    {
        const std::scoped_lock lock(mutex);
        if (multi)
            curl_multi_wakeup(multi);
    }
};

struct CurlFetcher::Transfer
{
    CurlFetcher *fetcher = nullptr;
    CURL *curl = nullptr; // while libcurl runs it
    qsizetype tag = 0;
    QByteArray url;
    QString server;
    BodySink sink;
    int waits = 0; // how often the server's Retry-After was waited out
    int redirects = 0;
    bool freshTried = false;
    Clock::time_point due; // while it waits

    // The lookup of the server's name, when it has one, and what libcurl is told of its answer.
    std::optional<HostLookup::Answer> lookup;
    QByteArray lookupHost;
    int port = 0;
    Clock::time_point lookupDue;
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> resolve{nullptr, &curl_slist_free_all};

    // Of the latest attempt.
    char errorText[CURL_ERROR_SIZE] = {};
    std::optional<core::Failure> sinkFailure;
    bool answered = false; // a byte of the answer, header or body, arrived
    bool bodyStarted = false;
    bool connected = false; // a connection was made or reused, and the request is about to go
    QByteArray statusLine; // of the latest answer, as redirects are followed
    QByteArray retryAfter; // of the latest answer
    bool location = false; // the latest answer names another address
    bool redirected = false; // the final answer is a redirect, its body no image
    std::optional<core::Failure> refusal; // the final answer is no success
    size_t headerBytes = 0;

    void newAttempt()
    {
        errorText[0] = '\0';
        sinkFailure.reset();
        answered = bodyStarted = connected = false;
        statusLine.clear();
        retryAfter.clear();
        location = redirected = false;
        refusal.reset();
        headerBytes = 0;
    }
};

size_t CurlFetcher::receiveBody(char *data, size_t size, size_t count, void *target)
{
    auto &transfer = *static_cast<Transfer *>(target);
    const size_t bytes = size * count;
    transfer.answered = true;
    // The first piece tells whether the answer is a success; an error page is not worth receiving.
    // A redirect's page is read to its end, as the connection may serve the next request.
    if (!std::exchange(transfer.bodyStarted, true)) {
        long status = 0;
        curl_easy_getinfo(transfer.curl, CURLINFO_RESPONSE_CODE, &status);
        transfer.redirected = transfer.location && status >= 300 && status <= 399;
        if (!transfer.redirected)
            transfer.refusal = refusalOf(transfer.curl, transfer.statusLine);
        if (transfer.refusal)
            return 0;
    }
    if (transfer.redirected)
        return bytes;
    const auto length = static_cast<qsizetype>(bytes);
    transfer.fetcher->m_largestPiece = std::max(transfer.fetcher->m_largestPiece, length);
    if (core::Result<> taken = transfer.sink(QByteArrayView(data, length)); !taken) {
        transfer.sinkFailure = taken.error();
        return 0; // libcurl ends the transfer with CURLE_WRITE_ERROR
    }
    return bytes;
}

int CurlFetcher::connectionReady(void *target, char *, char *, int, int)
{
    static_cast<Transfer *>(target)->connected = true;
    return CURL_PREREQFUNC_OK;
}

// Returning less than was given ends the transfer; the failure set here is the one reported.
size_t CurlFetcher::receiveHeader(char *data, size_t size, size_t count, void *target)
{
    auto &transfer = *static_cast<Transfer *>(target);
    const size_t bytes = size * count;
    transfer.answered = true;
    transfer.headerBytes += bytes;
    if (transfer.headerBytes > maxHeaderBytes) {
        transfer.sinkFailure = core::fail(core::Reason::HeaderTooLarge);
        return 0;
    }
    const QByteArrayView line(data, static_cast<qsizetype>(bytes));
    constexpr QByteArrayView retryAfter = "retry-after:";
    constexpr QByteArrayView location = "location:";
    if (line.startsWith("HTTP/")) {
        transfer.statusLine = line.trimmed().first(std::min<qsizetype>(line.trimmed().size(), 200)).toByteArray();
        transfer.retryAfter.clear();
        transfer.location = false;
    } else if (line.size() > location.size()
               && line.first(location.size()).compare(location, Qt::CaseInsensitive) == 0) {
        transfer.location = true;
    } else if (line.size() > retryAfter.size() && line.size() < 200
               && line.first(retryAfter.size()).compare(retryAfter, Qt::CaseInsensitive) == 0) {
        transfer.retryAfter = line.sliced(retryAfter.size()).toByteArray();
    }
    if (foreignTransferCoding(line)) {
        transfer.sinkFailure = core::fail(core::Reason::UnexpectedCoding);
        return 0;
    }
    return bytes;
}

CurlFetcher::CurlFetcher(CurlFetcherLimits limits, HostLookup &lookup)
    : m_limits(std::move(limits))
    , m_lookup(lookup)
    , m_ownLookups(!proxyNamed())
    , m_wakeup(std::make_shared<Wakeup>())
{
    if (!curlReady())
        return;
    CURLM *multi = curl_multi_init();
    if (!multi)
        return;
    m_multi = multi;
    m_wakeup->multi = multi;
    curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, connectionsPerServer);
    curl_multi_setopt(multi, CURLMOPT_MAX_TOTAL_CONNECTIONS, connectionsInAll);
    curl_multi_setopt(multi, CURLMOPT_PIPELINING, long(CURLPIPE_MULTIPLEX));
    curl_multi_setopt(multi, CURLMOPT_MAX_CONCURRENT_STREAMS, streamsPerConnection);
}

CurlFetcher::~CurlFetcher()
{
    for (const std::unique_ptr<Transfer> &transfer : m_running) {
        curl_multi_remove_handle(m_multi, transfer->curl);
        curl_easy_cleanup(transfer->curl);
    }
    for (void *handle : m_idleHandles)
        curl_easy_cleanup(handle);
    {
        const std::scoped_lock lock(m_wakeup->mutex);
        m_wakeup->multi = nullptr;
    }
    if (m_multi)
        curl_multi_cleanup(m_multi);
}

void CurlFetcher::stop()
{
    m_stopped = true;
    if (m_multi)
        curl_multi_wakeup(m_multi);
}

// A handle set up for this fetcher; its buffer and its TLS sessions serve one transfer after another.
void *CurlFetcher::takeHandle()
{
    if (!m_idleHandles.empty()) {
        void *handle = m_idleHandles.back();
        m_idleHandles.pop_back();
        return handle;
    }
    CURL *curl = curl_easy_init();
    if (!curl)
        return nullptr;
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, core::ProgramVersion::userAgent);
    // Redirects too, as each is followed as a transfer of its own.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, m_limits.lowSpeedBytesPerSecond);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(m_limits.lowSpeedTime.count()));
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_2TLS));
    if (!m_limits.certificateAuthorities.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, QFile::encodeName(m_limits.certificateAuthorities).constData());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CurlFetcher::receiveBody);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &CurlFetcher::receiveHeader);
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &CurlFetcher::connectionReady);
    // Each read from the socket costs a wait and a receive: at libcurl's 16 KiB a large body takes
    // more calls than the curl command line, which reads 100 KiB at a time.
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, 512L * 1024);
    // For the lookups libcurl makes itself, through a proxy: without it, ending a transfer whose
    // lookup hangs waits for the lookup to give up, so a stop lasts as long as the resolver does.
    curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
    return curl;
}

void CurlFetcher::add(qsizetype tag, const QString &url, BodySink sink)
{
    if (!m_multi)
        return m_endedEarly.append({tag, core::fail(core::Reason::TransferNotReady)});
    if (m_stopped)
        return m_endedEarly.append({tag, core::fail(core::Reason::TransferStopped)});
    // Spaces and non-ASCII characters are sent percent-encoded, as a browser would.
    const QUrl parsed(url.trimmed(), QUrl::TolerantMode);
    if (!parsed.isValid() || parsed.isEmpty())
        return m_endedEarly.append({tag, failureFor(CURLE_URL_MALFORMAT)});
    auto transfer = std::make_unique<Transfer>();
    transfer->fetcher = this;
    transfer->tag = tag;
    transfer->sink = std::move(sink);
    aim(*transfer, parsed.toEncoded());
    m_waiting.push_back(std::move(transfer));
}

// Points the transfer at an address, and starts looking its server's name up.
void CurlFetcher::aim(Transfer &transfer, const QByteArray &url)
{
    const QUrl parsed = QUrl::fromEncoded(url);
    transfer.url = url;
    transfer.server = serverOf(parsed);
    transfer.freshTried = false;
    transfer.lookup.reset();
    transfer.lookupHost = m_ownLookups ? nameToLookUp(parsed) : QByteArray();
    if (transfer.lookupHost.isEmpty())
        return;
    auto found = m_lookups.constFind(transfer.lookupHost);
    if (found == m_lookups.constEnd() || !found->current())
        found = m_lookups.insert(transfer.lookupHost,
                                 m_lookup.find(transfer.lookupHost, [wakeup = m_wakeup] { wakeup->wake(); }));
    transfer.lookup = *found;
    transfer.port = portOf(parsed);
    transfer.lookupDue = Clock::now() + m_limits.connectTimeout;
}

qsizetype CurlFetcher::room() const
{
    return std::max<qsizetype>(0, transfersAtOnce - qsizetype(m_running.size() + m_waiting.size()));
}

// Hands the transfer to libcurl; one that cannot be handed on ends here.
bool CurlFetcher::start(std::unique_ptr<Transfer> transfer)
{
    // A lookup that has not ended by now has run out of time.
    curl_slist *resolve = nullptr;
    if (transfer->lookup) {
        const std::optional<QList<QByteArray>> addresses
            = transfer->lookup->ended() ? transfer->lookup->addresses() : std::nullopt;
        if (!addresses) {
            m_endedEarly.append({transfer->tag, failureFor(CURLE_COULDNT_RESOLVE_HOST)});
            return false;
        }
        resolve = curl_slist_append(
            nullptr, transfer->lookupHost + ':' + QByteArray::number(transfer->port) + ':' + addresses->join(','));
        if (!resolve) {
            m_endedEarly.append({transfer->tag, core::fail(core::Reason::TransferNotReady)});
            return false;
        }
    }
    transfer->resolve.reset(resolve);
    CURL *curl = takeHandle();
    if (!curl) {
        m_endedEarly.append({transfer->tag, core::fail(core::Reason::TransferNotReady)});
        return false;
    }
    Transfer *raw = transfer.get();
    raw->curl = curl;
    raw->newAttempt();
    curl_easy_setopt(curl, CURLOPT_URL, raw->url.constData());
    curl_easy_setopt(curl, CURLOPT_RESOLVE, resolve);
    curl_easy_setopt(curl, CURLOPT_PRIVATE, raw);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, raw);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, raw);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, raw);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, raw->errorText);
    curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, raw->freshTried ? 1L : 0L);
    // Over https the first transfer learns whether the server multiplexes; the others wait for it
    // rather than open connections of their own. Plain http stays on HTTP/1.1, where waiting would
    // only cost a round trip, or a whole time-out against a silent server.
    curl_easy_setopt(curl, CURLOPT_PIPEWAIT, raw->url.startsWith("https:") ? 1L : 0L);
    if (curl_multi_add_handle(m_multi, curl) != CURLM_OK) {
        m_idleHandles.push_back(curl);
        m_endedEarly.append({raw->tag, core::fail(core::Reason::TransferNotReady)});
        return false;
    }
    m_running.push_back(std::move(transfer));
    return true;
}

// Starts the waiting transfers whose time has come, in order, as long as there is room, and for a
// server that asked for patience only when none of its transfers runs.
void CurlFetcher::admitWaiting()
{
    const Clock::time_point now = Clock::now();
    for (auto it = m_waiting.begin(); it != m_waiting.end() && qsizetype(m_running.size()) < transfersAtOnce;) {
        const Transfer &waiting = **it;
        const bool serverBusy = m_oneAtATime.contains(waiting.server)
            && std::any_of(m_running.begin(), m_running.end(),
                           [&waiting](const auto &running) { return running->server == waiting.server; });
        const bool lookingUp = waiting.lookup && !waiting.lookup->ended() && waiting.lookupDue > now;
        if (waiting.due > now || serverBusy || lookingUp) {
            ++it;
            continue;
        }
        std::unique_ptr<Transfer> transfer = std::move(*it);
        it = m_waiting.erase(it);
        start(std::move(transfer));
    }
}

// Takes back from libcurl the server's transfers that have not sent their request, so that they go
// one at a time.
void CurlFetcher::holdBackUnstarted(const QString &server)
{
    for (auto it = m_running.begin(); it != m_running.end();) {
        Transfer &transfer = **it;
        if (transfer.server != server || transfer.connected) {
            ++it;
            continue;
        }
        curl_multi_remove_handle(m_multi, transfer.curl);
        m_idleHandles.push_back(std::exchange(transfer.curl, nullptr));
        m_waiting.push_back(std::move(*it));
        it = m_running.erase(it);
    }
    std::stable_sort(m_waiting.begin(), m_waiting.end(), [](const auto &a, const auto &b) { return a->tag < b->tag; });
}

UrlFetcher::Ended CurlFetcher::endedAs(std::unique_ptr<Transfer> transfer, core::Result<> result)
{
    if (transfer->curl) {
        curl_multi_remove_handle(m_multi, transfer->curl);
        m_idleHandles.push_back(transfer->curl);
    }
    return {transfer->tag, std::move(result)};
}

QList<UrlFetcher::Ended> CurlFetcher::endEverything()
{
    QList<Ended> ended;
    for (std::unique_ptr<Transfer> &transfer : m_running)
        ended.append(endedAs(std::move(transfer), core::fail(core::Reason::TransferStopped)));
    for (std::unique_ptr<Transfer> &transfer : m_waiting)
        ended.append(endedAs(std::move(transfer), core::fail(core::Reason::TransferStopped)));
    m_running.clear();
    m_waiting.clear();
    std::sort(ended.begin(), ended.end(), [](const Ended &a, const Ended &b) { return a.tag < b.tag; });
    return ended;
}

// What a transfer that libcurl has ended comes to, or its next attempt.
void CurlFetcher::finish(void *handle, int result, QList<Ended> &ended)
{
    const auto found = std::find_if(m_running.begin(), m_running.end(),
                                    [handle](const auto &transfer) { return transfer->curl == handle; });
    if (found == m_running.end())
        return;
    std::unique_ptr<Transfer> transfer = std::move(*found);
    m_running.erase(found);
    curl_multi_remove_handle(m_multi, handle);
    auto code = static_cast<CURLcode>(result);

    // A redirect is followed as a transfer to the address it names, whose name is looked up anew.
    char *target = nullptr;
    if (code == CURLE_OK && transfer->location && !transfer->sinkFailure
        && curl_easy_getinfo(handle, CURLINFO_REDIRECT_URL, &target) == CURLE_OK && target) {
        m_idleHandles.push_back(std::exchange(transfer->curl, nullptr));
        if (++transfer->redirects > maxRedirects)
            return ended.append({transfer->tag, failureFor(CURLE_TOO_MANY_REDIRECTS)});
        // Parsed as an address the user gave, so that the name looked up is the one libcurl connects to.
        aim(*transfer, QUrl::fromEncoded(QByteArray(target), QUrl::TolerantMode).toEncoded());
        m_waiting.push_front(std::move(transfer));
        return;
    }
    long newConnections = 0;
    curl_easy_getinfo(handle, CURLINFO_NUM_CONNECTS, &newConnections);

    if (code != CURLE_OK && droppedConnection(code) && !transfer->answered && newConnections == 0
        && !std::exchange(transfer->freshTried, true)) {
        m_idleHandles.push_back(std::exchange(transfer->curl, nullptr));
        start(std::move(transfer));
        return;
    }

    const core::Result<> outcome = [&]() -> core::Result<> {
        if (transfer->refusal)
            return *transfer->refusal;
        if (transfer->sinkFailure)
            return *transfer->sinkFailure;
        if (code == CURLE_OK) {
            // An answer without a body.
            if (std::optional<core::Failure> refusal = refusalOf(transfer->curl, transfer->statusLine))
                return *refusal;
            return {};
        }
        // A lookup that ran out of time reached no server: it found none.
        if (code == CURLE_OPERATION_TIMEDOUT
            && std::string_view(transfer->errorText).starts_with("Resolving timed out"))
            code = CURLE_COULDNT_RESOLVE_HOST;
        // A connection that was never made within its time is a server that did not answer, not one
        // that stopped answering; one that was made and then heard nothing is a server that is silent.
        if (code == CURLE_OPERATION_TIMEDOUT && !transfer->connected)
            return core::fail(core::Reason::ConnectFailed);
        if (code == CURLE_OPERATION_TIMEDOUT && !transfer->answered)
            return core::fail(core::Reason::NoAnswer);
        // libcurl reports an oversized header as a lack of memory (7.x) or names it in its own words
        // (8.x); with bodies streamed, memory runs short before the body only over a header.
        const QByteArray detail = QByteArray(transfer->errorText).toLower();
        if ((code == CURLE_OUT_OF_MEMORY && !transfer->bodyStarted)
            || (detail.contains("header") && detail.contains("too large")))
            return core::fail(core::Reason::HeaderTooLarge);
        // A chunk that does not parse is the server's fault, not a connection that broke.
        if (code == CURLE_RECV_ERROR && detail.contains("chunk"))
            return core::fail(core::Reason::UnexpectedCoding);
        return failureFor(code);
    }();

    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    if (!outcome && outcome.error().reason == core::Reason::HttpStatus && (status == 429 || status == 503)
        && transfer->waits < triesAfterWaiting) {
        if (const auto wait = waitAskedFor(transfer->retryAfter); wait && *wait <= longestWait) {
            ++transfer->waits;
            transfer->due = Clock::now() + *wait;
            m_idleHandles.push_back(std::exchange(transfer->curl, nullptr));
            m_oneAtATime.insert(transfer->server);
            m_waiting.push_back(std::move(transfer));
            holdBackUnstarted(m_waiting.back()->server);
            return;
        }
    }
    m_idleHandles.push_back(std::exchange(transfer->curl, nullptr));
    ended.append({transfer->tag, outcome});
}

QList<UrlFetcher::Ended> CurlFetcher::next()
{
    QList<Ended> ended = std::exchange(m_endedEarly, {});
    for (;;) {
        if (m_stopped)
            return ended + endEverything();
        admitWaiting();
        ended += std::exchange(m_endedEarly, {});
        if (!ended.isEmpty() || (m_running.empty() && m_waiting.empty()))
            return ended;

        int running = 0;
        if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
            QList<Ended> failed = endEverything();
            for (Ended &each : failed)
                each.result = core::fail(core::Reason::TransferFailed, u"curl_multi_perform"_s);
            return ended + failed;
        }
        int queued = 0;
        while (CURLMsg *message = curl_multi_info_read(m_multi, &queued))
            if (message->msg == CURLMSG_DONE) {
                // The message is gone once its handle leaves the multi handle.
                CURL *handle = message->easy_handle;
                const CURLcode code = message->data.result;
                finish(handle, code, ended);
            }
        // What ended may let others start, and a redirect followed starts again.
        admitWaiting();
        ended += std::exchange(m_endedEarly, {});
        if (!ended.isEmpty() || m_stopped)
            continue;

        // The wait ends early when data comes, or a lookup ends, or stop() wakes it. Transfers held
        // back for room or for their server are started as others end, which wakes it too.
        const Clock::time_point now = Clock::now();
        Clock::time_point until = now + std::chrono::seconds(1);
        for (const std::unique_ptr<Transfer> &waiting : m_waiting) {
            if (waiting->due > now)
                until = std::min(until, waiting->due);
            if (waiting->lookup && waiting->lookupDue > now && !waiting->lookup->ended())
                until = std::min(until, waiting->lookupDue);
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - now);
        if (curl_multi_poll(m_multi, nullptr, 0, int(wait.count()), nullptr) != CURLM_OK)
            std::this_thread::sleep_for(wait);
    }
}
}
