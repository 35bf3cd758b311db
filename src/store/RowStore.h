#pragma once

#include <QByteArray>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <optional>
#include <type_traits>
#include <vector>

#include "store/Field.h"

// The rows of a result, held by column: per column one byte buffer with every value's bytes
// and, per row, where its value starts and how long it is. A locate then reads one column's
// memory front to back, and a row costs 8 bytes per column beside its text. Rows are never
// moved: an order of row numbers gives the dataset's sequence, a deleted row just leaves it.
class RowStore {
public:
    using Value = std::optional<QByteArray>; // nullopt: null

    explicit RowStore(int columns);
    // Keeps the given columns of a fetched store, in that order.
    RowStore(RowStore &&fetched, const std::vector<int> &keep);

    void appendRow(char **values, const unsigned long *lengths);
    quint32 appendRow(const std::vector<Value> &values);
    // Gives back what growing left unused.
    void finish();

    quint32 rowCount() const { return m_rows; }
    int columnCount() const { return static_cast<int>(m_columns.size()); }

    bool isNull(quint32 row, int column) const { return col(column).length[row] == kNull; }
    Value value(quint32 row, int column) const;
    std::vector<Value> row(quint32 row) const;
    void setValue(quint32 row, int column, const Value &value);

    // The first position in order whose value in column is exactly value (bytes, length;
    // never a null); -1 when none. inStoredOrder: order is 0, 1, 2, ... (saves the lookup).
    int findExact(const std::vector<quint32> &order, bool inStoredOrder, int column,
                  const QByteArray &value) const;
    // The first position whose non-null value satisfies matches(data, size).
    int find(const std::vector<quint32> &order, int column,
             const std::function<bool(const char *, quint32)> &matches) const;
    // Sorts order ascending by the column's values: nulls first, texts by Turkish collation
    // with letter case significant, numbers numerically, dates chronologically.
    void sort(std::vector<quint32> &order, int column, FieldType type) const;

private:
    static constexpr quint32 kNull = 0xFFFFFFFFu;

    // A growable array of plain values on realloc, which large buffers grow in place.
    template <typename T> class Buffer {
        static_assert(std::is_trivially_copyable_v<T>);

    public:
        Buffer() = default;
        Buffer(Buffer &&other) noexcept { swap(other); }
        Buffer &operator=(Buffer &&other) noexcept {
            swap(other);
            return *this;
        }
        Buffer(const Buffer &) = delete;
        Buffer &operator=(const Buffer &) = delete;
        ~Buffer() { std::free(m_data); }

        T *data() { return m_data; }
        const T *data() const { return m_data; }
        size_t size() const { return m_size; }
        T &operator[](size_t i) { return m_data[i]; }
        const T &operator[](size_t i) const { return m_data[i]; }

        void push(T value) {
            if (m_size == m_capacity)
                grow(m_size + 1);
            m_data[m_size++] = value;
        }
        T *extend(size_t n) {
            if (m_size + n > m_capacity)
                grow(m_size + n);
            T *at = m_data + m_size;
            m_size += n;
            return at;
        }
        void shrink() { resizeStorage(m_size); }

    private:
        void grow(size_t needed) {
            size_t capacity = m_capacity ? m_capacity * 2 : 64;
            while (capacity < needed)
                capacity *= 2;
            resizeStorage(capacity);
        }
        void resizeStorage(size_t capacity) {
            if (capacity == 0) {
                std::free(m_data);
                m_data = nullptr;
                m_capacity = 0;
                return;
            }
            void *p = std::realloc(m_data, capacity * sizeof(T));
            if (!p)
                throw std::bad_alloc();
            m_data = static_cast<T *>(p);
            m_capacity = capacity;
        }
        void swap(Buffer &other) noexcept {
            std::swap(m_data, other.m_data);
            std::swap(m_size, other.m_size);
            std::swap(m_capacity, other.m_capacity);
        }
        T *m_data = nullptr;
        size_t m_size = 0;
        size_t m_capacity = 0;
    };

    struct Column {
        Buffer<quint32> offset;
        Buffer<quint32> length; // kNull for a null
        Buffer<char> bytes;
    };

    const Column &col(int column) const { return m_columns[static_cast<size_t>(column)]; }
    static void appendValue(Column &c, const char *data, quint32 size);

    std::vector<Column> m_columns;
    quint32 m_rows = 0;
};
