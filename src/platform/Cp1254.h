#pragma once

#include <QByteArray>
#include <QString>

// Windows-1254 (Turkish) is the program's 8-bit text: the database, the settings file and
// the item lists hold it. These convert at the edges where text meets Unicode (widgets,
// XML documents, device events).
namespace cp1254 {

QString toUnicode(const char *bytes, qsizetype size);
inline QString toUnicode(const QByteArray &bytes) {
    return toUnicode(bytes.constData(), bytes.size());
}

// Characters without a Windows-1254 byte become '?'. Use canEncode() first where that
// would lose what the user typed.
QByteArray fromUnicode(const QString &text);

bool canEncode(QChar ch);
bool canEncode(const QString &text);

// The first character of text that Windows-1254 cannot hold, or a null QChar.
QChar firstUnencodable(const QString &text);

} // namespace cp1254
