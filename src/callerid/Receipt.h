#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <vector>

class QDateTime;
class QPainter;
class QPrinter;
class QPrinterInfo;

// What a caller receipt shows, gathered by the caller from the card and the datasets.
struct ReceiptInput {
    QString name;
    QString phone1; // "Telefon-1"
    QString phone2; // "Telefon-2"
    QString phone3; // "Telefon-3"
    QString company;
    QStringList addressLines;
    QStringList noteLines;
    QString dateTime; // see receiptDateTimeText()
    QString serialNumber;
};

// The resolution the receipt's layout is drawn at: a receipt printer's 180 dpi. There the
// 30-pixel steps of the address and note lines clear their 11- and 10-point letters (at 203
// dpi an accented capital meets the descenders of the line above). The receipt asks the
// printer for it; on a device of another resolution every position is mapped onto the same
// spot of the paper.
constexpr int receiptDpi = 180;

// One printed line: its left edge at x and its top edge at y, in device pixels of a
// receiptDpi printer from the top left corner of the printable area; the font size in points.
struct ReceiptLine {
    QString text;
    QString family;
    int points = 0;
    bool bold = true;
    int x = 0;
    int y = 0;
};

inline bool operator==(const ReceiptLine &a, const ReceiptLine &b) {
    return a.text == b.text && a.family == b.family && a.points == b.points && a.bold == b.bold &&
           a.x == b.x && a.y == b.y;
}

// The receipt's lines in order, in the one fixed layout: the name at the top, the phones
// and the company when given, "ADRES :" and the address, "NOTU :" and the note, an empty
// band, the date line with the serial number and the closing line.
std::vector<ReceiptLine> receiptLayout(const ReceiptInput &input);

// The lines of a memo's text, as a memo counts them: a final line break ends the last line
// and starts no new one; an empty text has no lines.
QStringList receiptMemoLines(const QString &memoText);

// The date and time as the receipt prints them: the user's locale's date-and-time text.
QString receiptDateTimeText(const QDateTime &when);

// The receipt's font: "Courier New", or a monospace font with its metrics where the system
// has no Courier New.
QFont receiptFont(const QString &family, int points, bool bold);

// Draws the lines on the painter's device: at a device resolution of receiptDpi at their
// very pixels, at another one each position scaled to that resolution (rounded to the
// nearest pixel); the fonts keep their sizes in points.
void paintReceipt(QPainter &painter, const std::vector<ReceiptLine> &lines);

// Prints one receipt as one job on the printer, at receiptDpi when the printer takes that
// resolution. Throws Error when the job cannot be started or completed.
void printReceipt(const ReceiptInput &input, QPrinter &printer);

// Prints one receipt on the printer described by info; no title, paper, orientation or copy
// count is set. Throws Error when info is null (no printer) or the job fails.
void printReceipt(const ReceiptInput &input, const QPrinterInfo &info);

// Prints one receipt on the system's default printer. Throws Error "There is no default
// printer currently selected" when there is none.
void printReceipt(const ReceiptInput &input);
