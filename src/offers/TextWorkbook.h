#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;

// A new workbook of one worksheet whose cells are all text strings, so that a number such as
// "0532..." keeps its leading zero. Rows are written in order and streamed to disk as they
// come, which keeps memory flat for any number of rows. The file is written under a hidden
// temporary name in the target folder and gets its real name only when kept; a workbook that
// is dropped before leaves no file behind.
//
// Every failure throws Error with the workbook library's own text.
class TextWorkbook {
public:
    // Creates the folder when missing and the workbook's temporary file in it.
    explicit TextWorkbook(const QString &folder);
    ~TextWorkbook();
    TextWorkbook(const TextWorkbook &) = delete;
    TextWorkbook &operator=(const TextWorkbook &) = delete;

    // Row and column count from 0. A row may not be written after a later one; an empty text
    // leaves the cell empty.
    void write(int row, int column, const QString &text);

    // Sets every written column's width from its widest text, then writes the whole file
    // under its temporary name.
    void close();

    // Gives the closed workbook the first free name of nameFor(1), nameFor(2), ... and
    // returns it; an existing file is never replaced.
    QString keep(const std::function<QString(int attempt)> &nameFor);

    // The width, in the sheet's units (widths of a digit), that shows the text whole.
    static double columnWidthFor(const QString &text);

private:
    void check(int error) const;

    QString m_temporaryPath;
    bool m_kept = false;
    QByteArray m_folderName;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    std::vector<double> m_widths;
};
