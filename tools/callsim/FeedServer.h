#pragma once

#include "callsim/HttpServer.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <map>
#include <mutex>
#include <vector>

// The mobile caller feed's server, as the simulator runs it: for each phone, by its IMEI,
// the calls it received and that the program has not acknowledged yet.
//
//   GET  /callerid/IMEI.xml    the waiting calls as "arayan" entries (Id, PhoneNumber,
//                              AdSoyad) of an "arayanlar" document, UTF-8 with a
//                              declaration; the entry with PhoneNumber "1234" when none waits
//   GET  /callerid/cidsil.php  the acknowledgement document as the body: clears the calls
//                              that the phone's last listing held (calls that came after it
//                              stay for the next listing)
//   POST /callerid/push        a new call, as a phone's call-forwarding app sends it: the
//                              form fields (or query items) imei, number and, optional, name
class FeedServer : public QObject {
    Q_OBJECT
public:
    struct Call {
        int id;
        QString number;
        QString name;
    };

    static constexpr int kMaxNumberLength = 20;
    static constexpr int kMaxNameLength = 100;

    explicit FeedServer(QObject *parent = nullptr);

    // Listens on the address and port (0: any free port). False when it cannot; see
    // errorString().
    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const { return m_http.errorString(); }
    quint16 port() const { return m_http.port(); }
    void close() { m_http.close(); }

    // These may be called from any thread.
    // Adds a waiting call for the phone; returns its id.
    int addCall(const QString &imei, const QString &number, const QString &name = {});
    std::vector<Call> waitingCalls(const QString &imei) const;

    // The answer to one request; what the server's own listener calls. May be called from
    // any thread.
    std::optional<HttpServerResponse> answer(const HttpServerRequest &request);

    // The feed document for these calls.
    static QByteArray feedDocument(const std::vector<Call> &calls);
    // What is wrong with a pushed call, empty when nothing is.
    static QString checkCall(const QString &imei, const QString &number, const QString &name);

signals:
    void callAdded(const QString &imei, const QString &number, const QString &name, int id);
    void listed(const QString &imei, int calls);
    void acknowledged(const QString &imei, int cleared);

private:
    HttpServerResponse list(const QString &imei);
    HttpServerResponse acknowledge(const QByteArray &body);
    HttpServerResponse push(const HttpServerRequest &request);

    struct Phone {
        std::vector<Call> calls;
        int lastListedId = 0;
    };

    HttpServer m_http;
    mutable std::mutex m_mutex;
    std::map<QString, Phone> m_phones;
    int m_nextId = 1;
};
