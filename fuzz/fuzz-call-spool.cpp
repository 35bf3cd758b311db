// The call spool as the program finds it at start: whatever a crash or a hand left in the
// file, every call it gives is one the file holds, once.
#include "callerid/CallSpool.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const CallSpool::Contents contents = CallSpool::read(text);
    std::set<quint64> ids;
    for (const CallSpool::Call &call : contents.waiting) {
        if (call.id == 0 || call.id > contents.lastId || !ids.insert(call.id).second ||
            !call.arrived.isValid())
            std::abort();
    }
    if (contents.unreadableLines < 0 || contents.waiting.size() > static_cast<size_t>(size))
        std::abort();
    return 0;
}
