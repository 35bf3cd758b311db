#include "WorkbookReader.h"

#include "offers/TextWorkbook.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class TextWorkbookTest : public ::testing::Test {
protected:
    QString folder() const { return m_dir.filePath(u"exports"_s); }
    QString pathFor(int attempt) const {
        return folder() + u"/kitap"_s +
               (attempt > 1 ? u"-"_s + QString::number(attempt) : QString()) + u".xlsx"_s;
    }
    // Every file in the folder, hidden ones too.
    QStringList filesInFolder() const {
        return QDir(folder()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(TextWorkbookTest, CellsReadBackAsTheExactTexts) {
    const std::vector<std::vector<QString>> rows = {
        {u"Tarih"_s, u"Adı ve Soyadı"_s, u"Cep Tel"_s},
        {u"05321234567"_s, u"ŞİĞÜÖÇ şığüöç"_s, u"0"_s},
        {u"12.50"_s, u"=1+1"_s, u"1E5"_s},
        {u"  iki boşluk  "_s, u"a<b & c>d \"'"_s, u"satır\nsonu\tsekme"_s},
    };
    TextWorkbook book(folder());
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            book.write(static_cast<int>(r), static_cast<int>(c), rows[r][c]);
    book.write(4, 1, QString()); // an empty text: an empty cell, yet the row counts
    book.write(5, 0, u"son"_s);
    book.close();
    const QString path = book.keep([&](int attempt) { return pathFor(attempt); });
    EXPECT_EQ(path, pathFor(1));

    const workbook::Sheet sheet = workbook::firstSheet(path);
    auto expected = rows;
    expected.push_back({});
    expected.push_back({u"son"_s});
    EXPECT_EQ(sheet.rows, expected);
    // Strings only: a number, a formula or a date would lose what the text says.
    EXPECT_EQ(sheet.cellTypes, std::set<QString>{u"inlineStr"_s});
    EXPECT_EQ(filesInFolder(), QStringList{u"kitap.xlsx"_s});
    // Readable as any other new file, not only by its owner as a temporary file would be.
    QFile other(folder() + u"/other"_s);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    EXPECT_EQ(QFileInfo(path).permissions(), other.permissions());
}

// The rows stream to disk as they come, and the widths are set only at the end: they must
// still land in the file.
TEST_F(TextWorkbookTest, ColumnsAreAsWideAsTheirWidestText) {
    TextWorkbook book(folder());
    book.write(0, 0, u"Tarih"_s);
    book.write(0, 1, u"E-Posta"_s);
    book.write(1, 0, u"01.02.2024"_s);
    book.write(1, 1, u"kisa@x.tr"_s);
    book.write(2, 1, u"cok.uzun.bir.adres@ornek-firma.com.tr"_s);
    book.write(
        3, 3,
        u"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"
        u"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"
        u"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"_s);
    book.close();
    const workbook::Sheet sheet =
        workbook::firstSheet(book.keep([&](int attempt) { return pathFor(attempt); }));

    ASSERT_EQ(sheet.widths.size(), 3u); // column 2 has no text: the default width
    EXPECT_GE(sheet.widths.at(0), 10);  // ten characters of a date, digits and dots
    EXPECT_LT(sheet.widths.at(0), 13);
    EXPECT_GE(sheet.widths.at(1),
              TextWorkbook::columnWidthFor(u"cok.uzun.bir.adres@ornek-firma.com.tr"_s));
    EXPECT_LE(sheet.widths.at(1), 40);
    EXPECT_LE(sheet.widths.at(3), 256); // the program's limit
}

TEST_F(TextWorkbookTest, AWorkbookNotKeptLeavesNoFile) {
    {
        TextWorkbook dropped(folder()); // an export that failed before writing
        dropped.write(0, 0, u"Tarih"_s);
        dropped.write(1, 0, u"x"_s);
    }
    {
        TextWorkbook written(folder()); // one that failed after it was written
        written.write(0, 0, u"Tarih"_s);
        written.close();
        EXPECT_EQ(filesInFolder().size(), 1u); // the hidden temporary file
    }
    EXPECT_EQ(filesInFolder(), QStringList());
}

TEST_F(TextWorkbookTest, KeepingNeverReplacesAnExistingFile) {
    QDir().mkpath(folder());
    QFile earlier(pathFor(1));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier export");
    earlier.close();

    for (int book = 2; book <= 3; ++book) {
        TextWorkbook next(folder());
        next.write(0, 0, u"Tarih"_s);
        next.close();
        EXPECT_EQ(next.keep([&](int attempt) { return pathFor(attempt); }), pathFor(book));
    }
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "earlier export");
    EXPECT_EQ(workbook::firstSheet(pathFor(3)).rows,
              (std::vector<std::vector<QString>>{{u"Tarih"_s}}));
}

TEST_F(TextWorkbookTest, AFolderThatCannotBeMadeFailsAtOnce) {
    // A file where the folder should be: no folder can be made there, even by root.
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        TextWorkbook book(folder());
        ADD_FAILURE() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.text().startsWith(
            u"Error creating output xlsx file. Usually a permissions error. ("_s +
            QDir::toNativeSeparators(folder())))
            << e.text().toStdString();
    }
}

TEST_F(TextWorkbookTest, RowsEndWhereTheSheetEnds) {
    TextWorkbook book(folder());
    book.write(1048575, 0, u"son satır"_s); // row 1,048,576: the last one a sheet has
    try {
        book.write(1048576, 0, u"bir fazla"_s);
        ADD_FAILURE() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), u"Worksheet row or column index out of range."_s);
    }
}
