#include "offers/DirectoryExport.h"

#include "offers/TextWorkbook.h"
#include "platform/Cp1254.h"
#include "platform/XmlDocument.h"
#include "store/TZQuery.h"

#include <array>
#include <exception>
#include <future>
#include <vector>

namespace {

// The children of each customer element, in their order, and the column each holds.
struct Child {
    const char *element;
    const char *column;
};
constexpr std::array<Child, 8> kChildren = {{{"adsoyad", "adsoyad"},
                                             {"firma", "firmaad"},
                                             {"gsmtel1", "gsmtel1"},
                                             {"gsmtel2", "gsmtel2"},
                                             {"eposta", "eposta"},
                                             {"tarih", "tarih"},
                                             {"grup", "grup"},
                                             {"ili", "ili"}}};

// The worksheet's columns: the header in row 1 and the child whose column fills it.
struct SheetColumn {
    const char16_t *header;
    int child;
};
constexpr std::array<SheetColumn, 6> kSheetColumns = {{{u"Tarih", 5},
                                                       {u"Adı ve Soyadı", 0},
                                                       {u"Firma", 1},
                                                       {u"Cep Tel", 2},
                                                       {u"Cep Tel2", 3},
                                                       {u"E-Posta", 4}}};

// The texts of the eight columns, row by row, as the dataset's fields read them. They are
// read by position, not by moving the dataset's cursor, which would make every view of the
// search dataset follow each move; so the dataset stays untouched and two threads can read
// it at once. Texts made through the system's locale (dates) are made once, up front, on
// the calling thread.
class RowTexts {
public:
    // Fails with the dataset's error when a column is missing.
    explicit RowTexts(TZQuery &dataset)
        : m_dataset(dataset) {
        for (size_t i = 0; i < kChildren.size(); ++i) {
            m_fields[i] = dataset.fieldByName(kChildren[i].column).index();
            if (!madeThroughLocale(dataset.fieldDef(m_fields[i]).type))
                continue;
            m_made[i].reserve(static_cast<size_t>(dataset.rowCount()));
            for (int row = 0; row < dataset.rowCount(); ++row)
                m_made[i].push_back(read(row, i));
        }
    }

    int rows() const { return m_dataset.rowCount(); }

    // The text of the row's column that fills the child.
    QString at(int row, size_t child) const {
        if (!m_made[child].empty())
            return m_made[child][static_cast<size_t>(row)];
        return read(row, child);
    }

private:
    static bool madeThroughLocale(FieldType type) {
        return type == FieldType::Date || type == FieldType::Time || type == FieldType::DateTime ||
               type == FieldType::Float;
    }
    QString read(int row, size_t child) const {
        return cp1254::toUnicode(m_dataset.textAt(row, m_fields[child]));
    }

    const TZQuery &m_dataset;
    std::array<int, kChildren.size()> m_fields{};
    std::array<std::vector<QString>, kChildren.size()> m_made;
};

void fillSheet(TextWorkbook &workbook, const RowTexts &texts) {
    for (int row = 0; row < texts.rows(); ++row) {
        for (size_t column = 0; column < kSheetColumns.size(); ++column)
            workbook.write(row + 1, static_cast<int>(column),
                           texts.at(row, static_cast<size_t>(kSheetColumns[column].child)));
    }
}

void fillDocument(XmlDocument &document, const RowTexts &texts) {
    std::array<QString, kChildren.size()> names;
    for (size_t i = 0; i < kChildren.size(); ++i)
        names[i] = QString::fromLatin1(kChildren[i].element);
    const QString customerName = QStringLiteral("customer");

    XmlNode customers = document.setDocumentElement(QStringLiteral("customers"));
    for (int row = 0; row < texts.rows(); ++row) {
        XmlNode customer = customers.appendChild(customerName);
        for (size_t i = 0; i < kChildren.size(); ++i)
            customer.appendChild(names[i]).setText(texts.at(row, i));
    }
}

} // namespace

DirectoryExport::DirectoryExport(TZQuery &ZQuery2, XmlDocument &document, const QString &folder)
    : ZQuery2(ZQuery2)
    , m_document(document)
    , m_folder(folder) {}

QString DirectoryExport::workbookPath(const QString &folder, const QDateTime &time, int attempt) {
    QString name = QStringLiteral("rehber-") + time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (attempt > 1)
        name += QLatin1Char('-') + QString::number(attempt);
    return folder + QStringLiteral("/exports/") + name + QStringLiteral(".xlsx");
}

QString DirectoryExport::run(const QDateTime &now) {
    TextWorkbook workbook(m_folder + QStringLiteral("/exports"));
    for (size_t column = 0; column < kSheetColumns.size(); ++column)
        workbook.write(0, static_cast<int>(column),
                       QString::fromUtf16(kSheetColumns[column].header));
    passed(Step::WorkbookCreated);

    ZQuery2.setSQL(kStatement);
    ZQuery2.open();
    passed(Step::DirectoryOpened);

    const RowTexts texts(ZQuery2);

    // The two files are written side by side: the worksheet is filled and compressed on a
    // second thread while this one builds and saves the XML document. Both only read the
    // dataset's rows, which nothing changes until both are done.
    std::future<void> sheet = std::async(std::launch::async, [&] {
        fillSheet(workbook, texts);
        passed(Step::SheetFilled);
        workbook.close();
        passed(Step::WorkbookWritten);
    });
    std::exception_ptr failure;
    try {
        m_document.clear();
        fillDocument(m_document, texts);
        passed(Step::XmlBuilt);
        m_document.save(m_folder + QLatin1Char('/') + QLatin1String(kXmlFileName));
        passed(Step::XmlSaved);
    } catch (...) {
        failure = std::current_exception();
    }
    m_document.clear(); // nothing is kept from one export to the next
    try {
        sheet.get();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }

    if (ZQuery2.rowCount() > 0) {
        // Where a walk with the cursor ends, also when a file failed: on the last record, at
        // the end.
        ZQuery2.last();
        ZQuery2.next();
    }
    if (failure)
        std::rethrow_exception(failure);
    return workbook.keep([&](int attempt) { return workbookPath(m_folder, now, attempt); });
}
