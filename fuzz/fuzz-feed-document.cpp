// The caller feed document as the feed server sends it: any bytes either fail to load with
// an error, or give a list whose callers can be read, added to and written back.
#include "callerid/arayanunit.h"
#include "platform/Error.h"
#include "platform/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    XmlDocument document;
    try {
        document.loadXml(bytes);
    } catch (const Error &) {
        return 0;
    }
    std::optional<TXMLArayanlarType> bound;
    try {
        bound = BindArayanlar(document); // the program's own check of the document element
    } catch (const Error &) {
        return 0;
    }
    TXMLArayanlarType &callers = *bound;
    const int count = callers.Count();
    for (int i = 0; i < count; ++i) {
        const TXMLArayanType caller = callers.Items(i);
        for (const auto &read : {+[](const TXMLArayanType &c) { c.Id(); },
                                 +[](const TXMLArayanType &c) { c.PhoneNumber(); },
                                 +[](const TXMLArayanType &c) {
                                     c.AdSoyad();
                                 }}) {
            try {
                read(caller);
            } catch (const Error &) {
            }
        }
    }
    TXMLArayanType added = callers.Add();
    added.setPhoneNumber(QStringLiteral("05321234567"));
    if (callers.Count() != count + 1 || added.PhoneNumber() != "05321234567")
        std::abort();
    document.xml();
    return 0;
}
