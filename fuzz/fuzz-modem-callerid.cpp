// What a caller-ID modem writes, cut into reads anywhere: the first byte gives the size of
// each read.
#include "callerid/ModemCallerIdParser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(const CallerIdCall &call) {
    bool isNumber = false;
    call.line.toInt(&isNumber);
    if (!isNumber)
        std::abort();
    call.dateTime();
    call.otherText();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    const size_t step = static_cast<size_t>(data[0] % 64) + 1;
    ModemCallerIdParser parser;
    for (size_t at = 1; at < size; at += step) {
        const size_t n = std::min(step, size - at);
        const QByteArray piece(reinterpret_cast<const char *>(data + at),
                               static_cast<qsizetype>(n));
        for (const CallerIdCall &call : parser.feed(piece))
            check(call);
    }
    for (const CallerIdCall &call : parser.flush())
        check(call);
    if (parser.pending())
        std::abort();
    return 0;
}
