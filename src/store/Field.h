#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

class TZQuery;

// Field types a result column gives (by its declared MySQL type).
enum class FieldType {
    Unknown,
    SmallInt, // TINYINT, SMALLINT, YEAR
    Integer,  // 32-bit: SMALLINT UNSIGNED, MEDIUMINT, INT, DECIMAL(n<=9,0)
    LargeInt, // 64-bit: INT UNSIGNED, BIGINT, DECIMAL(n>9,0)
    Float,    // DECIMAL(n,m>0), FLOAT, DOUBLE, REAL
    Boolean,  // ENUM('Y','N')
    String,   // CHAR, VARCHAR, SET, ENUM
    Date,
    Time,
    DateTime, // DATETIME, TIMESTAMP
    Memo,     // TINYTEXT .. LONGTEXT
    Blob,     // TINYBLOB .. LONGBLOB
};

QString fieldTypeName(FieldType type);
bool isIntegerType(FieldType type);
// Large texts and byte objects: left out of refresh re-location and key conditions.
bool isLargeType(FieldType type);
// Types that bind to each other in a fixed field list.
bool sameCompatibilityClass(FieldType a, FieldType b);

// The value a null date-time reads as: 30 December 1899 00:00.
QDateTime zeroDateTime();

// A field as declared: by a fixed field list, or built from a result column.
struct FieldDef {
    QByteArray name;
    FieldType type = FieldType::Unknown;
    int size = 0; // text fields: the column's declared length in characters
    bool required = false;
};

// A field of a dataset's current row: a light handle, valid while the dataset's field list
// stays (until it closes or its statement changes). Texts are the Windows-1254 bytes as
// stored.
class TZField {
public:
    TZField(TZQuery *dataset, int index)
        : m_dataset(dataset)
        , m_index(index) {}

    const QByteArray &name() const;
    FieldType type() const;
    int size() const;
    bool required() const;
    int index() const { return m_index; }

    bool isNull() const;
    QByteArray asString() const;  // null reads as empty
    qint64 asInteger() const;     // null reads as 0
    QDateTime asDateTime() const; // null reads as the zero date
    QDate asDate() const { return asDateTime().date(); }
    double asFloat() const; // null reads as 0

    // Writes need an edit or insert state (see TZQuery::edit).
    void setAsString(const QByteArray &text); // cut to the field's size
    void setAsInteger(qint64 value);
    void setAsDateTime(const QDateTime &value);
    void setAsDate(const QDate &value) { setAsDateTime(QDateTime(value, QTime(0, 0))); }
    void clear(); // sets null

private:
    TZQuery *m_dataset;
    int m_index;
};
