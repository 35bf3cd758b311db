#include "callsim/HttpServer.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {

const char *const kBuffer = "httpBuffer";

struct Parsed {
    bool complete = false;
    std::optional<HttpServerResponse> error;
    HttpServerRequest request;
};

HttpServerResponse plain(int status, const QByteArray &text) {
    return HttpServerResponse{status, "text/plain; charset=utf-8", text + "\n", {}};
}

Parsed parse(const QByteArray &buffer) {
    Parsed parsed;
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        if (buffer.size() > HttpServer::kMaxHeaderBytes)
            parsed.error = plain(431, "request header too large");
        return parsed;
    }
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.front().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1.")) {
        parsed.error = plain(400, "bad request line");
        return parsed;
    }
    HttpServerRequest &request = parsed.request;
    request.method = requestLine[0];
    request.target = requestLine[1];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            parsed.error = plain(400, "bad header line");
            return parsed;
        }
        request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    if (!request.header("Transfer-Encoding").isEmpty()) {
        parsed.error = plain(411, "send the body with a Content-Length");
        return parsed;
    }
    qsizetype length = 0;
    const QByteArray lengthText = request.header("Content-Length");
    if (!lengthText.isEmpty()) {
        bool ok = false;
        length = lengthText.toLongLong(&ok);
        if (!ok || length < 0) {
            parsed.error = plain(400, "bad Content-Length");
            return parsed;
        }
        if (length > HttpServer::kMaxBodyBytes) {
            parsed.error = plain(413, "body too large");
            return parsed;
        }
    }
    const qsizetype bodyStart = headerEnd + 4;
    if (buffer.size() - bodyStart < length)
        return parsed;
    request.body = buffer.mid(bodyStart, length);
    parsed.complete = true;
    return parsed;
}

} // namespace

QByteArray HttpServerRequest::path() const {
    const qsizetype q = target.indexOf('?');
    return q < 0 ? target : target.left(q);
}

QByteArray HttpServerRequest::query() const {
    const qsizetype q = target.indexOf('?');
    return q < 0 ? QByteArray() : target.mid(q + 1);
}

QByteArray HttpServerRequest::header(const QByteArray &name) const {
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QByteArray httpReasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 411:
        return "Length Required";
    case 413:
        return "Content Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

HttpServer::HttpServer(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
    , m_server(new QTcpServer(this)) {
    connect(m_server, &QTcpServer::newConnection, this, &HttpServer::accept);
}

HttpServer::~HttpServer() = default;

bool HttpServer::listen(const QHostAddress &address, quint16 port) {
    return m_server->listen(address, port);
}

QString HttpServer::errorString() const {
    return m_server->errorString();
}

quint16 HttpServer::port() const {
    return m_server->serverPort();
}

void HttpServer::close() {
    m_server->close();
    for (QTcpSocket *socket : findChildren<QTcpSocket *>())
        socket->abort();
}

void HttpServer::accept() {
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HttpServer::readFrom(QTcpSocket *socket) {
    QByteArray buffer = socket->property(kBuffer).toByteArray() + socket->readAll();
    socket->setProperty(kBuffer, buffer);
    if (socket->property("answered").toBool())
        return;
    const Parsed parsed = parse(buffer);
    if (parsed.error) {
        answer(socket, *parsed.error);
        return;
    }
    if (!parsed.complete)
        return;
    socket->setProperty("answered", true);
    if (const std::optional<HttpServerResponse> response = m_handler(parsed.request))
        answer(socket, *response);
}

void HttpServer::answer(QTcpSocket *socket, const HttpServerResponse &response) {
    socket->setProperty("answered", true);
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                      httpReasonPhrase(response.status) + "\r\n";
    if (!response.contentType.isEmpty())
        head += "Content-Type: " + response.contentType + "\r\n";
    for (const auto &[name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    head += "Content-Length: " + QByteArray::number(response.body.size()) +
            "\r\nConnection: close\r\n\r\n";
    socket->write(head + response.body);
    socket->disconnectFromHost();
}
