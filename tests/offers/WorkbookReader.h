#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <set>
#include <vector>

// What a spreadsheet program reads from an .xlsx file (a zip of XML parts), as far as the
// tests look: the parts by name, the first worksheet's cells and its column widths.
namespace workbook {

// The part's bytes, or nullopt when the file is no zip or holds no such part.
std::optional<QByteArray> part(const QString &path, const char *partName);

struct Sheet {
    // Texts by row and column from 0, up to the last cell of each row; "" where a row has
    // no cell.
    std::vector<std::vector<QString>> rows;
    // Every cell's type as the file gives it ("inlineStr", "s", "n", "" for none, ...).
    std::set<QString> cellTypes;
    // Column width by column from 0, where the file sets one.
    std::map<int, double> widths;
};

// The first worksheet; fails the calling test (and returns nothing) when it cannot be read.
Sheet firstSheet(const QString &path);

} // namespace workbook
