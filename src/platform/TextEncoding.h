#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The character encodings that documents and answers from outside reach the program in, and
// their decoding to UTF-16. ISO-8859-9 and Windows-1254 differ only in bytes 0x80-0x9F
// (controls in the one, typographic signs in the other), so each has its own table.
namespace textencoding {

enum class Encoding { Utf8, Utf16LE, Utf16BE, Iso8859_9, Windows1254, Iso8859_1 };

// The encoding an XML declaration or a charset parameter names, letter case ignored, with
// the common aliases ("latin5", "cp1254", "utf8", ...); none for a name it does not know.
std::optional<Encoding> encodingNamed(QByteArrayView name);

enum class Malformed { Throw, Replace };

// Decodes bytes that carry no byte order mark. Malformed UTF-8 or UTF-16 throws Error (a
// document is refused rather than read with replacement characters) or, when asked, reads
// as U+FFFD.
QString decode(QByteArrayView bytes, Encoding encoding, Malformed malformed = Malformed::Throw);

// A byte order mark at the start of bytes: its encoding and length.
struct ByteOrderMark {
    Encoding encoding;
    qsizetype length;
};
std::optional<ByteOrderMark> byteOrderMark(QByteArrayView bytes);

} // namespace textencoding
