#pragma once

// ISO-8859-9 (latin5) is ISO-8859-1 with six Turkish letters in place of Icelandic ones;
// Windows-1254 adds printable characters in 0x80-0x9F on top of it.
constexpr char16_t latin5ToUnicode(unsigned char b) {
    switch (b) {
    case 0xD0:
        return 0x011E; // Ğ
    case 0xDD:
        return 0x0130; // İ
    case 0xDE:
        return 0x015E; // Ş
    case 0xF0:
        return 0x011F; // ğ
    case 0xFD:
        return 0x0131; // ı
    case 0xFE:
        return 0x015F; // ş
    default:
        return b;
    }
}
