#pragma once

#include <QByteArray>

#include <vector>

#include "store/Field.h"

// One column of a table as the server declares it.
struct ColumnInfo {
    QByteArray name;
    QByteArray declaredType; // as SHOW COLUMNS gives it, e.g. "varchar(30)"
    FieldType type = FieldType::Unknown;
    int size = 0;
    bool nullable = true;
    bool hasDefault = false;
    QByteArray defaultValue; // the server's text of the default expression
    bool autoIncrement = false;
};

struct TableInfo {
    QByteArray name;
    std::vector<ColumnInfo> columns;
    std::vector<QByteArray> primaryKey;

    const ColumnInfo *column(const QByteArray &name) const; // case-insensitive
};

// Maps a declared column type ("int(10) unsigned", "decimal(12,2)", "enum('Y','N')") to the
// field type and the size of a text field.
void classifyColumnType(const QByteArray &declaredType, FieldType &type, int &size);

// Writes a database, table or column name for a statement: unchanged, or between grave
// accents when it begins with a digit, holds a character outside A-Z a-z 0-9 _, or is a
// keyword.
QByteArray quoteIdentifier(const QByteArray &name);
