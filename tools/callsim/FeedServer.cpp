#include "callsim/FeedServer.h"

#include "platform/Error.h"
#include "platform/XmlDocument.h"

#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

namespace {

HttpServerResponse text(int status, const QString &message) {
    return HttpServerResponse{status, "text/plain; charset=utf-8", message.toUtf8() + "\n", {}};
}

bool hasControlCharacter(const QString &text) {
    for (const QChar ch : text) {
        if (ch.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// Form fields of a urlencoded body or of the query: "+" is a blank in both.
QUrlQuery formFields(const QByteArray &encoded) {
    QByteArray withBlanks = encoded;
    withBlanks.replace('+', "%20");
    return QUrlQuery(QString::fromUtf8(withBlanks));
}

QString field(const QUrlQuery &body, const QUrlQuery &query, const QString &name) {
    const QUrlQuery &from = body.hasQueryItem(name) ? body : query;
    return from.queryItemValue(name, QUrl::FullyDecoded).trimmed();
}

} // namespace

FeedServer::FeedServer(QObject *parent)
    : QObject(parent)
    , m_http([this](const HttpServerRequest &r) { return answer(r); }, this) {}

bool FeedServer::listen(const QHostAddress &address, quint16 port) {
    return m_http.listen(address, port);
}

QString FeedServer::checkCall(const QString &imei, const QString &number, const QString &name) {
    if (imei.isEmpty() || hasControlCharacter(imei))
        return QStringLiteral("imei is missing or has control characters");
    if (number.isEmpty() || number.size() > kMaxNumberLength || hasControlCharacter(number))
        return QStringLiteral("number must be 1 to %1 characters without control characters")
            .arg(kMaxNumberLength);
    if (name.size() > kMaxNameLength || hasControlCharacter(name))
        return QStringLiteral("name must be at most %1 characters without control characters")
            .arg(kMaxNameLength);
    return {};
}

int FeedServer::addCall(const QString &imei, const QString &number, const QString &name) {
    int id = 0;
    {
        std::lock_guard lock(m_mutex);
        id = m_nextId++;
        m_phones[imei].calls.push_back({id, number, name});
    }
    emit callAdded(imei, number, name, id);
    return id;
}

std::vector<FeedServer::Call> FeedServer::waitingCalls(const QString &imei) const {
    std::lock_guard lock(m_mutex);
    const auto phone = m_phones.find(imei);
    return phone == m_phones.end() ? std::vector<Call>() : phone->second.calls;
}

QByteArray FeedServer::feedDocument(const std::vector<Call> &calls) {
    XmlDocument document;
    XmlNode root = document.setDocumentElement(QStringLiteral("arayanlar"));
    const auto addEntry = [&root](const QString &id, const QString &number, const QString &name) {
        XmlNode entry = root.appendChild(QStringLiteral("arayan"));
        entry.appendChild(QStringLiteral("Id")).setText(id);
        entry.appendChild(QStringLiteral("PhoneNumber")).setText(number);
        entry.appendChild(QStringLiteral("AdSoyad")).setText(name);
    };
    if (calls.empty())
        addEntry(QStringLiteral("0"), QStringLiteral("1234"), QString());
    for (const Call &call : calls)
        addEntry(QString::number(call.id), call.number, call.name);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + document.xml();
}

std::optional<HttpServerResponse> FeedServer::answer(const HttpServerRequest &request) {
    const QString path = QUrl::fromPercentEncoding(request.path());
    if (path == u"/callerid/cidsil.php")
        return acknowledge(request.body);
    if (path == u"/callerid/push") {
        if (request.method != "POST" && request.method != "GET")
            return text(405, QStringLiteral("use POST"));
        return push(request);
    }
    static const QString prefix = QStringLiteral("/callerid/");
    if (path.startsWith(prefix) && path.endsWith(u".xml") && path.size() > prefix.size() + 4) {
        if (request.method != "GET")
            return text(405, QStringLiteral("use GET"));
        return list(path.mid(prefix.size(), path.size() - prefix.size() - 4));
    }
    return text(404, QStringLiteral("not found: ") + path);
}

HttpServerResponse FeedServer::list(const QString &imei) {
    std::vector<Call> calls;
    {
        std::lock_guard lock(m_mutex);
        const auto phone = m_phones.find(imei);
        if (phone != m_phones.end()) {
            calls = phone->second.calls;
            phone->second.lastListedId = calls.empty() ? 0 : calls.back().id;
        }
    }
    if (!calls.empty())
        emit listed(imei, int(calls.size()));
    return HttpServerResponse{200, "text/xml; charset=utf-8", feedDocument(calls), {}};
}

HttpServerResponse FeedServer::acknowledge(const QByteArray &body) {
    QString imei;
    try {
        XmlDocument document;
        document.loadXml(body);
        const XmlNode root = document.documentElement();
        if (root.name() == u"Arayanlar")
            imei = root.child(QStringLiteral("Arayan")).child(QStringLiteral("imeino")).text();
    } catch (const Error &e) {
        return text(400, QStringLiteral("not an acknowledgement: ") + e.text());
    }
    if (imei.isEmpty())
        return text(400, QStringLiteral("not an acknowledgement: no Arayanlar/Arayan/imeino"));
    int cleared = 0;
    {
        std::lock_guard lock(m_mutex);
        Phone &phone = m_phones[imei];
        const auto listedEnd =
            std::find_if(phone.calls.begin(), phone.calls.end(),
                         [&phone](const Call &call) { return call.id > phone.lastListedId; });
        cleared = int(listedEnd - phone.calls.begin());
        phone.calls.erase(phone.calls.begin(), listedEnd);
    }
    emit acknowledged(imei, cleared);
    return text(200, QStringLiteral("OK"));
}

HttpServerResponse FeedServer::push(const HttpServerRequest &request) {
    const bool formBody =
        request.header("Content-Type").startsWith("application/x-www-form-urlencoded");
    const QUrlQuery body = formFields(formBody ? request.body : QByteArray());
    const QUrlQuery query = formFields(request.query());
    const QString imei = field(body, query, QStringLiteral("imei"));
    const QString number = field(body, query, QStringLiteral("number"));
    const QString name = field(body, query, QStringLiteral("name"));
    const QString problem = checkCall(imei, number, name);
    if (!problem.isEmpty())
        return text(400, problem);
    return text(200, QStringLiteral("OK %1").arg(addCall(imei, number, name)));
}
