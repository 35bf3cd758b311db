// What an NCID server sends: the stream cut into lines, each decoded and read as the
// client reads it.
#include "callerid/CallerIdCall.h"
#include "callerid/LineSplitter.h"
#include "callerid/NcidLineParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    LineSplitter lines(512);
    for (const QByteArray &raw : lines.feed(bytes)) {
        if (raw.size() > 512)
            std::abort();
        const QString line = callerid::decodeDeviceText(raw);
        ncid::statusCode(line);
        if (const auto call = ncid::parseCallLine(line)) {
            // The event's texts are what a handler converts: a line is a whole number.
            bool isNumber = false;
            call->line.toInt(&isNumber);
            if (!isNumber)
                std::abort();
            call->dateTime();
            call->otherText();
        }
        if (const auto gateway = ncid::parseGatewayCall(line))
            ncid::fieldValue(gateway->name);
    }
    return 0;
}
