#pragma once

#include "platform/Cp1254.h"

#include <QByteArray>
#include <QString>

// Where a control meets a field: the database holds Windows-1254 bytes, the controls show
// Unicode.
inline QString fromDb(const QByteArray &bytes) {
    return cp1254::toUnicode(bytes);
}
inline QByteArray toDb(const QString &text) {
    return cp1254::fromUnicode(text);
}

// Memos hold line breaks as CR LF, as the stored addresses and notes do; the control holds LF.
inline QString memoFromDb(const QByteArray &bytes) {
    return fromDb(bytes).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}
inline QByteArray memoToDb(const QString &text) {
    return toDb(QString(text).replace(QLatin1Char('\n'), QLatin1String("\r\n")));
}
