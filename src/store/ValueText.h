#pragma once

#include <QByteArray>
#include <QDateTime>

#include "store/Field.h"

// Values are held as the server writes them in its text protocol ("42", "2015-03-05",
// "14:05:00", "12.50", the text bytes). These turn such a value into what a field reads as,
// and what a field write or a parameter gives into that form and into a statement literal.
namespace valuetext {

QByteArray asText(FieldType type, const QByteArray &raw);
qint64 asInteger(FieldType type, const QByteArray &raw);
QDateTime asDateTime(FieldType type, const QByteArray &raw);
double asFloat(FieldType type, const QByteArray &raw);

// Field writes. Text is cut to size for text fields; for other types it is converted
// (failing with the system's conversion texts when it cannot be).
QByteArray fromText(FieldType type, int size, const QByteArray &text);
QByteArray fromInteger(FieldType type, qint64 value);
QByteArray fromDateTime(FieldType type, const QDateTime &value);

// Quoted literals.
QByteArray dateLiteral(const QDate &date);       // '2015-03-05'
QByteArray timeLiteral(const QTime &time);       // '14:05:00'
QByteArray dateTimeLiteral(const QDateTime &dt); // '2015-03-05 14:05:00'

// Whether a value of this type is written without quotes in a statement.
bool isUnquoted(FieldType type);

} // namespace valuetext
