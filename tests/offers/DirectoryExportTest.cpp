#include "ExportFixture.h"

#include "offers/DirectoryExport.h"
#include "platform/Error.h"
#include "platform/SystemLocale.h"
#include "platform/XmlDocument.h"

using namespace Qt::StringLiterals;

namespace {

const QStringList kHeaders = {u"Tarih"_s,   u"Adı ve Soyadı"_s, u"Firma"_s,
                              u"Cep Tel"_s, u"Cep Tel2"_s,      u"E-Posta"_s};
const QDateTime kNow(QDate(2024, 3, 5), QTime(14, 7, 9));

QString shortDate(int year, int month, int day) {
    return systemLocale().toString(QDate(year, month, day), QLocale::ShortFormat);
}

std::vector<QString> row(const QStringList &texts) {
    return std::vector<QString>(texts.begin(), texts.end());
}

class DirectoryExportTest : public ExportTest {
protected:
    QString runExport(const QDateTime &now = kNow) {
        DirectoryExport directoryExport(ZQuery2, document, folder());
        return directoryExport.run(now);
    }

    // A search in force, left on its second record, as the search tab leaves it.
    void searchInForce() {
        ZQuery2.setSQL("select * from rehber where adsoyad like 'A%' order by adsoyad");
        ZQuery2.open();
        ZQuery2.next();
    }
    void expectSearchUnchanged() {
        EXPECT_EQ(ZQuery2.SQL(), "select * from rehber where adsoyad like 'A%' order by adsoyad");
        ASSERT_TRUE(ZQuery2.active());
        EXPECT_EQ(ZQuery2.currentRow(), 1);
        EXPECT_FALSE(ZQuery2.eof());
    }

    // A record of the columns the export reads and two it does not; nullptr is null.
    void insert(std::initializer_list<const char *> values) {
        QByteArray list;
        for (const char *value : values) {
            if (!list.isEmpty())
                list += ", ";
            list += value ? "'" + win(value).replace("'", "''") + "'" : QByteArray("NULL");
        }
        db.exec("INSERT INTO rehber (tarih, adsoyad, firmaad, gsmtel1, gsmtel2, eposta, grup, "
                "ili, firmatel, adres1) VALUES (" +
                list + ")");
    }

    XmlDocument document;
};

} // namespace

TEST_F(DirectoryExportTest, AnEmptyDirectoryGivesAnEmptyListAndTheHeaderRow) {
    const QString workbook = runExport();
    EXPECT_EQ(workbook, exportsFolder() + u"/rehber-20240305-140709.xlsx"_s);
    EXPECT_TRUE(customersInXml().empty());
    EXPECT_TRUE(xmlBytes().startsWith("<customers")) << xmlBytes().constData();
    const workbook::Sheet sheet = workbook::firstSheet(workbook);
    EXPECT_EQ(sheet.rows, std::vector<std::vector<QString>>{row(kHeaders)});
    EXPECT_EQ(ZQuery2.SQL(), "Select * from rehber order by tarih desc");
    EXPECT_TRUE(ZQuery2.active());
    EXPECT_TRUE(ZQuery2.eof());
    EXPECT_EQ(exportFiles(), QStringList{u"rehber-20240305-140709.xlsx"_s});
}

// Both files hold every record, newest first, with nulls as empty texts; records of one day
// come in the database's order; Turkish letters arrive as the same characters.
TEST_F(DirectoryExportTest, EveryRecordReachesBothFilesAsText) {
    // tarih, adsoyad, firmaad, gsmtel1, gsmtel2, eposta, grup, ili, firmatel, adres1
    insert({"2022-12-31", "a<b & c>d", "\"Tırnak\" 'Firma'", "0", "00", "x@y", "G", "I",
            "02121111111", "Adres"});
    insert(
        {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr});
    insert({"2024-03-05", "Şükrü Işık", "Çağ Lokantası", "05321234567", nullptr, "sukru@cag.com.tr",
            "Restoran", "İzmir", nullptr, nullptr});
    insert({"2023-01-01", "", "", "", "", "", "", "", "", ""});
    insert({"2024-03-05", "Ayşe Öğün", "ĞÜŞİÖÇ", "05551112233", "05441112233", "ayse@ogun.com",
            "Büfe", "Muğla", nullptr, nullptr});
    const QString workbook = runExport();

    // The day of the first two is the same: the server's order decides.
    std::vector<QString> sameDay;
    for (const auto &r : db.query("Select adsoyad from rehber order by tarih desc"))
        if (sameDay.size() < 2)
            sameDay.push_back(cp1254::toUnicode(*r[0]));
    const QStringList sukru = {
        u"Şükrü Işık"_s,       u"Çağ Lokantası"_s,    u"05321234567"_s, u""_s,
        u"sukru@cag.com.tr"_s, shortDate(2024, 3, 5), u"Restoran"_s,    u"İzmir"_s};
    const QStringList ayse = {u"Ayşe Öğün"_s,   u"ĞÜŞİÖÇ"_s,        u"05551112233"_s,
                              u"05441112233"_s, u"ayse@ogun.com"_s, shortDate(2024, 3, 5),
                              u"Büfe"_s,        u"Muğla"_s};
    std::vector<std::vector<QString>> expected;
    for (const QString &name : sameDay)
        expected.push_back(row(name == sukru.front() ? sukru : ayse));
    expected.push_back(
        row({u""_s, u""_s, u""_s, u""_s, u""_s, shortDate(2023, 1, 1), u""_s, u""_s}));
    expected.push_back(row({u"a<b & c>d"_s, u"\"Tırnak\" 'Firma'"_s, u"0"_s, u"00"_s, u"x@y"_s,
                            shortDate(2022, 12, 31), u"G"_s, u"I"_s}));
    expected.push_back(row({u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s}));
    EXPECT_EQ(customersInXml(), expected);

    // UTF-8 with no declaration, no indentation and no line breaks.
    const QByteArray bytes = xmlBytes();
    EXPECT_TRUE(bytes.startsWith("<customers><customer><adsoyad>")) << bytes.constData();
    EXPECT_FALSE(bytes.contains('\n'));
    EXPECT_FALSE(bytes.contains("  "));
    EXPECT_TRUE(bytes.contains(u"Şükrü Işık"_s.toUtf8()) ||
                bytes.contains(u"Ayşe Öğün"_s.toUtf8()));
    EXPECT_TRUE(bytes.contains(u"<ili>İzmir</ili>"_s.toUtf8()));

    // The sheet: the header row, then date, name, company and the three contacts of each.
    std::vector<std::vector<QString>> sheetRows = {row(kHeaders)};
    for (const auto &customer : expected) {
        std::vector<QString> cells = {customer[5], customer[0], customer[1],
                                      customer[2], customer[3], customer[4]};
        while (!cells.empty() && cells.back().isEmpty())
            cells.pop_back(); // a row ends with its last cell that holds a text
        sheetRows.push_back(cells);
    }
    sheetRows.pop_back(); // the record without a text is the last row: an empty one
    const workbook::Sheet sheet = workbook::firstSheet(workbook);
    EXPECT_EQ(sheet.rows, sheetRows);
    EXPECT_EQ(sheet.cellTypes, std::set<QString>{u"inlineStr"_s}); // "0532..." keeps its zero
    EXPECT_EQ(sheet.widths.size(), 6u);

    // The dataset stays open on the directory, at its end.
    EXPECT_EQ(ZQuery2.recordCount(), 5);
    EXPECT_EQ(ZQuery2.currentRow(), 4);
    EXPECT_TRUE(ZQuery2.eof());
}

