#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <functional>
#include <optional>

class QTcpServer;
class QTcpSocket;

// One request as the server received it.
struct HttpServerRequest {
    QByteArray method;
    QByteArray target; // path and query, as sent
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray path() const;                         // the target without its query
    QByteArray query() const;                        // after "?", empty when none
    QByteArray header(const QByteArray &name) const; // first of that name, case ignored
};

struct HttpServerResponse {
    int status = 200;
    QByteArray contentType = "text/plain; charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers; // more header lines
};

// A small HTTP/1.1 server for the simulator and the tests: one request per connection
// (Content-Length bodies, no chunked uploads), answered by a handler and closed. A handler
// that returns no response leaves the connection open without an answer, as a hung server
// does, until the server is closed.
class HttpServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<std::optional<HttpServerResponse>(const HttpServerRequest &)>;

    static constexpr qsizetype kMaxHeaderBytes = 64 * 1024;
    static constexpr qsizetype kMaxBodyBytes = 4 * 1024 * 1024;

    explicit HttpServer(Handler handler, QObject *parent = nullptr);
    ~HttpServer() override;

    // Listens on the address and port (0: any free port). False when it cannot; see
    // errorString().
    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const;
    quint16 port() const;
    // Stops listening and drops every connection.
    void close();

private:
    void accept();
    void readFrom(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const HttpServerResponse &response);

    Handler m_handler;
    QTcpServer *m_server;
};

QByteArray httpReasonPhrase(int status);
