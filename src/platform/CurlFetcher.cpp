#include "platform/CurlFetcher.h"

#include "core/ProgramVersion.h"

#include <QUrl>

#include <curl/curl.h>

#include <optional>
#include <string_view>

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

    // All header blocks of one fetch together, trailers included: libcurl 8 allows an answer as much,
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
}

struct CurlFetcher::Handle
{
    CURL *curl = nullptr;
    CURLM *multi = nullptr;
    char errorText[CURL_ERROR_SIZE] = {};
    ~Handle()
    {
        if (multi && curl)
            curl_multi_remove_handle(multi, curl);
        if (curl)
            curl_easy_cleanup(curl);
        if (multi)
            curl_multi_cleanup(multi);
    }
};

struct CurlFetcher::Transfer
{
    CurlFetcher *fetcher = nullptr;
    const BodySink *sink = nullptr;
    std::optional<core::Failure> sinkFailure;
    bool answered = false; // a byte of the answer, header or body, arrived
    bool bodyStarted = false;
    bool connected = false; // a connection was made or reused, and the request is about to go
    QByteArray statusLine; // of the latest answer, as redirects are followed
    std::optional<core::Failure> refusal; // the final answer is no success
    size_t headerBytes = 0;
};

size_t CurlFetcher::receiveBody(char *data, size_t size, size_t count, void *target)
{
    auto &transfer = *static_cast<Transfer *>(target);
    const size_t bytes = size * count;
    transfer.answered = true;
    // The body of a redirect that is followed never comes here, so the first piece tells whether
    // the final answer is a success; an error page is not worth receiving.
    if (!std::exchange(transfer.bodyStarted, true)) {
        transfer.refusal = refusalOf(transfer.fetcher->m_handle->curl, transfer.statusLine);
        if (transfer.refusal)
            return 0;
    }
    const auto length = static_cast<qsizetype>(bytes);
    transfer.fetcher->m_largestPiece = std::max(transfer.fetcher->m_largestPiece, length);
    if (core::Result<> taken = (*transfer.sink)(QByteArrayView(data, length)); !taken) {
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
    if (line.startsWith("HTTP/"))
        transfer.statusLine = line.trimmed().first(std::min<qsizetype>(line.trimmed().size(), 200)).toByteArray();
    if (foreignTransferCoding(QByteArrayView(data, qsizetype(bytes)))) {
        transfer.sinkFailure = core::fail(core::Reason::UnexpectedCoding);
        return 0;
    }
    return bytes;
}

CurlFetcher::CurlFetcher(CurlFetcherLimits limits)
    : m_handle(std::make_unique<Handle>())
{
    if (!curlReady())
        return;
    CURL *curl = curl_easy_init();
    CURLM *multi = curl_multi_init();
    m_handle->multi = multi;
    if (!curl || !multi) {
        if (curl)
            curl_easy_cleanup(curl);
        return;
    }
    m_handle->curl = curl;
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, core::ProgramVersion::userAgent);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    // libcurl before 8.3 follows without limit, so a redirect loop would never end.
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.lowSpeedTime.count()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CurlFetcher::receiveBody);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &CurlFetcher::receiveHeader);
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &CurlFetcher::connectionReady);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, m_handle->errorText);
    // Each read from the socket costs a wait and a receive: at libcurl's 16 KiB a large body takes
    // more calls than the curl command line, which reads 100 KiB at a time.
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, 512L * 1024);
    // Without it, ending a transfer whose name lookup hangs waits for the lookup to give up, so a
    // stop or a time-out lasts as long as the system's resolver does. The lookup is left to finish
    // on its own.
    curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
}

CurlFetcher::~CurlFetcher() = default;

void CurlFetcher::stop()
{
    m_stopped = true;
    if (m_handle->multi)
        curl_multi_wakeup(m_handle->multi);
}

