#include "store/ValueText.h"

#include "platform/Cp1254.h"
#include "platform/Error.h"
#include "platform/SystemLocale.h"

#include <QLocale>

#include <cmath>

namespace {

QDate parseDate(const QByteArray &raw) {
    // "YYYY-MM-DD", possibly followed by a time.
    if (raw.size() < 10)
        return {};
    return QDate(raw.left(4).toInt(), raw.mid(5, 2).toInt(), raw.mid(8, 2).toInt());
}

QTime parseTime(const QByteArray &raw) {
    // "HH:MM:SS" with optional fraction; hours past 23 (a duration) do not make a time of day.
    const QList<QByteArray> parts = raw.split(':');
    if (parts.size() < 3)
        return {};
    return QTime(parts[0].toInt(), parts[1].toInt(), static_cast<int>(parts[2].toDouble()));
}

QByteArray localText(const QString &text) {
    return cp1254::fromUnicode(text);
}

QString timeText(const QTime &time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

[[noreturn]] void notValid(const QByteArray &text, const char *what) {
    throw Error(QStringLiteral("'") + cp1254::toUnicode(text) +
                QStringLiteral("' is not a valid ") + QLatin1String(what));
}

QDate dateFromUserText(const QByteArray &text) {
    const QString s = cp1254::toUnicode(text).trimmed();
    QDate date = QDate::fromString(s, Qt::ISODate);
    if (!date.isValid())
        date = systemLocale().toDate(s, QLocale::ShortFormat);
    if (!date.isValid())
        date = systemLocale().toDate(s, QLocale::LongFormat);
    return date;
}

} // namespace

namespace valuetext {

QByteArray asText(FieldType type, const QByteArray &raw) {
    switch (type) {
    case FieldType::Date: {
        const QDate date = parseDate(raw);
        return date.isValid() ? localText(systemLocale().toString(date, QLocale::ShortFormat))
                              : QByteArray();
    }
    case FieldType::Time: {
        const QTime time = parseTime(raw);
        return time.isValid() ? localText(timeText(time)) : raw;
    }
    case FieldType::DateTime: {
        const QDateTime dt = asDateTime(type, raw);
        if (!parseDate(raw).isValid())
            return {};
        return localText(systemLocale().toString(dt.date(), QLocale::ShortFormat) +
                         QLatin1Char(' ') + timeText(dt.time()));
    }
    case FieldType::Float: {
        QLocale locale = systemLocale();
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return localText(locale.toString(raw.toDouble(), 'g', 15));
    }
    case FieldType::Boolean:
        return raw == "Y" ? QByteArray("True") : QByteArray("False");
    default:
        return raw;
    }
}

qint64 asInteger(FieldType type, const QByteArray &raw) {
    switch (type) {
    case FieldType::Float:
        return std::llround(raw.toDouble());
    case FieldType::Boolean:
        return raw == "Y" ? 1 : 0;
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return 0;
    default: {
        bool ok = false;
        const qint64 value = raw.trimmed().toLongLong(&ok);
        if (!ok)
            notValid(raw, "integer value");
        return value;
    }
    }
}

QDateTime asDateTime(FieldType type, const QByteArray &raw) {
    switch (type) {
    case FieldType::Date: {
        const QDate date = parseDate(raw);
        return date.isValid() ? QDateTime(date, QTime(0, 0)) : zeroDateTime();
    }
    case FieldType::Time: {
        const QTime time = parseTime(raw);
        return time.isValid() ? QDateTime(zeroDateTime().date(), time) : zeroDateTime();
    }
    case FieldType::DateTime: {
        const QDate date = parseDate(raw);
        const QTime time = raw.size() > 11 ? parseTime(raw.mid(11)) : QTime(0, 0);
        return date.isValid() ? QDateTime(date, time.isValid() ? time : QTime(0, 0))
                              : zeroDateTime();
    }
    default:
        return zeroDateTime();
    }
}

double asFloat(FieldType type, const QByteArray &raw) {
    if (type == FieldType::Boolean)
        return raw == "Y" ? 1 : 0;
    return raw.toDouble();
}

QByteArray fromText(FieldType type, int size, const QByteArray &text) {
    switch (type) {
    case FieldType::String:
        return size > 0 && text.size() > size ? text.left(size) : text;
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt: {
        bool ok = false;
        const qint64 value = text.trimmed().toLongLong(&ok);
        if (!ok)
            notValid(text, "integer value");
        return QByteArray::number(value);
    }
    case FieldType::Float: {
        bool ok = false;
        double value = systemLocale().toDouble(cp1254::toUnicode(text).trimmed(), &ok);
        if (!ok)
            value = text.trimmed().toDouble(&ok);
        if (!ok)
            notValid(text, "floating point value");
        return QByteArray::number(value, 'g', 17);
    }
    case FieldType::Date: {
        const QDate date = dateFromUserText(text);
        if (!date.isValid())
            notValid(text, "date");
        return date.toString(Qt::ISODate).toLatin1();
    }
    case FieldType::Time: {
        const QTime time = QTime::fromString(cp1254::toUnicode(text).trimmed(), Qt::ISODate);
        if (!time.isValid())
            notValid(text, "time");
        return timeText(time).toLatin1();
    }
    case FieldType::DateTime: {
        const QString s = cp1254::toUnicode(text).trimmed();
        QDateTime dt = QDateTime::fromString(s, Qt::ISODate);
        if (!dt.isValid())
            dt = systemLocale().toDateTime(s, QLocale::ShortFormat);
        if (!dt.isValid()) {
            const QDate date = dateFromUserText(text);
            if (date.isValid())
                dt = QDateTime(date, QTime(0, 0));
        }
        if (!dt.isValid())
            notValid(text, "date and time");
        return fromDateTime(type, dt);
    }
    case FieldType::Boolean: {
        const QByteArray t = text.trimmed().toUpper();
        return (t == "Y" || t == "TRUE" || t == "1") ? QByteArray("Y") : QByteArray("N");
    }
    default:
        return text;
    }
}

QByteArray fromInteger(FieldType type, qint64 value) {
    if (type == FieldType::Boolean)
        return value ? QByteArray("Y") : QByteArray("N");
    return QByteArray::number(value);
}

QByteArray fromDateTime(FieldType type, const QDateTime &value) {
    switch (type) {
    case FieldType::Date:
        return value.date().toString(Qt::ISODate).toLatin1();
    case FieldType::Time:
        return timeText(value.time()).toLatin1();
    case FieldType::DateTime:
        return (value.date().toString(Qt::ISODate) + QLatin1Char(' ') + timeText(value.time()))
            .toLatin1();
    default:
        return localText(systemLocale().toString(value.date(), QLocale::ShortFormat) +
                         QLatin1Char(' ') + timeText(value.time()));
    }
}

QByteArray dateLiteral(const QDate &date) {
    return '\'' + date.toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + '\'';
}

QByteArray timeLiteral(const QTime &time) {
    return '\'' + timeText(time).toLatin1() + '\'';
}

QByteArray dateTimeLiteral(const QDateTime &dt) {
    return '\'' + dt.date().toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + ' ' +
           timeText(dt.time()).toLatin1() + '\'';
}

bool isUnquoted(FieldType type) {
    return isIntegerType(type) || type == FieldType::Float;
}

} // namespace valuetext
