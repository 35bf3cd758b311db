#include "platform/Cp1254.h"

#include "platform/Latin5.h"

#include <array>

namespace {

// Bytes 0x80-0x9F; the five unassigned ones map to the C1 control of the same value, as
// Windows does, so that every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x008E, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178};

constexpr char16_t byteToUnicode(unsigned char b) {
    return b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : latin5ToUnicode(b);
}

struct Table {
    std::array<char16_t, 256> toUnicode{};
    constexpr Table() {
        for (int b = 0; b < 256; ++b)
            toUnicode[b] = byteToUnicode(static_cast<unsigned char>(b));
    }
};
constexpr Table kTable;

// -1 when the character has no byte.
int unicodeToByte(char16_t u) {
    if (u < 0x80)
        return u;
    if (u >= 0xA0 && u <= 0xFF)
        return kTable.toUnicode[u] == u ? u : -1;
    for (int b = 0x80; b < 0xA0; ++b)
        if (kHighControls[b - 0x80] == u)
            return b;
    switch (u) {
    case 0x011E:
        return 0xD0;
    case 0x0130:
        return 0xDD;
    case 0x015E:
        return 0xDE;
    case 0x011F:
        return 0xF0;
    case 0x0131:
        return 0xFD;
    case 0x015F:
        return 0xFE;
    default:
        return -1;
    }
}

} // namespace

namespace cp1254 {

QString toUnicode(const char *bytes, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = QChar(kTable.toUnicode[static_cast<unsigned char>(bytes[i])]);
    return out;
}

QByteArray fromUnicode(const QString &text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = unicodeToByte(text.at(i).unicode());
        out[i] = static_cast<char>(b < 0 ? '?' : b);
    }
    return out;
}

bool canEncode(QChar ch) {
    return unicodeToByte(ch.unicode()) >= 0;
}

bool canEncode(const QString &text) {
    return firstUnencodable(text).isNull();
}

QChar firstUnencodable(const QString &text) {
    for (QChar ch : text)
        if (!canEncode(ch))
            return ch;
    return {};
}

} // namespace cp1254
