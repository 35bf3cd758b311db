#pragma once

#include <QByteArray>
#include <QDateTime>

class TZQuery;

// Registers one call: looks the number up in the directory dataset (ZQuery1) by gsmtel1,
// then gsmtel2, then firmatel, exactly, and appends one row to the call log dataset
// (ZQuery3) with the date and time the call arrived at the PC (now, unless the call waited),
// the number, and the name, company and id found.
// An empty number is looked up nowhere.
// Returns the name found (empty when none). On return ZQuery1 is on the record found (or
// where it was) and ZQuery3 on the new row.
QByteArray arayankaydet(TZQuery &ZQuery1, TZQuery &ZQuery3, const QByteArray &number,
                        const QDateTime &arrived = QDateTime::currentDateTime());
