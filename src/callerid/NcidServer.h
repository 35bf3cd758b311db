#pragma once

#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QTcpServer;
class QTcpSocket;
class LineSplitter;

// A small NCID caller-ID server for the call simulator and the tests. A client that
// connects gets the greeting, the recent calls as history ("CIDLOG:" lines), the end of the
// history and "300 End of server startup"; from then on every call is sent to every client
// as a "CID:" line. Calls come from announceCall() or from a client that hands one over
// the way NCID gateways do ("CALL: ###DATE...NMBR...NAME...+++"); a client's "MSG:" line
// goes to every client.
class NcidServer : public QObject {
    Q_OBJECT
public:
    explicit NcidServer(QObject *parent = nullptr);
    ~NcidServer() override;

    // Listens on the address and port (0: any free port). False when it cannot; see
    // errorString().
    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const;
    quint16 port() const;
    bool isListening() const;

    // Stops listening and drops every client, as a server that goes down.
    void close();

    // Sends a call to every client and keeps it for the history of later clients.
    void announceCall(const QString &number, const QString &name = {},
                      const QString &line = QStringLiteral("1"),
                      const QDateTime &when = QDateTime::currentDateTime());

    // Sends one raw line (without its end) to every client.
    void sendLine(const QString &line);

    int clientCount() const { return static_cast<int>(m_clients.size()); }
    void setHistoryLimit(int calls) { m_historyLimit = calls; }

signals:
    void clientConnected();
    void callAnnounced(const QString &number, const QString &name);

private:
    void onNewConnection();
    void onClientData(QTcpSocket *client);
    void handleClientLine(const QString &line);
    void write(QTcpSocket *client, const QString &line);

    std::unique_ptr<QTcpServer> m_server;
    QHash<QTcpSocket *, std::shared_ptr<LineSplitter>> m_clients;
    QStringList m_history; // field parts of past calls, oldest first
    int m_historyLimit = 20;
};