// Runs one transfer through the multi interface, whose wait stop() can cut short at once.
int CurlFetcher::perform(Transfer &transfer)
{
    CURL *curl = m_handle->curl;
    CURLM *multi = m_handle->multi;
    m_handle->errorText[0] = '\0';
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, &transfer);
    if (curl_multi_add_handle(multi, curl) != CURLM_OK)
        return CURLE_FAILED_INIT;

    CURLcode code = CURLE_FAILED_INIT;
    for (int running = 1; running > 0;) {
        if (m_stopped) {
            code = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (curl_multi_perform(multi, &running) != CURLM_OK)
            break;
        if (running == 0) {
            int queued = 0;
            while (CURLMsg *message = curl_multi_info_read(multi, &queued))
                if (message->msg == CURLMSG_DONE)
                    code = message->data.result;
            // A lookup that ran out of time reached no server: it found none.
            if (code == CURLE_OPERATION_TIMEDOUT
                && std::string_view(m_handle->errorText).starts_with("Resolving timed out"))
                code = CURLE_COULDNT_RESOLVE_HOST;
            break;
        }
        // The wait ends early when data comes or stop() wakes it.
        if (curl_multi_poll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK)
            break;
    }
    curl_multi_remove_handle(multi, curl);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, nullptr);
    return code;
}

core::Result<> CurlFetcher::fetch(const QString &url, const BodySink &sink)
{
    if (!m_handle->curl)
        return core::fail(core::Reason::TransferNotReady);
    if (m_stopped)
        return core::fail(core::Reason::TransferStopped);
    // Spaces and non-ASCII characters are sent percent-encoded, as a browser would.
    const QUrl parsed(url.trimmed(), QUrl::TolerantMode);
    if (!parsed.isValid() || parsed.isEmpty())
        return failureFor(CURLE_URL_MALFORMAT);

    const QByteArray encoded = parsed.toEncoded();
    curl_easy_setopt(m_handle->curl, CURLOPT_URL, encoded.constData());
    Transfer transfer{this, &sink, {}, false, false, false, {}, {}, 0};
    auto code = static_cast<CURLcode>(perform(transfer));
    if (code != CURLE_OK && droppedConnection(code) && !transfer.answered && m_holdsConnection && !m_stopped) {
        curl_easy_setopt(m_handle->curl, CURLOPT_FRESH_CONNECT, 1L);
        // Nothing of the dropped attempt may speak for the new one.
        transfer = Transfer{this, &sink, {}, false, false, false, {}, {}, 0};
        code = static_cast<CURLcode>(perform(transfer));
        curl_easy_setopt(m_handle->curl, CURLOPT_FRESH_CONNECT, 0L);
    }
    m_holdsConnection = transfer.answered;

    if (m_stopped)
        return core::fail(core::Reason::TransferStopped);
    if (transfer.refusal)
        return *transfer.refusal;
    if (transfer.sinkFailure)
        return *transfer.sinkFailure;
    if (code == CURLE_OK) {
        // An answer without a body.
        if (std::optional<core::Failure> refusal = refusalOf(m_handle->curl, transfer.statusLine))
            return *refusal;
        return {};
    }
    // A connection that was never made within its time is a server that did not answer, not one
    // that stopped answering.
    if (code == CURLE_OPERATION_TIMEDOUT && !transfer.connected)
        return core::fail(core::Reason::ConnectFailed);
    // libcurl reports an oversized header as a lack of memory (7.x) or names it in its own words
    // (8.x); with bodies streamed, memory runs short before the body only over a header.
    const QByteArray detail = QByteArray(m_handle->errorText).toLower();
    if ((code == CURLE_OUT_OF_MEMORY && !transfer.bodyStarted)
        || (detail.contains("header") && detail.contains("too large")))
        return core::fail(core::Reason::HeaderTooLarge);
    // A chunk that does not parse is the server's fault, not a connection that broke.
    if (code == CURLE_RECV_ERROR && detail.contains("chunk"))
        return core::fail(core::Reason::UnexpectedCoding);
    return failureFor(code);
}
}
