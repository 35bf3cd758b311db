#include "callsim/SmsProvider.h"

#include <QXmlStreamReader>

namespace {

HttpServerResponse plainText(int status, const QString &text) {
    return HttpServerResponse{status, "text/plain; charset=utf-8", text.toUtf8(), {}};
}

// Reads Numbers and Mesgbody of a SingleTextSMS document; the parser's complaint otherwise.
QString readDocument(const QString &xml, ReceivedSms &sms) {
    QXmlStreamReader reader(xml);
    bool root = false;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!root) {
            if (reader.name() != u"SingleTextSMS")
                return QStringLiteral("belge SingleTextSMS değil");
            root = true;
        } else if (reader.name() == u"Numbers") {
            sms.number = reader.readElementText();
        } else if (reader.name() == u"Mesgbody") {
            sms.message = reader.readElementText();
        }
    }
    if (reader.hasError())
        return QStringLiteral("XML okunamadı: ") + reader.errorString();
    if (sms.number.isEmpty())
        return QStringLiteral("Numbers boş");
    return {};
}

} // namespace

QString smsRequestData(const HttpServerRequest &request) {
    for (const QByteArray &pair : request.query().split('&')) {
        if (pair.startsWith("data="))
            return QString::fromUtf8(QByteArray::fromPercentEncoding(pair.mid(5)));
    }
    return {};
}

HttpServerResponse SmsProvider::answer(const HttpServerRequest &request) {
    if (request.path() != kPath)
        return plainText(404, QStringLiteral("Bulunamadı"));
    ReceivedSms sms;
    sms.requestXml = smsRequestData(request);
    sms.contentType = request.header("Content-type");
    sms.body = request.body;
    if (sms.requestXml.isEmpty())
        return plainText(400, QStringLiteral("HATA: data eksik"));
    const QString problem = readDocument(sms.requestXml, sms);
    if (!problem.isEmpty())
        return plainText(400, QStringLiteral("HATA: ") + problem);
    std::lock_guard lock(m_mutex);
    m_received.push_back(sms);
    return plainText(200,
                     QStringLiteral("00 SMS kabul edildi, kayıt no %1").arg(m_received.size()));
}

std::vector<ReceivedSms> SmsProvider::received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}
