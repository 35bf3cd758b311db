#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

// How long a request may take before it fails. A server that accepts the connection and
// then never answers must not hold the window for ever.
struct HttpTimeouts {
    int connectMs;
    int totalMs;
};

namespace http {
// Prepares libcurl for the process. Safe to call more than once and from any thread; a
// request calls it itself, the program entry calls it early so the first request is not
// slower than the others.
void globalInit();
} // namespace http

// One HTTP request on libcurl's easy interface, synchronous: open, set headers, send, read
// the answer. Only http and https addresses are followed, redirects included.
class HttpRequest {
public:
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kTotalTimeoutMs = 15000;
    static constexpr HttpTimeouts kDefaultTimeouts{kConnectTimeoutMs, kTotalTimeoutMs};
    // An answer larger than this ends the request with an error instead of filling memory.
    static constexpr qsizetype kMaxResponseBytes = 64 * 1024 * 1024;

    HttpRequest();
    ~HttpRequest();
    HttpRequest(const HttpRequest &) = delete;
    HttpRequest &operator=(const HttpRequest &) = delete;

    // Prepares a request. Only synchronous requests exist: async true throws Error.
    // Headers set before are dropped, the time-outs stay.
    void open(const QString &method, const QString &url, bool async = false);
    void setRequestHeader(const QString &name, const QString &value);
    void setTimeouts(const HttpTimeouts &timeouts) { m_timeouts = timeouts; }

    // Sends the request with the body (a GET with a body keeps it on the wire) and returns
    // when the whole answer has arrived. Throws Error with libcurl's own message when the
    // request fails (no connection, time-out, ...); an HTTP error status is no failure:
    // status() tells it.
    void send(const QByteArray &body = {});

    int status() const { return m_status; }
    QByteArray responseBody() const { return m_responseBody; }
    // The answer's Content-Type header, empty when it had none.
    QString contentType() const { return m_contentType; }
    // The body decoded by its byte order mark, else the charset of its Content-Type, else
    // as UTF-8.
    QString responseText() const;

private:
    QString m_method;
    QString m_url;
    std::vector<std::pair<QString, QString>> m_headers;
    HttpTimeouts m_timeouts = kDefaultTimeouts;
    bool m_opened = false;
    int m_status = 0;
    QByteArray m_responseBody;
    QString m_contentType;
};
