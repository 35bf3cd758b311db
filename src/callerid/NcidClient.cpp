#include "callerid/NcidClient.h"

#include "callerid/NcidLineParser.h"

namespace {
constexpr int defaultReconnectMs = 3000;
// A host that does not answer at all (no refusal) would otherwise hold the attempt for
// minutes.
constexpr int connectTimeoutMs = 10000;
} // namespace

NcidClient::NcidClient(const QString &host, quint16 port, QObject *parent)
    : CallerIdBackend(parent)
    , m_host(host)
    , m_port(port) {
    m_reconnect.setSingleShot(true);
    m_reconnect.setInterval(defaultReconnectMs);
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(connectTimeoutMs);
    connect(&m_reconnect, &QTimer::timeout, this, &NcidClient::connectNow);
    connect(&m_connectTimeout, &QTimer::timeout, this, [this] {
        m_socket.abort();
        onDisconnected();
    });
    connect(&m_socket, &QTcpSocket::connected, this, &NcidClient::onConnected);
    connect(&m_socket, &QTcpSocket::disconnected, this, &NcidClient::onDisconnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] {
        // A refused or failed attempt never reaches "disconnected"; a dropped connection
        // reports both, and onDisconnected() copes with being called twice.
        if (m_socket.state() != QAbstractSocket::ConnectedState)
            onDisconnected();
    });
    connect(&m_socket, &QTcpSocket::readyRead, this, &NcidClient::onReadyRead);
}

NcidClient::~NcidClient() {
    m_started = false;
    m_socket.disconnect(this);
    m_socket.abort();
}

void NcidClient::start() {
    m_started = true;
    connectNow();
}

QString NcidClient::deviceSerial() const {
    return m_host + QLatin1Char(':') + QString::number(m_port);
}

void NcidClient::connectNow() {
    if (!m_started || m_socket.state() != QAbstractSocket::UnconnectedState)
        return;
    m_lines.clear();
    m_connectTimeout.start();
    m_socket.connectToHost(m_host, m_port);
}

void NcidClient::onConnected() {
    m_connectTimeout.stop();
    m_reconnect.stop();
    applyTcpKeepAlive(m_socket.socketDescriptor(), m_keepAlive);
    m_model = QStringLiteral("NCID");
}

void NcidClient::onDisconnected() {
    // Lines the server sent just before the connection ended are still calls.
    if (m_socket.bytesAvailable() > 0)
        onReadyRead();
    m_connectTimeout.stop();
    m_model.clear();
    m_lines.clear();
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
    if (m_started && !m_reconnect.isActive())
        m_reconnect.start();
}

void NcidClient::onReadyRead() {
    const QList<QByteArray> lines = m_lines.feed(m_socket.readAll());
    for (const QByteArray &line : lines)
        handleLine(callerid::decodeDeviceText(line));
}

void NcidClient::handleLine(const QString &line) {
    if (line.isEmpty())
        return;
    if (ncid::statusCode(line) == 200) {
        // The greeting names the server: "200 Server: ncidd (NCID) 1.7".
        const QString server = line.mid(4).trimmed();
        m_model = server.isEmpty() ? QStringLiteral("NCID") : server;
        return;
    }
    auto call = ncid::parseCallLine(line);
    if (!call)
        return;
    call->deviceId = deviceSerial();
    emit callerId(*call);
}
