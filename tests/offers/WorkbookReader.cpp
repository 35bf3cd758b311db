#include "WorkbookReader.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <memory>

namespace workbook {

namespace {

// "C12" -> column 2 (from 0).
int columnOf(QStringView reference) {
    int column = 0;
    for (QChar ch : reference) {
        if (!ch.isLetter())
            break;
        column = column * 26 + (ch.unicode() - u'A' + 1);
    }
    return column - 1;
}

// A cell text's escapes of characters XML cannot hold ("_x0001_").
QString unescaped(QString text) {
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QRegularExpressionMatch match;
    qsizetype from = 0;
    while ((match = escape.match(text, from)).hasMatch()) {
        const QChar ch(static_cast<char16_t>(match.captured(1).toUShort(nullptr, 16)));
        text.replace(match.capturedStart(), match.capturedLength(), ch);
        from = match.capturedStart() + 1;
    }
    return text;
}

} // namespace

std::optional<QByteArray> part(const QString &path, const char *partName) {
    std::unique_ptr<void, int (*)(unzFile)> zip(unzOpen64(QFile::encodeName(path).constData()),
                                                unzClose);
    if (!zip || unzLocateFile(zip.get(), partName, 1) != UNZ_OK ||
        unzOpenCurrentFile(zip.get()) != UNZ_OK)
        return std::nullopt;
    QByteArray bytes;
    char buffer[65536];
    int read = 0;
    while ((read = unzReadCurrentFile(zip.get(), buffer, sizeof buffer)) > 0)
        bytes.append(buffer, read);
    const bool whole = read == 0 && unzCloseCurrentFile(zip.get()) == UNZ_OK;
    return whole ? std::optional<QByteArray>(bytes) : std::nullopt;
}

Sheet firstSheet(const QString &path) {
    Sheet sheet;
    const auto xml = part(path, "xl/worksheets/sheet1.xml");
    if (!xml) {
        ADD_FAILURE() << "no worksheet in " << path.toStdString();
        return sheet;
    }
    QXmlStreamReader reader(*xml);
    int row = -1;
    int column = -1;
    QString text;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto attributes = reader.attributes();
            if (reader.name() == u"col") {
                const double width = attributes.value(QLatin1String("width")).toDouble();
                for (int c = attributes.value(QLatin1String("min")).toInt();
                     c <= attributes.value(QLatin1String("max")).toInt(); ++c)
                    sheet.widths[c - 1] = width;
            } else if (reader.name() == u"row") {
                row = attributes.value(QLatin1String("r")).toInt() - 1;
                if (static_cast<int>(sheet.rows.size()) <= row)
                    sheet.rows.resize(static_cast<size_t>(row) + 1);
            } else if (reader.name() == u"c") {
                column = columnOf(attributes.value(QLatin1String("r")));
                sheet.cellTypes.insert(attributes.value(QLatin1String("t")).toString());
                text.clear();
            } else if (reader.name() == u"t" || reader.name() == u"v") {
                text += reader.readElementText(QXmlStreamReader::IncludeChildElements);
            }
        } else if (reader.isEndElement() && reader.name() == u"c") {
            auto &cells = sheet.rows[static_cast<size_t>(row)];
            if (static_cast<int>(cells.size()) <= column)
                cells.resize(static_cast<size_t>(column) + 1);
            cells[static_cast<size_t>(column)] = unescaped(text);
        }
    }
    if (reader.hasError())
        ADD_FAILURE() << "worksheet of " << path.toStdString()
                      << " is not well-formed: " << reader.errorString().toStdString();
    return sheet;
}

} // namespace workbook
