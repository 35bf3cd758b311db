#pragma once

#include "callerid/CallerIdBackend.h"
#include "callerid/LineSplitter.h"
#include "callerid/TcpKeepAlive.h"

#include <QTcpSocket>
#include <QTimer>

// A client of an NCID caller-ID server. It connects in the background and, whenever the
// connection drops or cannot be made, tries again after a pause, for as long as it lives.
// The model is empty while there is no connection. Only live incoming-call lines become
// calls: the history that the server replays on connect and every other line are ignored.
// A server that vanishes without closing the connection (its host switched off, a cable
// pulled) is noticed by TCP keep-alive within keepAlive().detectionSeconds() of the last
// traffic, and the client then connects again.
class NcidClient : public CallerIdBackend {
    Q_OBJECT
public:
    NcidClient(const QString &host, quint16 port, QObject *parent = nullptr);
    ~NcidClient() override;

    // Begins connecting; never fails (the server may come up later).
    void start() override;
    QString deviceModel() const override { return m_model; }
    QString deviceSerial() const override;

    void setReconnectInterval(int milliseconds) { m_reconnect.setInterval(milliseconds); }
    // Used from the next connection on.
    void setKeepAlive(const TcpKeepAlive &keepAlive) { m_keepAlive = keepAlive; }
    TcpKeepAlive keepAlive() const { return m_keepAlive; }
    bool isConnected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    // The connection's socket, -1 while there is none (for tests and diagnostics).
    qintptr socketDescriptor() const { return m_socket.socketDescriptor(); }

private:
    void connectNow();
    void onConnected();
    void onDisconnected();
    void onReadyRead();
    void handleLine(const QString &line);

    QString m_host;
    quint16 m_port;
    QTcpSocket m_socket;
    QTimer m_reconnect;
    QTimer m_connectTimeout;
    LineSplitter m_lines;
    TcpKeepAlive m_keepAlive;
    QString m_model;
    bool m_started = false;
};