// Each run is a complete export of its own: the XML file rewritten, a new workbook beside the
// earlier ones, with a suffix when two fall in one second.
TEST_F(DirectoryExportTest, EachRunWritesANewWorkbookAndRewritesTheXmlFile) {
    db.exec("INSERT INTO rehber (tarih, adsoyad) VALUES ('2024-01-01', 'Birinci')");
    const QString first = runExport();
    db.exec("INSERT INTO rehber (tarih, adsoyad) VALUES ('2024-02-01', 'Ikinci')");
    const QString second = runExport();
    const QString third = runExport(kNow.addSecs(1));

    EXPECT_EQ(exportFiles(),
              (QStringList{u"rehber-20240305-140709-2.xlsx"_s, u"rehber-20240305-140709.xlsx"_s,
                           u"rehber-20240305-140710.xlsx"_s}));
    EXPECT_EQ(second, exportsFolder() + u"/rehber-20240305-140709-2.xlsx"_s);
    EXPECT_EQ(workbook::firstSheet(first).rows.size(), 2u);
    EXPECT_EQ(workbook::firstSheet(third).rows.size(), 3u);
    const auto customers = customersInXml();
    ASSERT_EQ(customers.size(), 2u);
    EXPECT_EQ(customers[0][0], u"Ikinci"_s);
}

TEST_F(DirectoryExportTest, AWorkbookThatCannotBeCreatedStopsBeforeAnythingElse) {
    db.exec("INSERT INTO rehber (tarih, adsoyad) VALUES ('2024-01-01', 'Ali'), (NULL, 'Ayla')");
    searchInForce();
    QFile blocker(exportsFolder()); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    try {
        runExport();
        ADD_FAILURE() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(
            e.text().startsWith(u"Error creating output xlsx file. Usually a permissions error."_s))
            << e.text().toStdString();
    }
    EXPECT_FALSE(QFile::exists(xmlPath()));
    expectSearchUnchanged();
}

TEST_F(DirectoryExportTest, AFailingQueryWritesNeitherFile) {
    db.exec("INSERT INTO rehber (tarih, adsoyad) VALUES ('2024-01-01', 'Ali')");
    runExport(); // an earlier export's files stay as they were
    const QByteArray earlierXml = xmlBytes();
    db.exec("ALTER TABLE rehber RENAME TO rehber_eski");

    try {
        runExport(kNow.addSecs(60));
        ADD_FAILURE() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.text().startsWith(u"SQL Error: "_s)) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains(u"rehber"_s)) << e.text().toStdString();
    }
    EXPECT_EQ(xmlBytes(), earlierXml);
    EXPECT_EQ(exportFiles(), QStringList{u"rehber-20240305-140709.xlsx"_s});
}

TEST_F(DirectoryExportTest, AnXmlFileThatCannotBeWrittenKeepsNoWorkbook) {
    db.exec("INSERT INTO rehber (tarih, adsoyad) VALUES ('2024-01-01', 'Ali'), (NULL, 'Ayla')");
    ASSERT_TRUE(QDir().mkpath(xmlPath())); // a folder where the file should be

    try {
        runExport();
        ADD_FAILURE() << "no error";
    } catch (const Error &e) {
        // The file system's text, naming the file.
        EXPECT_TRUE(e.text().contains(xmlPath())) << e.text().toStdString();
    }
    EXPECT_EQ(exportFiles(), QStringList());
    EXPECT_TRUE(QFileInfo(xmlPath()).isDir());
    // The walk has run: the dataset is open on the directory, at its end.
    EXPECT_EQ(ZQuery2.SQL(), "Select * from rehber order by tarih desc");
    EXPECT_EQ(ZQuery2.recordCount(), 2);
    EXPECT_EQ(ZQuery2.currentRow(), 1);
    EXPECT_TRUE(ZQuery2.eof());
}
