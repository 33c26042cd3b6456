#include "platform/CurlFetcher.h"

#include <QUrl>

#include <curl/curl.h>

#include <new>

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

size_t appendToBody(char *data, size_t size, size_t count, void *target)
{
    const size_t bytes = size * count;
    try {
        static_cast<QByteArray *>(target)->append(data, static_cast<qsizetype>(bytes));
    } catch (const std::bad_alloc &) {
        return 0; // libcurl ends the transfer with CURLE_WRITE_ERROR
    }
    return bytes;
}

QString reasonFor(CURLcode code)
{
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
        return u"この種類のアドレスには対応していません。"_s;
    case CURLE_URL_MALFORMAT:
        return u"アドレスの形式が正しくありません。"_s;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return u"サーバーが見つかりません。"_s;
    case CURLE_COULDNT_CONNECT:
        return u"サーバーに接続できませんでした。"_s;
    case CURLE_OPERATION_TIMEDOUT:
        return u"サーバーからの応答が止まりました。"_s;
    case CURLE_TOO_MANY_REDIRECTS:
        return u"転送先の指定が多すぎます。"_s;
    case CURLE_WRITE_ERROR:
    case CURLE_OUT_OF_MEMORY:
        return u"データを受け取るメモリが足りません。"_s;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE:
        return u"安全な接続を確立できませんでした。"_s;
    case CURLE_LOGIN_DENIED:
    case CURLE_REMOTE_ACCESS_DENIED:
        return u"サーバーに拒否されました。"_s;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        return u"転送が途中で切れました。"_s;
    default:
        return u"転送に失敗しました（%1）。"_s.arg(QString::fromUtf8(curl_easy_strerror(code)));
    }
}

FetchResult failed(const QString &reason)
{
    return {false, {}, reason};
}
}

struct CurlFetcher::Handle
{
    CURL *curl = nullptr;
    ~Handle()
    {
        if (curl)
            curl_easy_cleanup(curl);
    }
};

CurlFetcher::CurlFetcher(CurlFetcherLimits limits)
    : m_handle(std::make_unique<Handle>())
{
    if (!curlReady())
        return;
    CURL *curl = curl_easy_init();
    if (!curl)
        return;
    m_handle->curl = curl;
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "quorel/1.1.5");
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    // libcurl before 8.3 follows without limit, so a redirect loop would never end.
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.lowSpeedTime.count()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &appendToBody);
}

CurlFetcher::~CurlFetcher() = default;

FetchResult CurlFetcher::fetch(const QString &url)
{
    if (!m_handle->curl)
        return failed(u"通信の準備ができませんでした。"_s);
    // Spaces and non-ASCII characters are sent percent-encoded, as a browser would.
    const QUrl parsed(url.trimmed(), QUrl::TolerantMode);
    if (!parsed.isValid() || parsed.isEmpty())
        return failed(reasonFor(CURLE_URL_MALFORMAT));

    FetchResult result;
    const QByteArray encoded = parsed.toEncoded();
    curl_easy_setopt(m_handle->curl, CURLOPT_URL, encoded.constData());
    curl_easy_setopt(m_handle->curl, CURLOPT_WRITEDATA, &result.body);
    const CURLcode code = curl_easy_perform(m_handle->curl);
    curl_easy_setopt(m_handle->curl, CURLOPT_WRITEDATA, nullptr);
    if (code != CURLE_OK)
        return failed(reasonFor(code));
    result.ok = true;
    return result;
}
}
