#include "messaging/SmsRequest.h"

#include "platform/DataFolder.h"

#include <QUrl>

using namespace Qt::StringLiterals;

const QString kSmsContentTypeName = u"Content-type"_s;
const QString kSmsContentTypeValue = u"content=text/html; charset=UTF-8"_s;

int smsLength(const QString &message) {
    // Line breaks are CR LF, two characters; count characters, not UTF-16 units.
    return static_cast<int>(message.toUcs4().size());
}

QString smsRequestXml(const SmsSettings &account, const QString &message, const QString &number) {
    const auto element = [](const char16_t *name, const QString &value) {
        const QString tag = QString::fromUtf16(name);
        return u'<' + tag + u'>' + value.toHtmlEscaped() + u"</"_s + tag + u'>';
    };
    return u"<SingleTextSMS>"_s + element(u"UserName", account.UserName) +
           element(u"PassWord", account.Password) + element(u"Action", u"2"_s) +
           element(u"Mesgbody", message) + element(u"Numbers", number) +
           element(u"Originator", account.Originator) + element(u"SDate", QString()) +
           u"</SingleTextSMS>"_s;
}

QString smsRequestAddress(const QString &providerUrl, const QString &requestXml) {
    QString base = providerUrl.trimmed();
    while (base.endsWith(u'/'))
        base.chop(1);
    return base + u"/api/mesaj_gonder?data="_s +
           QString::fromLatin1(QUrl::toPercentEncoding(requestXml));
}

QString providerUrlProblem(const QString &providerUrl) {
    const QString where = u" (ayar dosyası "_s + settingsFilePath() + u", bölüm [Sms], Url)"_s;
    if (providerUrl.trimmed().isEmpty())
        return u"SMS sağlayıcısının adresi ayarlanmamış; SMS gönderilmedi."_s + where;
    const QUrl url(providerUrl.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") ||
        url.host().isEmpty() || url.hasQuery() || url.hasFragment())
        return u"SMS sağlayıcısının adresi geçersiz: "_s + providerUrl.trimmed() +
               u"; SMS gönderilmedi."_s + where;
    return {};
}
