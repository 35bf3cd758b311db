#include "platform/TextEncoding.h"

#include "platform/Cp1254.h"
#include "platform/Error.h"
#include "platform/Latin5.h"

#include <QStringDecoder>

namespace textencoding {

namespace {

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes, const char *what,
                   Malformed malformed) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError() && malformed == Malformed::Throw)
        throw Error(QStringLiteral("The text is not valid %1").arg(QLatin1StringView(what)));
    return text;
}

} // namespace

std::optional<Encoding> encodingNamed(QByteArrayView name) {
    const QByteArray n = name.toByteArray().trimmed().toLower();
    if (n == "utf-8" || n == "utf8")
        return Encoding::Utf8;
    if (n == "utf-16" || n == "utf-16le" || n == "utf16" || n == "unicode")
        return Encoding::Utf16LE;
    if (n == "utf-16be")
        return Encoding::Utf16BE;
    if (n == "iso-8859-9" || n == "iso8859-9" || n == "iso_8859-9" || n == "latin5" || n == "l5" ||
        n == "iso-ir-148" || n == "csisolatin5" || n == "iso_8859-9:1989")
        return Encoding::Iso8859_9;
    if (n == "windows-1254" || n == "cp1254" || n == "x-cp1254")
        return Encoding::Windows1254;
    if (n == "iso-8859-1" || n == "iso8859-1" || n == "iso_8859-1" || n == "latin1" || n == "l1" ||
        n == "iso-ir-100" || n == "csisolatin1" || n == "us-ascii" || n == "ascii" ||
        n == "iso_8859-1:1987")
        return Encoding::Iso8859_1;
    return std::nullopt;
}

QString decode(QByteArrayView bytes, Encoding encoding, Malformed malformed) {
    switch (encoding) {
    case Encoding::Utf8:
        return decodeWith(QStringConverter::Utf8, bytes, "UTF-8", malformed);
    case Encoding::Utf16LE:
        return decodeWith(QStringConverter::Utf16LE, bytes, "UTF-16", malformed);
    case Encoding::Utf16BE:
        return decodeWith(QStringConverter::Utf16BE, bytes, "UTF-16", malformed);
    case Encoding::Windows1254:
        return cp1254::toUnicode(bytes.data(), bytes.size());
    case Encoding::Iso8859_1:
        return QString::fromLatin1(bytes);
    case Encoding::Iso8859_9: {
        QString text(bytes.size(), Qt::Uninitialized);
        QChar *out = text.data();
        for (const char b : bytes)
            *out++ = QChar(latin5ToUnicode(static_cast<unsigned char>(b)));
        return text;
    }
    }
    return {};
}

std::optional<ByteOrderMark> byteOrderMark(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return ByteOrderMark{Encoding::Utf8, 3};
    if (bytes.startsWith("\xFF\xFE"))
        return ByteOrderMark{Encoding::Utf16LE, 2};
    if (bytes.startsWith("\xFE\xFF"))
        return ByteOrderMark{Encoding::Utf16BE, 2};
    return std::nullopt;
}

} // namespace textencoding
