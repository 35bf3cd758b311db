#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "store/Field.h"
#include "store/StatementText.h"

class RowStore;
class TZConnection;
struct ColumnInfo;
struct TableInfo;

enum class DataSetState { Inactive, Browse, Edit, Insert };

enum class ParamType { Unknown, String, Integer, Date, Time, DateTime, Boolean };

// A named parameter of a dataset's statement. Its value lives with the dataset and
// survives statement changes by name.
struct TZParam {
    QByteArray name;
    ParamType type = ParamType::Unknown;
    QVariant value; // null, QByteArray, qint64, QDate, QTime, QDateTime or bool

    void setAsString(const QByteArray &text) {
        type = ParamType::String;
        value = text;
    }
    void setAsInteger(qint64 v) {
        type = ParamType::Integer;
        value = v;
    }
    void setAsDate(const QDate &d) {
        type = ParamType::Date;
        value = d;
    }
    void setAsTime(const QTime &t) {
        type = ParamType::Time;
        value = t;
    }
    void setAsDateTime(const QDateTime &dt) {
        type = ParamType::DateTime;
        value = dt;
    }
    void setAsBoolean(bool b) {
        type = ParamType::Boolean;
        value = b;
    }
    void clear() { value = QVariant(); }
    bool isNull() const { return value.isNull(); }
};

// The rows of one statement held in memory with a current row: fields by name, named
// parameters, locate, sort, refresh and execute; append, edit, post, cancel and delete
// written back to the server at once.
//
// Errors are thrown as Error with the system's texts; the dataset's own checks carry its
// name (the object name) and a colon in front.
class TZQuery : public QObject {
    Q_OBJECT
public:
    TZQuery(TZConnection &connection, const QString &name, QObject *parent = nullptr);
    ~TZQuery() override;

    // The connection it runs on; fails once that connection has gone.
    TZConnection &connection() const;

    // --- statement and parameters
    // Replaces the whole statement; closes the dataset and rebuilds the parameters.
    void setSQL(const QByteArray &text);
    const QByteArray &SQL() const { return m_sql; }
    int paramCount() const { return static_cast<int>(m_params.size()); }
    TZParam &param(int index);
    TZParam &ParamByName(const QByteArray &name); // case-insensitive; unknown names fail

    // A fixed field list: opening binds these fields, in this order, to the result
    // columns of the same names. Empty: one field per result column.
    void setFixedFields(std::vector<FieldDef> fields);

    // --- opening and moving
    void open();
    void close();
    void refresh();
    quint64 execute(); // a statement without result rows; returns the affected rows
    bool active() const { return m_state != DataSetState::Inactive; }
    DataSetState state() const { return m_state; }

    int recordCount() const; // a closed dataset fails
    void first();
    void prior();
    void next();
    void last();
    bool eof() const { return m_eof; }
    bool isEmpty() const { return rowCount() == 0; }

    // --- fields
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    TZField field(int index) { return TZField(this, index); }
    TZField fieldByName(const QByteArray &name);  // case-insensitive; unknown names fail
    int fieldIndex(const QByteArray &name) const; // -1 when missing
    const FieldDef &fieldDef(int index) const { return m_fields[static_cast<size_t>(index)]; }

    // --- searching and sorting
    bool locate(const QByteArray &fieldName, const QByteArray &value);
    void setSortedFields(const QByteArray &value);
    const QByteArray &sortedFields() const { return m_sortedFieldsSetting; }

    // --- editing
    void append();
    void insert();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    bool modified() const { return m_modified; }

    std::function<void(TZQuery &)> AfterPost;
    std::function<void(TZQuery &)> AfterRefresh;

    // --- rows by position, for grids. Positions run over the rows in the dataset's order;
    // while inserting, the new row has a position too.
    int rowCount() const;
    int currentRow() const; // -1 when there is no row
    // Moves the cursor to a row, leaving an editing state first.
    void moveTo(int row);
    bool isNullAt(int row, int column) const;
    QByteArray rawAt(int row, int column) const;  // the value as the server wrote it
    QByteArray textAt(int row, int column) const; // as the field reads as text
    int insertRow() const { return m_state == DataSetState::Insert ? m_cursor : -1; }

    // The name in front of the dataset's own error texts.
    QString name() const { return objectName(); }

    // Called for every row a dataset reads from the server, before the row is kept: tests make
    // a fetch fail halfway with it. Null (the default): nothing is called.
    static void setRowFetchHook(std::function<void(quint64 row)> hook);

signals:
    // Rows were opened, closed, re-read or re-ordered: everything may have changed.
    void rowsReset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentRowChanged(int row);
    void stateChanged(DataSetState state);

private:
    friend class TZField;
    friend class TZConnection;
    void connectionGone();
    using Value = std::optional<QByteArray>; // nullopt: null

    [[noreturn]] void fail(const QString &text) const; // prefixed with the name
    void checkActive() const;
    void leaveEditingState();
    void rebuildParams();
    QByteArray paramLiteral(const TZParam &param);
    QByteArray statementWithLiterals();
    void runStatement(bool keepFields);
    void applySort(bool keepCurrent);
    void setState(DataSetState state);
    void setCursor(int row);
    int physicalRow(int row) const; // -1 for the row being inserted

    Value valueOf(int field) const; // of the current row, the edit buffer while editing
    void writeValue(int field, Value value);
    void startInsert(int position);
    const TableInfo &writableTable();
    QByteArray qualifiedTable() const;
    void checkRequired(const TableInfo &table, bool inserting);
    void postInsert(const TableInfo &table);
    void postEdit(const TableInfo &table);
    QByteArray defaultExpression(const ColumnInfo &column);
    QByteArray keyCondition(const std::vector<Value> &values, const TableInfo &table);
    QByteArray literal(int field, const Value &value);

    TZConnection *m_connection; // null once the connection has gone
    QByteArray m_sql;
    StatementTemplate m_statement;
    bool m_statementParsed = false;
    std::vector<TZParam> m_params;
    std::vector<TZParam> m_paramMemory; // every parameter ever set, by name

    std::vector<FieldDef> m_fixedFields;
    std::vector<FieldDef> m_fields;
    std::vector<int> m_columnOfField;      // result column feeding each field
    std::vector<QByteArray> m_columnNames; // the table's column name behind each field
    QByteArray m_table; // the table every result column comes from; empty when none or mixed

    std::unique_ptr<RowStore> m_rows;
    std::vector<quint32> m_order; // position -> stored row
    bool m_inStoredOrder = true;  // m_order is 0, 1, 2, ...
    int m_cursor = -1;
    int m_cursorBeforeInsert = -1;
    bool m_eof = true;
    DataSetState m_state = DataSetState::Inactive;

    std::vector<Value> m_editValues;
    bool m_modified = false;

    QByteArray m_sortedFieldsSetting;
    QByteArray m_sortField;
    quint64 m_rowsAffected = 0;
};
