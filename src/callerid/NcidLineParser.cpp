#include "callerid/NcidLineParser.h"

namespace ncid {

namespace {

QString lineType(const QString &line, QString *body) {
    const qsizetype colon = line.indexOf(u':');
    if (colon <= 0)
        return {};
    *body = line.mid(colon + 1);
    return line.left(colon).trimmed().toUpper();
}

} // namespace

QList<QPair<QString, QString>> fieldPairs(const QString &body) {
    QList<QPair<QString, QString>> pairs;
    const qsizetype first = body.indexOf(u'*');
    if (first < 0)
        return pairs;
    const QStringList parts = body.mid(first + 1).split(u'*');
    // The last part is what follows the closing '*' (normally nothing).
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        pairs.append({parts.at(i).trimmed().toUpper(), parts.at(i + 1).trimmed()});
    return pairs;
}

std::optional<CallerIdCall> parseCallLine(const QString &line) {
    QString body;
    const QString type = lineType(line, &body);
    if (type != u"CID" && type != u"WID")
        return std::nullopt;

    CallerIdCall call;
    bool hasNumber = false;
    QString lineName;
    for (const auto &[label, value] : fieldPairs(body)) {
        if (label == u"DATE") {
            call.date = value;
        } else if (label == u"TIME") {
            call.time = value;
        } else if (label == u"LINE") {
            lineName = value;
        } else if (label == u"NMBR") {
            call.number = value;
            hasNumber = true;
        } else if (label == u"NAME") {
            call.name = value;
        } else if (label == u"MESG") {
            call.message = value;
        }
    }
    if (!hasNumber)
        return std::nullopt;

    call.line = callerid::lineNumber(lineName);
    if (const QString withheld = callerid::withheldText(call.number); !withheld.isEmpty())
        call.number = withheld;
    if (const QString withheld = callerid::withheldText(call.name); !withheld.isEmpty())
        call.name = withheld;
    if (call.name.compare(u"NO NAME", Qt::CaseInsensitive) == 0)
        call.name.clear();
    if (call.message.compare(u"NONE", Qt::CaseInsensitive) == 0)
        call.message.clear();
    return call;
}

int statusCode(const QString &line) {
    if (line.size() < 3)
        return 0;
    for (qsizetype i = 0; i < 3; ++i) {
        if (!line.at(i).isDigit())
            return 0;
    }
    if (line.size() > 3 && line.at(3) != u' ')
        return 0;
    return line.left(3).toInt();
}

QString fieldValue(const QString &text) {
    QString value = text;
    value.replace(u'*', u'-');
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value.trimmed();
}

QString formatCallLine(const QString &type, const QDateTime &when, const QString &line,
                       const QString &number, const QString &name) {
    return type + QStringLiteral(": *DATE*") + when.toString(QStringLiteral("MMddyyyy")) +
           QStringLiteral("*TIME*") + when.toString(QStringLiteral("HHmm")) +
           QStringLiteral("*LINE*") + fieldValue(line) + QStringLiteral("*NMBR*") +
           fieldValue(number) + QStringLiteral("*MESG*NONE*NAME*") +
           (name.trimmed().isEmpty() ? QStringLiteral("NO NAME") : fieldValue(name)) +
           QStringLiteral("*");
}

namespace {

QString gatewayValue(const QString &text) {
    QString value = fieldValue(text);
    value.replace(QStringLiteral("..."), QStringLiteral(".."));
    value.replace(QStringLiteral("+++"), QStringLiteral("++"));
    // A '+' at the end would run into the closing "+++".
    while (value.endsWith(u'+'))
        value.chop(1);
    return value;
}

} // namespace

QString formatGatewayCall(const QDateTime &when, const QString &line, const QString &number,
                          const QString &name) {
    return QStringLiteral("CALL: ###DATE") + when.toString(QStringLiteral("MMddHHmm")) +
           QStringLiteral("...CALLIN...LINE") + gatewayValue(line) + QStringLiteral("...NMBR") +
           gatewayValue(number) + QStringLiteral("...NAME") + gatewayValue(name) +
           QStringLiteral("+++");
}

std::optional<GatewayCall> parseGatewayCall(const QString &line) {
    QString body;
    if (lineType(line, &body) != u"CALL")
        return std::nullopt;
    body = body.trimmed();
    if (!body.startsWith(QStringLiteral("###")))
        return std::nullopt;
    body.remove(0, 3);
    if (body.endsWith(QStringLiteral("+++")))
        body.chop(3);

    GatewayCall call;
    bool hasNumber = false;
    for (const QString &field : body.split(QStringLiteral("..."))) {
        static const char *const labels[] = {"DATE", "CALL", "LINE", "NMBR", "NAME"};
        for (const char *label : labels) {
            const QLatin1String tag(label);
            if (!field.startsWith(tag))
                continue;
            const QString value = field.mid(tag.size()).trimmed();
            if (tag == QLatin1String("DATE"))
                call.dateTime = value;
            else if (tag == QLatin1String("CALL"))
                call.type = value.toUpper();
            else if (tag == QLatin1String("LINE"))
                call.line = value;
            else if (tag == QLatin1String("NMBR")) {
                call.number = value;
                hasNumber = true;
            } else
                call.name = value;
            break;
        }
    }
    if (!hasNumber)
        return std::nullopt;
    return call;
}

} // namespace ncid
