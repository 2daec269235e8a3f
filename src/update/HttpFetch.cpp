#include "HttpFetch.h"

#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace {

struct Body {
    QByteArray bytes;
    std::size_t limit;
    bool overflow = false;
};

// Stops the transfer as soon as the answer outgrows its limit (curl then reports a write error).
std::size_t appendBody(char *data, std::size_t size, std::size_t count, void *user) {
    auto *body = static_cast<Body *>(user);
    const std::size_t n = size * count;
    if (std::size_t(body->bytes.size()) + n > body->limit) {
        body->overflow = true;
        return 0;
    }
    body->bytes.append(data, qsizetype(n));
    return n;
}

struct EasyDeleter {
    void operator()(CURL *h) const { curl_easy_cleanup(h); }
};

} // namespace

QByteArray HttpGet(const QString &url, const HttpLimits &limits) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
    if (!handle) return QByteArray();
    CURL *h = handle.get();
    const QByteArray address = url.toUtf8();
    Body body{QByteArray(), limits.maxBodyBytes};

    curl_easy_setopt(h, CURLOPT_URL, address.constData());
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs);
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBodyBytes));
    // The machine's own services are never reached through a proxy.
    curl_easy_setopt(h, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &appendBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);

    if (curl_easy_perform(h) != CURLE_OK || body.overflow) return QByteArray();
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299) return QByteArray();
    return body.bytes;
}
