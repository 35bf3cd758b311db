#include "callerid/Receipt.h"

#include "platform/Error.h"
#include "platform/SystemLocale.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

constexpr int kLeft = 20;
constexpr int kHeadPoints = 14;
constexpr int kAddressPoints = 11;
constexpr int kNotePoints = 10;
constexpr int kBlankLines = 6;

QString courierNew() {
    return QStringLiteral("Courier New");
}

// The printer's name, or the file a PDF printer writes.
QString jobTarget(const QPrinter &printer) {
    return printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
}

} // namespace

std::vector<ReceiptLine> receiptLayout(const ReceiptInput &input) {
    std::vector<ReceiptLine> lines;
    int y = 0;
    int points = kHeadPoints;
    const auto print = [&](const QString &text) {
        lines.push_back({text, courierNew(), points, true, kLeft, y});
    };

    print(input.name);
    y = 50;
    for (const QString *phone : {&input.phone1, &input.phone2, &input.phone3}) {
        if (!phone->isEmpty()) {
            print(*phone);
            y += 50;
        }
    }
    if (!input.company.isEmpty()) {
        print(input.company);
        y += 100;
    }
    print(QStringLiteral("ADRES :"));

    points = kAddressPoints;
    y += 50;
    for (const QString &line : input.addressLines) {
        print(line);
        y += 30;
    }

    points = kNotePoints;
    y += 50;
    print(QStringLiteral("NOTU :"));
    y += 50;
    for (const QString &line : input.noteLines) {
        print(line);
        y += 30;
    }
    for (int i = 0; i < kBlankLines; ++i) {
        print(QStringLiteral("  "));
        y += 30;
    }

    y += 50;
    print(input.dateTime + QStringLiteral(" SNO : ") + input.serialNumber);
    y += 50;
    print(QStringLiteral("Bilgi fişidir mali değeri yoktur"));
    return lines;
}

QStringList receiptMemoLines(const QString &memoText) {
    if (memoText.isEmpty())
        return {};
    QString text = memoText;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(u'\n');
    if (text.endsWith(u'\n'))
        lines.removeLast();
    return lines;
}

QString receiptDateTimeText(const QDateTime &when) {
    return systemLocale().toString(when, QLocale::ShortFormat);
}

QFont receiptFont(const QString &family, int points, bool bold) {
    QFont font;
    // Liberation Mono has Courier New's metrics; it stands in where Courier New is missing.
    font.setFamilies({family, QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

void paintReceipt(QPainter &painter, const std::vector<ReceiptLine> &lines) {
    const QPaintDevice *device = painter.device();
    const double scaleX = double(device->logicalDpiX()) / receiptDpi;
    const double scaleY = double(device->logicalDpiY()) / receiptDpi;
    painter.save();
    for (const ReceiptLine &line : lines) {
        painter.setFont(receiptFont(line.family, line.points, line.bold));
        // Text is drawn from its baseline; the line's y is the top of its character cell.
        const QFontMetrics metrics(painter.font(), device);
        const int left = qRound(line.x * scaleX);
        const int top = qRound(line.y * scaleY);
        painter.drawText(QPoint(left, top + metrics.ascent()), line.text);
    }
    painter.restore();
}

void printReceipt(const ReceiptInput &input, QPrinter &printer) {
    // At a printer's full resolution (1200 dpi on a CUPS queue) the pixel layout would
    // crowd every line into the top centimetres of the page.
    printer.setResolution(receiptDpi);
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw Error(QStringLiteral("Unable to start a print job on ") + jobTarget(printer));
    }
    paintReceipt(painter, receiptLayout(input));
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        throw Error(QStringLiteral("The print job on ") + jobTarget(printer) +
                    QStringLiteral(" failed"));
    }
}

void printReceipt(const ReceiptInput &input, const QPrinterInfo &info) {
    if (info.isNull())
        throw Error(QStringLiteral("There is no default printer currently selected"));
    QPrinter printer(info, QPrinter::HighResolution);
    printReceipt(input, printer);
}

void printReceipt(const ReceiptInput &input) {
    printReceipt(input, QPrinterInfo::defaultPrinter());
}
