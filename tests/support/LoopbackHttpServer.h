#pragma once

#include "callsim/HttpServer.h"

#include <QString>
#include <QThread>

#include <mutex>
#include <vector>

// An HTTP server on 127.0.0.1 in a thread of its own, so that the program's synchronous
// requests on the test's thread get their answers. The handler runs on the server's thread;
// every request is kept for the test to look at.
class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(HttpServer::Handler handler);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer &) = delete;
    LoopbackHttpServer &operator=(const LoopbackHttpServer &) = delete;

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:PORT/"
    QString baseUrl() const;
    std::vector<HttpServerRequest> requests() const;

private:
    QThread m_thread;
    QObject *m_anchor; // lives on the server's thread: what calls onto it are queued to
    HttpServer *m_server = nullptr;
    quint16 m_port = 0;
    mutable std::mutex m_mutex;
    std::vector<HttpServerRequest> m_requests;
};

// Runs a callable on an object's thread and waits for it.
template <typename Function> void runOnThreadOf(QObject *object, Function function) {
    QMetaObject::invokeMethod(object, function, Qt::BlockingQueuedConnection);
}
