// Row editing and write-back: append, insert, edit, post, cancel and delete, each turned at
// once into one INSERT, UPDATE or DELETE on the row's table.

#include "store/TZQuery.h"

#include "platform/Cp1254.h"
#include "platform/Error.h"
#include "store/RowStore.h"
#include "store/TZConnection.h"
#include "store/TableInfo.h"
#include "store/ValueText.h"

#include <algorithm>

void TZQuery::setState(DataSetState state) {
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void TZQuery::leaveEditingState() {
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    if (m_modified)
        post();
    else
        cancel();
}

void TZQuery::append() {
    leaveEditingState();
    checkActive();
    startInsert(static_cast<int>(m_order.size()));
}

void TZQuery::insert() {
    leaveEditingState();
    checkActive();
    startInsert(m_cursor < 0 ? 0 : m_cursor);
}

void TZQuery::startInsert(int position) {
    m_cursorBeforeInsert = m_cursor;
    m_editValues.assign(m_fields.size(), std::nullopt);
    m_modified = false;
    m_cursor = position;
    setState(DataSetState::Insert);
    emit rowInserted(position);
    emit currentRowChanged(position);
}

void TZQuery::edit() {
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return;
    checkActive();
    if (m_order.empty()) {
        append();
        return;
    }
    if (m_cursor < 0)
        setCursor(0);
    m_editValues = m_rows->row(m_order[static_cast<size_t>(m_cursor)]);
    m_modified = false;
    setState(DataSetState::Edit);
}

void TZQuery::cancel() {
    if (m_state == DataSetState::Insert) {
        const int position = m_cursor;
        m_editValues.clear();
        m_modified = false;
        m_cursor = -1;
        setState(DataSetState::Browse);
        emit rowRemoved(position);
        const int back = m_cursorBeforeInsert;
        m_cursor = (back >= 0 && back < static_cast<int>(m_order.size()))
                       ? back
                       : (m_order.empty() ? -1 : 0);
        emit currentRowChanged(m_cursor);
    } else if (m_state == DataSetState::Edit) {
        m_editValues.clear();
        m_modified = false;
        setState(DataSetState::Browse);
        emit rowChanged(m_cursor);
    }
}

const TableInfo &TZQuery::writableTable() {
    const TableInfo *table = m_table.isEmpty() ? nullptr : connection().tableInfo(m_table);
    if (!table)
        throw Error(QStringLiteral("Cannot update this query type"));
    return *table;
}

QByteArray TZQuery::qualifiedTable() const {
    return quoteIdentifier(cp1254::fromUnicode(connection().Database)) + '.' +
           quoteIdentifier(m_table);
}

QByteArray TZQuery::literal(int field, const Value &value) {
    if (!value)
        return "NULL";
    const FieldType type = m_fields[static_cast<size_t>(field)].type;
    if (valuetext::isUnquoted(type))
        return *value;
    return '\'' + connection().escape(*value) + '\'';
}

void TZQuery::post() {
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    const TableInfo &table = writableTable();
    if (m_state == DataSetState::Insert)
        postInsert(table);
    else
        postEdit(table);
    m_modified = false;
    setState(DataSetState::Browse);
    applySort(true);
    if (AfterPost)
        AfterPost(*this);
}

void TZQuery::checkRequired(const TableInfo &table, bool inserting) {
    for (size_t f = 0; f < m_fields.size(); ++f) {
        if (!m_fields[f].required || m_editValues[f].has_value())
            continue;
        if (inserting) {
            const ColumnInfo *column = table.column(m_columnNames[f]);
            if (column && (column->hasDefault || column->autoIncrement))
                continue;
        }
        throw Error(QStringLiteral("Field ") + cp1254::toUnicode(m_fields[f].name) +
                    QStringLiteral(" is required, but not supplied."));
    }
}

void TZQuery::postInsert(const TableInfo &table) {
    checkRequired(table, true);

    // Columns left null that the table gives a default: ask the server for the values.
    std::vector<size_t> defaulted;
    QByteArray defaults;
    for (size_t f = 0; f < m_fields.size(); ++f) {
        if (m_editValues[f].has_value())
            continue;
        const ColumnInfo *column = table.column(m_columnNames[f]);
        if (!column || !column->hasDefault)
            continue;
        defaults += (defaulted.empty() ? "SELECT " : ",") + defaultExpression(*column);
        defaulted.push_back(f);
    }
    if (!defaulted.empty()) {
        const std::vector<Value> answers = connection().selectRow(defaults);
        for (size_t i = 0; i < defaulted.size() && i < answers.size(); ++i)
            m_editValues[defaulted[i]] = answers[i];
    }

    QByteArray columns;
    QByteArray values;
    for (size_t f = 0; f < m_fields.size(); ++f) {
        if (f > 0) {
            columns += ',';
            values += ',';
        }
        columns += quoteIdentifier(m_columnNames[f]);
        values += literal(static_cast<int>(f), m_editValues[f]);
    }
    connection().executeDirect("INSERT INTO " + qualifiedTable() + " (" + columns + ") VALUES (" +
                               values + ")");

    for (size_t f = 0; f < m_fields.size(); ++f) {
        const ColumnInfo *column = table.column(m_columnNames[f]);
        if (!column || !column->autoIncrement || !isIntegerType(m_fields[f].type))
            continue;
        if (!m_editValues[f] || *m_editValues[f] == "0")
            m_editValues[f] =
                QByteArray::number(static_cast<qulonglong>(connection().lastInsertId()));
        break;
    }

    const quint32 stored = m_rows->appendRow(m_editValues);
    const int position = m_cursor;
    m_inStoredOrder = m_inStoredOrder && stored == static_cast<quint32>(position);
    m_order.insert(m_order.begin() + position, stored);
    m_editValues.clear();
    m_state = DataSetState::Browse; // the new row stays where it was shown
    emit stateChanged(m_state);
    emit rowChanged(position);
}

QByteArray TZQuery::defaultExpression(const ColumnInfo &column) {
    const QByteArray &value = column.defaultValue;
    // Function defaults (current_timestamp(), ...) and numbers go as the server wrote them.
    if (value.contains('(') || valuetext::isUnquoted(column.type) ||
        value.compare("CURRENT_TIMESTAMP", Qt::CaseInsensitive) == 0)
        return value;
    if (value.size() >= 2 && value.startsWith('\'') && value.endsWith('\''))
        return value;
    return '\'' + connection().escape(value) + '\'';
}

void TZQuery::postEdit(const TableInfo &table) {
    checkRequired(table, false);
    const quint32 stored = m_order[static_cast<size_t>(m_cursor)];
    const std::vector<Value> oldValues = m_rows->row(stored);
    QByteArray assignments;
    for (size_t f = 0; f < m_fields.size(); ++f) {
        if (m_editValues[f] == oldValues[f])
            continue;
        if (!assignments.isEmpty())
            assignments += ',';
        assignments +=
            quoteIdentifier(m_columnNames[f]) + '=' + literal(static_cast<int>(f), m_editValues[f]);
    }
    if (!assignments.isEmpty())
        connection().executeDirect("UPDATE " + qualifiedTable() + " SET " + assignments +
                                   keyCondition(oldValues, table));
    for (size_t f = 0; f < m_fields.size(); ++f)
        if (m_editValues[f] != oldValues[f])
            m_rows->setValue(stored, static_cast<int>(f), m_editValues[f]);
    m_editValues.clear();
    emit rowChanged(m_cursor);
}

QByteArray TZQuery::keyCondition(const std::vector<Value> &values, const TableInfo &table) {
    std::vector<size_t> keyFields;
    for (const QByteArray &key : table.primaryKey) {
        auto f = std::find(m_columnNames.begin(), m_columnNames.end(), key);
        if (f == m_columnNames.end() ||
            m_fields[static_cast<size_t>(f - m_columnNames.begin())].name != key) {
            keyFields.clear();
            break;
        }
        keyFields.push_back(static_cast<size_t>(f - m_columnNames.begin()));
    }
    if (keyFields.empty())
        for (size_t f = 0; f < m_fields.size(); ++f)
            if (!isLargeType(m_fields[f].type))
                keyFields.push_back(f);

    QByteArray condition = " WHERE ";
    for (size_t i = 0; i < keyFields.size(); ++i) {
        const size_t f = keyFields[i];
        if (i > 0)
            condition += " AND ";
        condition += quoteIdentifier(m_columnNames[f]);
        if (values[f])
            condition += '=' + literal(static_cast<int>(f), values[f]);
        else
            condition += " IS NULL ";
    }
    return condition;
}

void TZQuery::deleteRecord() {
    checkActive();
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (m_order.empty())
        fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (m_state == DataSetState::Edit)
        cancel();
    const TableInfo &table = writableTable();
    const int position = m_cursor < 0 ? 0 : m_cursor;
    const quint32 stored = m_order[static_cast<size_t>(position)];
    connection().executeDirect("DELETE FROM " + qualifiedTable() +
                               keyCondition(m_rows->row(stored), table));
    m_order.erase(m_order.begin() + position);
    m_inStoredOrder = false;
    emit rowRemoved(position);
    m_cursor = m_order.empty() ? -1 : std::min(position, static_cast<int>(m_order.size()) - 1);
    m_eof = m_order.empty();
    emit currentRowChanged(m_cursor);
}
