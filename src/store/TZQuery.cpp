#include "store/TZQuery.h"

#include "platform/Cp1254.h"
#include "platform/Error.h"
#include "store/RowStore.h"
#include "store/StatementResults.h"
#include "store/TZConnection.h"
#include "store/TableInfo.h"
#include "store/ValueText.h"

#include <mysql.h>

#include <algorithm>

namespace {

QString fieldName(const QByteArray &name) {
    return cp1254::toUnicode(name);
}

bool sameName(const QByteArray &a, const QByteArray &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The field type of a result column that no table declares (an expression, a SHOW result).
FieldType typeOfResultColumn(const MYSQL_FIELD &f, int &size) {
    size = 0;
    const bool isUnsigned = f.flags & UNSIGNED_FLAG;
    switch (f.type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_YEAR:
        return FieldType::SmallInt;
    case MYSQL_TYPE_SHORT:
        return isUnsigned ? FieldType::Integer : FieldType::SmallInt;
    case MYSQL_TYPE_INT24:
        return FieldType::Integer;
    case MYSQL_TYPE_LONG:
        return isUnsigned ? FieldType::LargeInt : FieldType::Integer;
    case MYSQL_TYPE_LONGLONG:
        return FieldType::LargeInt;
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
        if (f.decimals == 0)
            return f.length <= 10 ? FieldType::Integer : FieldType::LargeInt;
        return FieldType::Float;
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
        return FieldType::Float;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
        return FieldType::Date;
    case MYSQL_TYPE_TIME:
        return FieldType::Time;
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP:
        return FieldType::DateTime;
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
        return f.charsetnr == 63 ? FieldType::Blob : FieldType::Memo;
    default:
        size = static_cast<int>(f.length);
        return FieldType::String;
    }
}

// The connection's character set is single-byte, so lengths in bytes are characters.
constexpr quint32 kNoRow = 0xFFFFFFFFu;

std::function<void(quint64)> &rowFetchHook() {
    static std::function<void(quint64)> hook;
    return hook;
}

} // namespace

TZQuery::TZQuery(TZConnection &connection, const QString &name, QObject *parent)
    : QObject(parent)
    , m_connection(&connection) {
    setObjectName(name);
    m_connection->attach(this);
}

TZQuery::~TZQuery() {
    if (m_connection)
        m_connection->detach(this);
}

void TZQuery::connectionGone() {
    close();
    m_connection = nullptr;
}

TZConnection &TZQuery::connection() const {
    if (!m_connection)
        fail(QStringLiteral("Database connection is not assigned"));
    return *m_connection;
}

void TZQuery::setRowFetchHook(std::function<void(quint64 row)> hook) {
    rowFetchHook() = std::move(hook);
}

void TZQuery::fail(const QString &text) const {
    throw Error(name() + QStringLiteral(": ") + text);
}

void TZQuery::checkActive() const {
    if (!active())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

// ---------------------------------------------------------------- statement and parameters

void TZQuery::setSQL(const QByteArray &text) {
    close();
    // Remember the current values by name before the parameters are rebuilt.
    for (const TZParam &p : m_params) {
        auto known = std::find_if(m_paramMemory.begin(), m_paramMemory.end(),
                                  [&](const TZParam &m) { return sameName(m.name, p.name); });
        if (known != m_paramMemory.end())
            *known = p;
        else
            m_paramMemory.push_back(p);
    }
    m_params.clear();
    m_sql = text;
    m_statement = {};
    m_statementParsed = false;
    m_statement = parseStatement(text);
    m_statementParsed = true;
    rebuildParams();
}

void TZQuery::rebuildParams() {
    for (const QByteArray &name : m_statement.paramNames) {
        auto known = std::find_if(m_paramMemory.begin(), m_paramMemory.end(),
                                  [&](const TZParam &m) { return sameName(m.name, name); });
        TZParam p;
        if (known != m_paramMemory.end())
            p = *known;
        p.name = name;
        m_params.push_back(p);
    }
}

TZParam &TZQuery::param(int index) {
    if (index < 0 || index >= paramCount())
        fail(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_params[static_cast<size_t>(index)];
}

TZParam &TZQuery::ParamByName(const QByteArray &name) {
    for (TZParam &p : m_params)
        if (sameName(p.name, name))
            return p;
    fail(QStringLiteral("Parameter '") + fieldName(name) + QStringLiteral("' not found"));
}

QByteArray TZQuery::paramLiteral(const TZParam &p) {
    if (p.value.isNull())
        return "NULL";
    switch (p.type) {
    case ParamType::String:
        return '\'' + connection().escape(p.value.toByteArray()) + '\'';
    case ParamType::Integer:
        return QByteArray::number(p.value.toLongLong());
    case ParamType::Date:
        return valuetext::dateLiteral(p.value.toDate());
    case ParamType::Time:
        return valuetext::timeLiteral(p.value.toTime());
    case ParamType::DateTime:
        return valuetext::dateTimeLiteral(p.value.toDateTime());
    case ParamType::Boolean:
        return p.value.toBool() ? "'Y'" : "'N'";
    case ParamType::Unknown:
        break;
    }
    return "NULL";
}

QByteArray TZQuery::statementWithLiterals() {
    if (m_sql.trimmed().isEmpty())
        throw Error(QStringLiteral("SQL Query is empty"));
    if (!m_statementParsed) {
        m_statement = parseStatement(m_sql);
        m_statementParsed = true;
        m_params.clear();
        rebuildParams();
    }
    QByteArray out = m_statement.pieces.front();
    for (size_t i = 0; i < m_statement.markers.size(); ++i) {
        out += paramLiteral(m_params[static_cast<size_t>(m_statement.markers[i])]);
        out += m_statement.pieces[i + 1];
    }
    return out;
}

void TZQuery::setFixedFields(std::vector<FieldDef> fields) {
    close();
    m_fixedFields = std::move(fields);
    m_fields = m_fixedFields;
}

// ---------------------------------------------------------------- opening

void TZQuery::open() {
    if (active())
        return;
    if (m_sql.trimmed().isEmpty())
        throw Error(QStringLiteral("SQL Query is empty"));
    if (!connection().connected()) {
        // The after-connect step may set this dataset's statement and open it; this opening
        // still ends with the statement and parameters it was started with.
        const QByteArray sql = m_sql;
        const std::vector<TZParam> params = m_params;
        connection().connect();
        const bool sameStatement = m_sql == sql && m_params.size() == params.size() &&
                                   std::equal(params.begin(), params.end(), m_params.begin(),
                                              [](const TZParam &a, const TZParam &b) {
                                                  return a.type == b.type && a.value == b.value;
                                              });
        if (active() && sameStatement)
            return;
        if (m_sql != sql)
            setSQL(sql);
        close();
        m_params = params;
    }
    runStatement(false);
    setState(DataSetState::Browse);
    applySort(false);
    m_cursor = rowCount() > 0 ? 0 : -1;
    m_eof = rowCount() == 0;
    emit rowsReset();
    emit currentRowChanged(m_cursor);
}

void TZQuery::runStatement(bool keepFields) {
    const QByteArray statement = statementWithLiterals();
    StatementResults results = connection().run(statement);
    MYSQL_RES *result = results.streamFirst();
    if (!result) {
        results.finish();
        // A statement without a result: no fields, no rows.
        if (!keepFields) {
            m_fields = m_fixedFields;
            m_columnOfField.assign(m_fields.size(), -1);
            m_columnNames.assign(m_fields.size(), QByteArray());
            m_table.clear();
        }
        m_rows = std::make_unique<RowStore>(static_cast<int>(m_fields.size()));
        m_order.clear();
        return;
    }

    const unsigned int columnCount = mysql_num_fields(result);
    const MYSQL_FIELD *columns = mysql_fetch_fields(result);
    struct ResultColumn {
        QByteArray label, table, name;
        FieldType fallbackType;
        int fallbackSize;
    };
    std::vector<ResultColumn> resultColumns;
    resultColumns.reserve(columnCount);
    for (unsigned int c = 0; c < columnCount; ++c) {
        ResultColumn rc;
        rc.label = QByteArray(columns[c].name, columns[c].name_length);
        rc.table = QByteArray(columns[c].org_table, columns[c].org_table_length);
        rc.name = QByteArray(columns[c].org_name, columns[c].org_name_length);
        rc.fallbackType = typeOfResultColumn(columns[c], rc.fallbackSize);
        resultColumns.push_back(std::move(rc));
    }

    // Rows go straight from the wire into the column store.
    RowStore fetched(static_cast<int>(columnCount));
    const std::function<void(quint64)> &hook = rowFetchHook();
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        if (hook)
            hook(fetched.rowCount());
        const unsigned long *lengths = mysql_fetch_lengths(result);
        fetched.appendRow(row, lengths);
    }
    results.checkFetch();
    results.finish();
    fetched.finish();

    // Labels that repeat get _1, _2, ...
    std::vector<int> repeats(resultColumns.size(), 0);
    for (size_t c = 0; c < resultColumns.size(); ++c)
        for (size_t earlier = 0; earlier < c; ++earlier)
            if (sameName(resultColumns[earlier].label, resultColumns[c].label))
                ++repeats[c];
    for (size_t c = 0; c < resultColumns.size(); ++c)
        if (repeats[c] > 0)
            resultColumns[c].label += '_' + QByteArray::number(repeats[c]);

    if (!keepFields) {
        // Field definitions from the tables' declarations, asked once per table.
        std::vector<FieldDef> defs;
        QByteArray commonTable;
        bool singleTable = true;
        for (const ResultColumn &rc : resultColumns) {
            FieldDef def;
            def.name = rc.label;
            def.type = rc.fallbackType;
            def.size = rc.fallbackSize;
            const ColumnInfo *declared = nullptr;
            if (!rc.table.isEmpty())
                if (const TableInfo *table = connection().tableInfo(rc.table))
                    declared = table->column(rc.name);
            if (declared) {
                def.type = declared->type;
                def.size = declared->size;
                def.required = !declared->nullable;
            }
            defs.push_back(def);
            if (rc.table.isEmpty() || (!commonTable.isEmpty() && commonTable != rc.table))
                singleTable = false;
            commonTable = rc.table;
        }
        m_table = singleTable ? commonTable : QByteArray();

        std::vector<FieldDef> fields;
        std::vector<int> columnOfField;
        if (m_fixedFields.empty()) {
            fields = defs;
            for (size_t c = 0; c < defs.size(); ++c)
                columnOfField.push_back(static_cast<int>(c));
        } else {
            for (const FieldDef &fixed : m_fixedFields) {
                auto def = std::find_if(defs.begin(), defs.end(), [&](const FieldDef &d) {
                    return sameName(d.name, fixed.name);
                });
                if (def == defs.end())
                    fail(QStringLiteral("Field '") + fieldName(fixed.name) +
                         QStringLiteral("' not found"));
                if (!sameCompatibilityClass(fixed.type, def->type))
                    fail(QStringLiteral("Type mismatch for field '") + fieldName(fixed.name) +
                         QStringLiteral("', expecting: ") + fieldTypeName(fixed.type) +
                         QStringLiteral(" actual: ") + fieldTypeName(def->type));
                fields.push_back(fixed);
                columnOfField.push_back(static_cast<int>(def - defs.begin()));
            }
        }
        m_fields = std::move(fields);
        m_columnOfField = std::move(columnOfField);
        m_columnNames.clear();
        for (int c : m_columnOfField)
            m_columnNames.push_back(resultColumns[static_cast<size_t>(c)].name);
    } else {
        // A refresh keeps its fields; find their columns again by label.
        for (size_t f = 0; f < m_fields.size(); ++f) {
            auto rc = std::find_if(
                resultColumns.begin(), resultColumns.end(),
                [&](const ResultColumn &r) { return sameName(r.label, m_fields[f].name); });
            if (rc == resultColumns.end())
                fail(QStringLiteral("Field '") + fieldName(m_fields[f].name) +
                     QStringLiteral("' not found"));
            m_columnOfField[f] = static_cast<int>(rc - resultColumns.begin());
        }
    }

    m_rows = std::make_unique<RowStore>(std::move(fetched), m_columnOfField);
    m_order.resize(m_rows->rowCount());
    for (quint32 i = 0; i < m_order.size(); ++i)
        m_order[i] = i;
    m_inStoredOrder = true;
}

void TZQuery::close() {
    if (!active())
        return;
    m_rows.reset();
    m_order.clear();
    m_editValues.clear();
    m_modified = false;
    m_cursor = -1;
    m_eof = true;
    m_fields = m_fixedFields;
    m_state = DataSetState::Inactive;
    emit stateChanged(m_state);
    emit rowsReset();
    emit currentRowChanged(-1);
}

void TZQuery::refresh() {
    leaveEditingState();
    checkActive();

    // Remember the current row by every field that is not large.
    std::vector<std::pair<int, Value>> remembered;
    if (m_cursor >= 0)
        for (int f = 0; f < fieldCount(); ++f)
            if (!isLargeType(m_fields[static_cast<size_t>(f)].type))
                remembered.emplace_back(f, valueOf(f));

    m_rows.reset();
    m_order.clear();
    m_cursor = -1;
    try {
        runStatement(true);
    } catch (...) {
        close();
        throw;
    }
    applySort(false);

    int found = -1;
    if (!remembered.empty()) {
        for (int pos = 0; pos < static_cast<int>(m_order.size()) && found < 0; ++pos) {
            const quint32 p = m_order[static_cast<size_t>(pos)];
            bool all = true;
            for (const auto &[f, value] : remembered) {
                if (m_rows->value(p, f) != value) {
                    all = false;
                    break;
                }
            }
            if (all)
                found = pos;
        }
    }
    m_cursor = found >= 0 ? found : (m_order.empty() ? -1 : 0);
    m_eof = m_order.empty();
    emit rowsReset();
    emit currentRowChanged(m_cursor);
    if (AfterRefresh)
        AfterRefresh(*this);
}

quint64 TZQuery::execute() {
    TZConnection &connection = this->connection();
    if (!connection.connected())
        connection.connect();
    close();
    // A statement that returns rows is read to its end: its count is the rows it returned.
    m_rowsAffected = connection.run(statementWithLiterals()).finish();
    return m_rowsAffected;
}

// ---------------------------------------------------------------- moving

int TZQuery::recordCount() const {
    checkActive();
    return static_cast<int>(m_order.size());
}

int TZQuery::rowCount() const {
    return static_cast<int>(m_order.size()) + (m_state == DataSetState::Insert ? 1 : 0);
}

int TZQuery::currentRow() const {
    return m_cursor;
}

void TZQuery::setCursor(int row) {
    if (row == m_cursor)
        return;
    m_cursor = row;
    emit currentRowChanged(row);
}

void TZQuery::first() {
    leaveEditingState();
    checkActive();
    setCursor(m_order.empty() ? -1 : 0);
    m_eof = m_order.empty();
}

void TZQuery::prior() {
    leaveEditingState();
    checkActive();
    if (m_cursor > 0)
        setCursor(m_cursor - 1);
    m_eof = m_order.empty();
}

void TZQuery::next() {
    leaveEditingState();
    checkActive();
    if (m_cursor + 1 < static_cast<int>(m_order.size()))
        setCursor(m_cursor + 1);
    else
        m_eof = true;
}

void TZQuery::last() {
    leaveEditingState();
    checkActive();
    setCursor(static_cast<int>(m_order.size()) - 1);
    m_eof = m_order.empty();
}

void TZQuery::moveTo(int row) {
    if (m_state == DataSetState::Insert) {
        if (row == m_cursor)
            return;
        const int insertedAt = m_cursor;
        const int rowsBefore = rowCount();
        leaveEditingState();
        // A cancelled new row goes: the rows after it move up. A posted one keeps its place.
        if (rowCount() < rowsBefore && row > insertedAt)
            --row;
    }
    leaveEditingState();
    checkActive();
    if (row < 0 || row >= static_cast<int>(m_order.size()))
        return;
    setCursor(row);
    m_eof = false;
}

int TZQuery::physicalRow(int row) const {
    if (m_state == DataSetState::Insert) {
        if (row == m_cursor)
            return -1;
        if (row > m_cursor)
            --row;
    }
    return static_cast<int>(m_order[static_cast<size_t>(row)]);
}

// ---------------------------------------------------------------- fields

int TZQuery::fieldIndex(const QByteArray &name) const {
    for (size_t f = 0; f < m_fields.size(); ++f)
        if (sameName(m_fields[f].name, name))
            return static_cast<int>(f);
    return -1;
}

TZField TZQuery::fieldByName(const QByteArray &name) {
    const int index = fieldIndex(name);
    if (index < 0)
        fail(QStringLiteral("Field '") + fieldName(name) + QStringLiteral("' not found"));
    return TZField(this, index);
}

TZQuery::Value TZQuery::valueOf(int field) const {
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return m_editValues[static_cast<size_t>(field)];
    if (!m_rows || m_cursor < 0)
        return std::nullopt;
    return m_rows->value(m_order[static_cast<size_t>(m_cursor)], field);
}

bool TZQuery::isNullAt(int row, int column) const {
    const int p = physicalRow(row);
    if (p < 0)
        return !m_editValues[static_cast<size_t>(column)].has_value();
    if (m_state == DataSetState::Edit && row == m_cursor)
        return !m_editValues[static_cast<size_t>(column)].has_value();
    return m_rows->isNull(static_cast<quint32>(p), column);
}

QByteArray TZQuery::rawAt(int row, int column) const {
    const int p = physicalRow(row);
    if (p < 0 || (m_state == DataSetState::Edit && row == m_cursor))
        return m_editValues[static_cast<size_t>(column)].value_or(QByteArray());
    return m_rows->value(static_cast<quint32>(p), column).value_or(QByteArray());
}

QByteArray TZQuery::textAt(int row, int column) const {
    if (isNullAt(row, column))
        return {};
    return valuetext::asText(m_fields[static_cast<size_t>(column)].type, rawAt(row, column));
}

bool TZField::isNull() const {
    return !m_dataset->valueOf(m_index).has_value();
}

QByteArray TZField::asString() const {
    const auto value = m_dataset->valueOf(m_index);
    return value ? valuetext::asText(type(), *value) : QByteArray();
}

qint64 TZField::asInteger() const {
    const auto value = m_dataset->valueOf(m_index);
    return value ? valuetext::asInteger(type(), *value) : 0;
}

QDateTime TZField::asDateTime() const {
    const auto value = m_dataset->valueOf(m_index);
    return value ? valuetext::asDateTime(type(), *value) : zeroDateTime();
}

double TZField::asFloat() const {
    const auto value = m_dataset->valueOf(m_index);
    return value ? valuetext::asFloat(type(), *value) : 0.0;
}

void TZField::setAsString(const QByteArray &text) {
    m_dataset->writeValue(m_index, valuetext::fromText(type(), size(), text));
}

void TZField::setAsInteger(qint64 value) {
    m_dataset->writeValue(m_index, valuetext::fromInteger(type(), value));
}

void TZField::setAsDateTime(const QDateTime &value) {
    m_dataset->writeValue(m_index, valuetext::fromDateTime(type(), value));
}

void TZField::clear() {
    m_dataset->writeValue(m_index, std::nullopt);
}

void TZQuery::writeValue(int field, Value value) {
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    m_editValues[static_cast<size_t>(field)] = std::move(value);
    m_modified = true;
    emit rowChanged(m_cursor);
}

// ---------------------------------------------------------------- locate and sort

bool TZQuery::locate(const QByteArray &fieldName, const QByteArray &value) {
    leaveEditingState();
    checkActive();
    const int f = fieldByName(fieldName).index();
    const FieldType type = m_fields[static_cast<size_t>(f)].type;

    int found = -1;
    if (isIntegerType(type)) {
        bool ok = false;
        const qint64 wanted = value.trimmed().toLongLong(&ok);
        if (ok)
            found = m_rows->find(m_order, f, [&](const char *data, quint32 size) {
                return QByteArray::fromRawData(data, size).toLongLong() == wanted;
            });
    } else if (type == FieldType::Date || type == FieldType::Time || type == FieldType::DateTime ||
               type == FieldType::Float) {
        found = m_rows->find(m_order, f, [&](const char *data, quint32 size) {
            const QByteArray raw = QByteArray::fromRawData(data, size);
            if (type == FieldType::Float)
                return raw.toDouble() == value.toDouble();
            return valuetext::asDateTime(type, raw) ==
                   valuetext::asDateTime(type, valuetext::fromText(type, 0, value));
        });
    } else {
        found = m_rows->findExact(m_order, m_inStoredOrder, f, value);
    }
    if (found < 0)
        return false;
    setCursor(found);
    m_eof = false;
    return true;
}

void TZQuery::setSortedFields(const QByteArray &value) {
    if (value == m_sortedFieldsSetting)
        return;
    m_sortedFieldsSetting = value;
    QByteArray name = value.trimmed();
    for (const char *word : {" Asc", " Desc"}) {
        const QByteArray w(word);
        qsizetype at;
        while ((at = name.toLower().indexOf(w.toLower())) >= 0)
            name.remove(at, w.size());
    }
    m_sortField = name.trimmed();
    if (active())
        applySort(true);
}

void TZQuery::applySort(bool keepCurrent) {
    if (m_sortField.isEmpty() || !m_rows || m_state == DataSetState::Inactive)
        return;
    const int f = fieldByName(m_sortField).index();
    const quint32 current =
        (keepCurrent && m_cursor >= 0) ? m_order[static_cast<size_t>(m_cursor)] : kNoRow;
    m_rows->sort(m_order, f, m_fields[static_cast<size_t>(f)].type);
    m_inStoredOrder = false;
    if (current != kNoRow) {
        const auto it = std::find(m_order.begin(), m_order.end(), current);
        m_cursor = static_cast<int>(it - m_order.begin());
    }
    emit rowsReset();
    emit currentRowChanged(m_cursor);
}
