#include "support/LoopbackHttpServer.h"

#include <QMetaObject>

LoopbackHttpServer::LoopbackHttpServer(HttpServer::Handler handler)
    : m_anchor(new QObject) {
    m_anchor->moveToThread(&m_thread);
    m_thread.start();
    auto recording = [this, handler = std::move(handler)](const HttpServerRequest &request) {
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
        }
        return handler(request);
    };
    runOnThreadOf(m_anchor, [&] {
        m_server = new HttpServer(recording);
        if (m_server->listen(QHostAddress::LocalHost, 0))
            m_port = m_server->port();
    });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    runOnThreadOf(m_anchor, [this] { delete m_server; });
    m_anchor->deleteLater();
    m_thread.quit();
    m_thread.wait();
}

QString LoopbackHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

std::vector<HttpServerRequest> LoopbackHttpServer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}
