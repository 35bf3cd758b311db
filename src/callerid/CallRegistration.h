#pragma once

#include <QByteArray>
#include <QDateTime>

class TZQuery;

// The customer a number belongs to, as the directory dataset knows it.
struct Caller {
    QByteArray name;
    QByteArray company;
    qint64 id = 0; // 0: no customer
};

// Looks the number up in the directory dataset (ZQuery1) by gsmtel1, then gsmtel2, then
// firmatel, exactly; ZQuery1 stays on the record found (or where it was). An empty number is
// looked up nowhere.
Caller findCaller(TZQuery &ZQuery1, const QByteArray &number);

// Fills the call log dataset's new row (ZQuery3, appended): the date and time the call
// arrived at the PC, the number, and the name, company and id of the caller.
void fillCallRow(TZQuery &ZQuery3, const Caller &caller, const QByteArray &number,
                 const QDateTime &arrived);

// Registers one call: finds the caller and appends one row to the call log dataset with the
// date and time the call arrived (now, unless the call waited), then posts it.
// Returns the name found (empty when none). On return ZQuery1 is on the record found (or
// where it was) and ZQuery3 on the new row.
QByteArray arayankaydet(TZQuery &ZQuery1, TZQuery &ZQuery3, const QByteArray &number,
                        const QDateTime &arrived = QDateTime::currentDateTime());

// Whether the call log already holds a row of this number that arrived at that second (the
// call log keeps whole seconds).
bool callIsLogged(TZQuery &ZQuery3, const QByteArray &number, const QDateTime &arrived);
