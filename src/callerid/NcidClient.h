#pragma once

#include "callerid/CallerIdBackend.h"
#include "callerid/LineSplitter.h"

#include <QTcpSocket>
#include <QTimer>

// A client of an NCID caller-ID server. It connects in the background and, whenever the
// connection drops or cannot be made, tries again after a pause, for as long as it lives.
// The model is empty while there is no connection. Only live incoming-call lines become
// calls: the history that the server replays on connect and every other line are ignored.
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
    bool isConnected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }

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
    QString m_model;
    bool m_started = false;
};
