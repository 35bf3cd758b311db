#include "offers/TextWorkbook.h"

#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>

namespace {

// The sheet's name, as a new workbook names its first sheet on a Turkish desktop.
const char kSheetName[] = "Sayfa1";

// Excel's column width limit.
constexpr double kMaxColumnWidth = 255;

QString libraryText(lxw_error error) {
    return QString::fromUtf8(lxw_strerror(error));
}

// Approximate widths in pixels of the default font (11 points, a digit 7 pixels wide):
// close enough for a column to show its texts whole without a wide margin.
int pixelsOf(QChar ch) {
    if (ch.isDigit())
        return 7;
    switch (ch.unicode()) {
    case u'i':
    case u'l':
    case u'j':
    case u'ı':
    case u'I':
    case u'İ':
    case u'.':
    case u',':
    case u':':
    case u';':
    case u'\'':
    case u'!':
    case u'|':
        return 3;
    case u' ':
    case u'f':
    case u't':
    case u'r':
    case u'(':
    case u')':
    case u'-':
    case u'/':
        return 4;
    case u'm':
    case u'w':
        return 11;
    case u'M':
    case u'W':
    case u'@':
        return 13;
    default:
        return ch.isUpper() ? 8 : 7;
    }
}

} // namespace

TextWorkbook::TextWorkbook(const QString &folder) {
    const auto cannotCreate = [&](const QString &reason) {
        return Error(libraryText(LXW_ERROR_CREATING_XLSX_FILE) + QStringLiteral(" (") +
                     QDir::toNativeSeparators(folder) + QStringLiteral(": ") + reason +
                     QStringLiteral(")"));
    };
    if (!QDir().mkpath(folder))
        throw cannotCreate(QStringLiteral("the folder cannot be made"));
    // Made here, exclusively, so that a folder the workbook cannot go into fails before any
    // other work; the library writes the file into it when the workbook is closed. A name
    // of its own, hidden, with the permissions of any new file.
    QFile file;
    for (int attempt = 0; attempt < 100 && !file.isOpen(); ++attempt) {
        file.setFileName(folder + QStringLiteral("/.rehber-") +
                         QString::number(QRandomGenerator::global()->generate64(), 36) +
                         QStringLiteral(".xlsx.part"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !file.exists())
            throw cannotCreate(file.errorString());
    }
    if (!file.isOpen())
        throw cannotCreate(file.errorString());
    m_temporaryPath = file.fileName();
    file.close();

    // The streamed rows wait in the target folder too, not on a /tmp that may be held in
    // memory.
    m_folderName = QFile::encodeName(folder);
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = m_folderName.data();
    m_workbook = workbook_new_opt(QFile::encodeName(m_temporaryPath).constData(), &options);
    if (!m_workbook) {
        QFile::remove(m_temporaryPath);
        throw Error(libraryText(LXW_ERROR_MEMORY_MALLOC_FAILED));
    }
    m_sheet = workbook_add_worksheet(m_workbook, kSheetName);
    if (!m_sheet) {
        lxw_workbook_free(m_workbook);
        m_workbook = nullptr;
        QFile::remove(m_temporaryPath);
        throw Error(libraryText(LXW_ERROR_CREATING_TMPFILE));
    }
}

TextWorkbook::~TextWorkbook() {
    if (m_workbook) {
        // Dropped unwritten: the library frees a workbook without closing the file that
        // holds its streamed rows.
        if (m_sheet && m_sheet->optimize_tmpfile) {
            std::fclose(m_sheet->optimize_tmpfile);
            m_sheet->optimize_tmpfile = nullptr;
        }
        lxw_workbook_free(m_workbook);
    }
    if (!m_kept)
        QFile::remove(m_temporaryPath);
}

void TextWorkbook::check(int error) const {
    if (error != LXW_NO_ERROR)
        throw Error(libraryText(static_cast<lxw_error>(error)));
}

void TextWorkbook::write(int row, int column, const QString &text) {
    if (text.isEmpty())
        return;
    check(worksheet_write_string(m_sheet, static_cast<lxw_row_t>(row),
                                 static_cast<lxw_col_t>(column), text.toUtf8().constData(),
                                 nullptr));
    if (m_widths.size() <= static_cast<size_t>(column))
        m_widths.resize(static_cast<size_t>(column) + 1, 0);
    double &width = m_widths[static_cast<size_t>(column)];
    width = std::max(width, columnWidthFor(text));
}

double TextWorkbook::columnWidthFor(const QString &text) {
    int pixels = 0;
    for (QChar ch : text)
        pixels += pixelsOf(ch);
    // One digit's width of margin, as a fitted column has.
    return std::min(kMaxColumnWidth, pixels / 7.0 + 1);
}

void TextWorkbook::close() {
    for (size_t column = 0; column < m_widths.size(); ++column) {
        if (m_widths[column] > 0)
            check(worksheet_set_column(m_sheet, static_cast<lxw_col_t>(column),
                                       static_cast<lxw_col_t>(column), m_widths[column], nullptr));
    }
    lxw_workbook *workbook = m_workbook;
    m_workbook = nullptr; // closed even when closing fails
    check(workbook_close(workbook));
}

QString TextWorkbook::keep(const std::function<QString(int attempt)> &nameFor) {
    // A rename that finds its target taken fails instead of replacing it, so two exports in
    // one second, or two running programs, each get a name of their own.
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        const QString target = nameFor(attempt);
        if (QFile::exists(target))
            continue;
        QFile file(m_temporaryPath);
        if (file.rename(target)) {
            m_kept = true;
            return target;
        }
        if (!QFile::exists(target))
            throw Error(libraryText(LXW_ERROR_CREATING_XLSX_FILE) + QStringLiteral(" (") +
                        QDir::toNativeSeparators(target) + QStringLiteral(": ") +
                        file.errorString() + QStringLiteral(")"));
    }
    throw Error(libraryText(LXW_ERROR_CREATING_XLSX_FILE));
}
