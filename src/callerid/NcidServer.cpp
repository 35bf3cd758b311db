#include "callerid/NcidServer.h"

#include "callerid/CallerIdCall.h"
#include "callerid/LineSplitter.h"
#include "callerid/NcidLineParser.h"

#include <QTcpServer>
#include <QTcpSocket>

NcidServer::NcidServer(QObject *parent)
    : QObject(parent)
    , m_server(std::make_unique<QTcpServer>()) {
    connect(m_server.get(), &QTcpServer::newConnection, this, &NcidServer::onNewConnection);
}

NcidServer::~NcidServer() {
    close();
}

bool NcidServer::listen(const QHostAddress &address, quint16 port) {
    return m_server->listen(address, port);
}

QString NcidServer::errorString() const {
    return m_server->errorString();
}

quint16 NcidServer::port() const {
    return m_server->serverPort();
}

bool NcidServer::isListening() const {
    return m_server->isListening();
}

void NcidServer::close() {
    m_server->close();
    const auto clients = m_clients.keys();
    m_clients.clear();
    for (QTcpSocket *client : clients) {
        client->disconnect(this);
        client->abort();
        client->deleteLater();
    }
}

void NcidServer::announceCall(const QString &number, const QString &name, const QString &line,
                              const QDateTime &when) {
    const QString callLine = ncid::formatCallLine(QStringLiteral("CID"), when, line, number, name);
    m_history.append(callLine.mid(callLine.indexOf(u':') + 1));
    while (m_history.size() > m_historyLimit && !m_history.isEmpty())
        m_history.removeFirst();
    sendLine(callLine);
    emit callAnnounced(number, name);
}

void NcidServer::sendLine(const QString &line) {
    for (auto it = m_clients.cbegin(); it != m_clients.cend(); ++it)
        write(it.key(), line);
}

void NcidServer::onNewConnection() {
    while (QTcpSocket *client = m_server->nextPendingConnection()) {
        m_clients.insert(client, std::make_shared<LineSplitter>());
        connect(client, &QTcpSocket::readyRead, this, [this, client] { onClientData(client); });
        connect(client, &QTcpSocket::disconnected, this, [this, client] {
            m_clients.remove(client);
            client->deleteLater();
        });
        write(client, QStringLiteral("200 Server: zefiran-callsim (NCID) 1.0"));
        for (const QString &past : std::as_const(m_history))
            write(client, QStringLiteral("CIDLOG:") + past);
        write(client, m_history.isEmpty() ? QStringLiteral("252 Call log empty")
                                          : QStringLiteral("250 End of call log"));
        write(client, QStringLiteral("300 End of server startup"));
        emit clientConnected();
    }
}

void NcidServer::onClientData(QTcpSocket *client) {
    const auto splitter = m_clients.value(client);
    if (!splitter)
        return;
    for (const QByteArray &bytes : splitter->feed(client->readAll()))
        handleClientLine(callerid::decodeDeviceText(bytes));
}

void NcidServer::handleClientLine(const QString &line) {
    if (const auto call = ncid::parseGatewayCall(line)) {
        if (!call->type.isEmpty() && call->type != u"IN")
            return; // outgoing and other calls are not announced here
        announceCall(call->number, call->name,
                     call->line.isEmpty() ? QStringLiteral("1") : call->line);
        return;
    }
    if (line.startsWith(QStringLiteral("MSG:")))
        sendLine(line);
}

void NcidServer::write(QTcpSocket *client, const QString &line) {
    client->write(line.toUtf8() + "\r\n");
}
