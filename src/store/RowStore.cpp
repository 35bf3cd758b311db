#include "store/RowStore.h"

#include "platform/Cp1254.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>

#include <algorithm>
#include <stdexcept>

RowStore::RowStore(int columns)
    : m_columns(static_cast<size_t>(columns)) {}

RowStore::RowStore(RowStore &&fetched, const std::vector<int> &keep)
    : m_rows(fetched.m_rows) {
    m_columns.reserve(keep.size());
    for (int c : keep) {
        Column &source = fetched.m_columns[static_cast<size_t>(c)];
        Column moved;
        moved.offset = std::move(source.offset);
        moved.length = std::move(source.length);
        moved.bytes = std::move(source.bytes);
        m_columns.push_back(std::move(moved));
    }
}

void RowStore::appendValue(Column &c, const char *data, quint32 size) {
    if (!data) {
        c.offset.push(0);
        c.length.push(kNull);
        return;
    }
    if (c.bytes.size() + size >= kNull)
        throw std::length_error("column too large");
    c.offset.push(static_cast<quint32>(c.bytes.size()));
    c.length.push(size);
    if (size)
        std::memcpy(c.bytes.extend(size), data, size);
}

void RowStore::appendRow(char **values, const unsigned long *lengths) {
    for (size_t c = 0; c < m_columns.size(); ++c)
        appendValue(m_columns[c], values[c], static_cast<quint32>(lengths[c]));
    ++m_rows;
}

quint32 RowStore::appendRow(const std::vector<Value> &values) {
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const Value &v = values[c];
        appendValue(m_columns[c], v ? v->constData() : nullptr,
                    v ? static_cast<quint32>(v->size()) : 0);
    }
    return m_rows++;
}

void RowStore::finish() {
    for (Column &c : m_columns) {
        c.offset.shrink();
        c.length.shrink();
        c.bytes.shrink();
    }
}

RowStore::Value RowStore::value(quint32 row, int column) const {
    const Column &c = col(column);
    const quint32 size = c.length[row];
    if (size == kNull)
        return std::nullopt;
    return QByteArray(c.bytes.data() + c.offset[row], static_cast<qsizetype>(size));
}

std::vector<RowStore::Value> RowStore::row(quint32 row) const {
    std::vector<Value> values;
    values.reserve(m_columns.size());
    for (int c = 0; c < columnCount(); ++c)
        values.push_back(value(row, c));
    return values;
}

void RowStore::setValue(quint32 row, int column, const Value &value) {
    // The old bytes stay unused in the buffer; edits are few against a whole result.
    Column &c = m_columns[static_cast<size_t>(column)];
    if (!value) {
        c.length[row] = kNull;
        return;
    }
    const quint32 size = static_cast<quint32>(value->size());
    if (c.bytes.size() + size >= kNull)
        throw std::length_error("column too large");
    c.offset[row] = static_cast<quint32>(c.bytes.size());
    c.length[row] = size;
    if (size)
        std::memcpy(c.bytes.extend(size), value->constData(), size);
}

int RowStore::findExact(const std::vector<quint32> &order, bool inStoredOrder, int column,
                        const QByteArray &value) const {
    const Column &c = col(column);
    const quint32 wanted = static_cast<quint32>(value.size());
    const char *bytes = c.bytes.data();
    const quint32 *offsets = c.offset.data();
    const quint32 *lengths = c.length.data();
    const char *needle = value.constData();
    // Values of the same length mostly differ in their first eight bytes (phone numbers
    // share only their prefix): compare those as one word before the rest.
    const bool wordFirst = wanted >= 8;
    quint64 head = 0;
    if (wordFirst)
        std::memcpy(&head, needle, 8);
    auto matches = [&](quint32 r) {
        if (lengths[r] != wanted)
            return false;
        const char *at = bytes + offsets[r];
        if (wordFirst) {
            quint64 word;
            std::memcpy(&word, at, 8);
            return word == head && std::memcmp(at + 8, needle + 8, wanted - 8) == 0;
        }
        return std::memcmp(at, needle, wanted) == 0;
    };
    const size_t n = order.size();
    if (inStoredOrder) {
        for (size_t r = 0; r < n; ++r)
            if (matches(static_cast<quint32>(r)))
                return static_cast<int>(r);
        return -1;
    }
    for (size_t i = 0; i < n; ++i)
        if (matches(order[i]))
            return static_cast<int>(i);
    return -1;
}

int RowStore::find(const std::vector<quint32> &order, int column,
                   const std::function<bool(const char *, quint32)> &matches) const {
    const Column &c = col(column);
    for (size_t i = 0; i < order.size(); ++i) {
        const quint32 r = order[i];
        if (c.length[r] != kNull && matches(c.bytes.data() + c.offset[r], c.length[r]))
            return static_cast<int>(i);
    }
    return -1;
}

void RowStore::sort(std::vector<quint32> &order, int column, FieldType type) const {
    const Column &c = col(column);
    auto isNullRow = [&](quint32 r) {
        return c.length[r] == kNull;
    };
    // Nulls first, in their present order; then the values.
    auto firstValue = std::stable_partition(order.begin(), order.end(), isNullRow);

    auto raw = [&](quint32 r) {
        return QByteArray::fromRawData(c.bytes.data() + c.offset[r],
                                       static_cast<qsizetype>(c.length[r]));
    };
    if (isIntegerType(type)) {
        std::vector<qint64> keys(m_rows);
        for (auto it = firstValue; it != order.end(); ++it)
            keys[*it] = raw(*it).toLongLong();
        std::stable_sort(firstValue, order.end(),
                         [&](quint32 a, quint32 b) { return keys[a] < keys[b]; });
    } else if (type == FieldType::Float || type == FieldType::Boolean) {
        std::vector<double> keys(m_rows);
        for (auto it = firstValue; it != order.end(); ++it)
            keys[*it] = raw(*it).toDouble();
        std::stable_sort(firstValue, order.end(),
                         [&](quint32 a, quint32 b) { return keys[a] < keys[b]; });
    } else if (type == FieldType::Date || type == FieldType::Time || type == FieldType::DateTime) {
        // The server writes dates, times and date-times so that their bytes sort in time order.
        std::stable_sort(firstValue, order.end(),
                         [&](quint32 a, quint32 b) { return raw(a) < raw(b); });
    } else {
        QCollator collator(QLocale(QLocale::Turkish, QLocale::Turkey));
        collator.setCaseSensitivity(Qt::CaseSensitive);
        std::vector<std::optional<QCollatorSortKey>> keys(m_rows);
        for (auto it = firstValue; it != order.end(); ++it)
            keys[*it] =
                collator.sortKey(cp1254::toUnicode(c.bytes.data() + c.offset[*it], c.length[*it]));
        std::stable_sort(firstValue, order.end(),
                         [&](quint32 a, quint32 b) { return keys[a]->compare(*keys[b]) < 0; });
    }
}
