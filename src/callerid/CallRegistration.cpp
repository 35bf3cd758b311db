#include "callerid/CallRegistration.h"

#include "store/TZQuery.h"

QByteArray arayankaydet(TZQuery &ZQuery1, TZQuery &ZQuery3, const QByteArray &number,
                        const QDateTime &arrived) {
    QByteArray name;
    QByteArray company;
    qint64 id = 0;
    // A call without a number is nobody's: an exact lookup would take the first customer
    // whose number is an empty text.
    if (!number.isEmpty() &&
        (ZQuery1.locate("gsmtel1", number) || ZQuery1.locate("gsmtel2", number) ||
         ZQuery1.locate("firmatel", number))) {
        name = ZQuery1.fieldByName("adsoyad").asString();
        company = ZQuery1.fieldByName("firmaad").asString();
        id = ZQuery1.fieldByName("Id").asInteger();
    }
    ZQuery3.append();
    ZQuery3.fieldByName("tarih").setAsDate(arrived.date());
    ZQuery3.fieldByName("saat").setAsDateTime(arrived);
    ZQuery3.fieldByName("telno").setAsString(number);
    ZQuery3.fieldByName("arayan").setAsString(name);
    ZQuery3.fieldByName("firma").setAsString(company);
    if (id > 0)
        ZQuery3.fieldByName("rehberid").setAsInteger(id);
    ZQuery3.post();
    return name;
}
