#include "callerid/CallRegistration.h"

#include "store/TZConnection.h"
#include "store/TZQuery.h"
#include "store/ValueText.h"

Caller findCaller(TZQuery &ZQuery1, const QByteArray &number) {
    Caller caller;
    // A call without a number is nobody's: an exact lookup would take the first customer
    // whose number is an empty text.
    if (!number.isEmpty() &&
        (ZQuery1.locate("gsmtel1", number) || ZQuery1.locate("gsmtel2", number) ||
         ZQuery1.locate("firmatel", number))) {
        caller.name = ZQuery1.fieldByName("adsoyad").asString();
        caller.company = ZQuery1.fieldByName("firmaad").asString();
        caller.id = ZQuery1.fieldByName("Id").asInteger();
    }
    return caller;
}

void fillCallRow(TZQuery &ZQuery3, const Caller &caller, const QByteArray &number,
                 const QDateTime &arrived) {
    ZQuery3.fieldByName("tarih").setAsDate(arrived.date());
    ZQuery3.fieldByName("saat").setAsDateTime(arrived);
    ZQuery3.fieldByName("telno").setAsString(number);
    ZQuery3.fieldByName("arayan").setAsString(caller.name);
    ZQuery3.fieldByName("firma").setAsString(caller.company);
    if (caller.id > 0)
        ZQuery3.fieldByName("rehberid").setAsInteger(caller.id);
}

QByteArray arayankaydet(TZQuery &ZQuery1, TZQuery &ZQuery3, const QByteArray &number,
                        const QDateTime &arrived) {
    const Caller caller = findCaller(ZQuery1, number);
    ZQuery3.append();
    fillCallRow(ZQuery3, caller, number, arrived);
    ZQuery3.post();
    return caller.name;
}

bool callIsLogged(TZQuery &ZQuery3, const QByteArray &number, const QDateTime &arrived) {
    TZConnection &connection = ZQuery3.connection();
    // The number as the row keeps it: cut to the column's size.
    const TZField telno = ZQuery3.fieldByName("telno");
    const QByteArray kept = valuetext::fromText(telno.type(), telno.size(), number);
    const auto count = connection.selectRow(
        "SELECT COUNT(*) FROM arayanlar WHERE tarih = " + valuetext::dateLiteral(arrived.date()) +
        " AND saat = " + valuetext::timeLiteral(arrived.time()) + " AND telno = '" +
        connection.escape(kept) + "'");
    return !count.empty() && count.front() && *count.front() != "0";
}
