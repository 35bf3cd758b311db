#include "callerid/CallerIdCall.h"

#include "platform/Cp1254.h"

#include <QStringDecoder>

QString CallerIdCall::dateTime() const {
    if (date.isEmpty() || time.isEmpty())
        return date + time;
    return date + QLatin1Char(' ') + time;
}

QString CallerIdCall::otherText() const {
    if (message.isEmpty())
        return name;
    if (name.isEmpty())
        return message;
    return name + QStringLiteral(" / ") + message;
}

namespace callerid {

QString withheldText(const QString &code) {
    const QString c = code.trimmed().toUpper();
    if (c == u"P" || c == u"PRIVATE")
        return QStringLiteral("Gizli Numara");
    if (c == u"O" || c == u"OUT-OF-AREA")
        return QStringLiteral("Bölge Dışı");
    if (c == u"A" || c == u"ANONYMOUS")
        return QStringLiteral("Anonim Arama");
    return {};
}

QString lineNumber(const QString &lineName) {
    const QString name = lineName.trimmed();
    if (name.isEmpty() || name.size() > 9)
        return QStringLiteral("1");
    for (const QChar ch : name) {
        if (ch < u'0' || ch > u'9')
            return QStringLiteral("1");
    }
    return QString::number(name.toInt());
}

QString decodeDeviceText(const QByteArray &bytes) {
    QByteArray clean;
    clean.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte != 0x7f)
            clean.append(ch);
        else if (ch == '\t')
            clean.append(' ');
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(clean);
    if (!utf8.hasError())
        return text;
    return cp1254::toUnicode(clean);
}

} // namespace callerid
