#pragma once

#include "platform/Cp1254.h"

#include <QByteArray>
#include <QString>

// Windows-1254 bytes, as the database holds them, of a text written in the test's source.
inline QByteArray win(const char *utf8) {
    return cp1254::fromUnicode(QString::fromUtf8(utf8));
}
