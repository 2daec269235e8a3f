#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>

// Limits of one blocking HTTP request: how long to wait for the connection and for the whole
// exchange, and how large an answer may be.
struct HttpLimits {
    long connectTimeoutMs = 5000;
    long totalTimeoutMs = 15000;
    std::size_t maxBodyBytes = 1024 * 1024;
};

// One HTTP GET of `url` (http only, no redirects), blocking the calling thread. Returns the
// answer's body; any failure (no connection, a time-out, a status other than 2xx, an answer larger
// than the limit) yields an empty body.
QByteArray HttpGet(const QString &url, const HttpLimits &limits = HttpLimits{});
