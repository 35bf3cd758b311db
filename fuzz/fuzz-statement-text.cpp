// The statement tokenizer: any statement text either fails with the marker error or gives
// a template whose pieces and markers fit together.
#include "platform/Error.h"
#include "store/StatementText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    StatementTemplate statement;
    try {
        statement = parseStatement(text);
    } catch (const Error &) {
        return 0;
    }
    if (statement.pieces.size() != statement.markers.size() + 1)
        std::abort();
    for (int marker : statement.markers)
        if (marker < 0 || static_cast<size_t>(marker) >= statement.paramNames.size())
            std::abort();
    // Every parameter is used by some marker.
    if (statement.paramNames.size() > statement.markers.size())
        std::abort();
    // Without a colon the text goes out unchanged.
    if (!text.contains(':') && statement.withQuestionMarks() != text)
        std::abort();
    return 0;
}
