#include "store/Field.h"

#include "store/TZQuery.h"

QString fieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::Unknown:
        return QStringLiteral("Unknown");
    case FieldType::SmallInt:
        return QStringLiteral("SmallInt");
    case FieldType::Integer:
        return QStringLiteral("Integer");
    case FieldType::LargeInt:
        return QStringLiteral("LargeInt");
    case FieldType::Float:
        return QStringLiteral("Float");
    case FieldType::Boolean:
        return QStringLiteral("Boolean");
    case FieldType::String:
        return QStringLiteral("String");
    case FieldType::Date:
        return QStringLiteral("Date");
    case FieldType::Time:
        return QStringLiteral("Time");
    case FieldType::DateTime:
        return QStringLiteral("DateTime");
    case FieldType::Memo:
        return QStringLiteral("Memo");
    case FieldType::Blob:
        return QStringLiteral("Blob");
    }
    return QStringLiteral("Unknown");
}

bool isIntegerType(FieldType type) {
    return type == FieldType::SmallInt || type == FieldType::Integer || type == FieldType::LargeInt;
}

bool isLargeType(FieldType type) {
    return type == FieldType::Memo || type == FieldType::Blob;
}

namespace {
enum class CompatibilityClass { Integer, DateTime, Text, Large, LargeInt, Float, Boolean, Other };

CompatibilityClass compatibilityClass(FieldType type) {
    switch (type) {
    case FieldType::SmallInt:
    case FieldType::Integer:
        return CompatibilityClass::Integer;
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return CompatibilityClass::DateTime;
    case FieldType::String:
        return CompatibilityClass::Text;
    case FieldType::Memo:
    case FieldType::Blob:
        return CompatibilityClass::Large;
    case FieldType::LargeInt:
        return CompatibilityClass::LargeInt;
    case FieldType::Float:
        return CompatibilityClass::Float;
    case FieldType::Boolean:
        return CompatibilityClass::Boolean;
    case FieldType::Unknown:
        break;
    }
    return CompatibilityClass::Other;
}
} // namespace

bool sameCompatibilityClass(FieldType a, FieldType b) {
    return compatibilityClass(a) == compatibilityClass(b);
}

QDateTime zeroDateTime() {
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

const QByteArray &TZField::name() const {
    return m_dataset->fieldDef(m_index).name;
}
FieldType TZField::type() const {
    return m_dataset->fieldDef(m_index).type;
}
int TZField::size() const {
    return m_dataset->fieldDef(m_index).size;
}
bool TZField::required() const {
    return m_dataset->fieldDef(m_index).required;
}
