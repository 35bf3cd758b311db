#include "controls/DataSetModel.h"

#include "controls/Dialogs.h"
#include "platform/Cp1254.h"

DataSetModel::DataSetModel(TZQuery &dataset, QObject *parent)
    : QAbstractTableModel(parent)
    , m_dataset(dataset) {
    connect(&m_dataset, &TZQuery::rowsReset, this, &DataSetModel::reset);
    connect(&m_dataset, &TZQuery::rowInserted, this, &DataSetModel::rowInserted);
    connect(&m_dataset, &TZQuery::rowRemoved, this, &DataSetModel::rowRemoved);
    connect(&m_dataset, &TZQuery::rowChanged, this, &DataSetModel::rowChanged);
    rebuildFields();
    m_rows = m_dataset.rowCount();
}

void DataSetModel::setColumns(std::vector<GridColumn> columns) {
    beginResetModel();
    m_listed = std::move(columns);
    rebuildFields();
    m_rows = m_dataset.rowCount();
    endResetModel();
}

void DataSetModel::setEditable(bool editable) {
    m_editable = editable;
}

GridColumn DataSetModel::column(int column) const {
    if (!m_listed.empty())
        return m_listed[static_cast<size_t>(column)];
    GridColumn described;
    const int field = fieldOf(column);
    if (field < 0)
        return described;
    const FieldDef &def = m_dataset.fieldDef(field);
    described.field = def.name;
    // Numbers stand at the right, everything else at the left.
    if (isIntegerType(def.type) || def.type == FieldType::Float)
        described.alignment = Qt::AlignRight;
    return described;
}

int DataSetModel::fieldOf(int column) const {
    if (column < 0 || column >= static_cast<int>(m_fieldOfColumn.size()))
        return -1;
    const int field = m_fieldOfColumn[static_cast<size_t>(column)];
    return field < m_dataset.fieldCount() ? field : -1;
}

void DataSetModel::rebuildFields() {
    m_fieldOfColumn.clear();
    if (m_listed.empty()) {
        for (int f = 0; f < m_dataset.fieldCount(); ++f)
            m_fieldOfColumn.push_back(f);
    } else {
        for (const GridColumn &c : m_listed)
            m_fieldOfColumn.push_back(m_dataset.fieldIndex(c.field));
    }
}

// ---------------------------------------------------------------- following the dataset

void DataSetModel::reset() {
    beginResetModel();
    rebuildFields();
    m_rows = m_dataset.rowCount();
    endResetModel();
}

void DataSetModel::rowInserted(int row) {
    m_pending = Pending::Inserted;
    m_pendingRow = row;
    beginInsertRows({}, row, row);
    m_pending = Pending::None;
    m_rows = m_dataset.rowCount();
    endInsertRows();
}

void DataSetModel::rowRemoved(int row) {
    m_pending = Pending::Removed;
    m_pendingRow = row;
    beginRemoveRows({}, row, row);
    m_pending = Pending::None;
    m_rows = m_dataset.rowCount();
    endRemoveRows();
}

void DataSetModel::rowChanged(int row) {
    if (row < 0 || row >= m_rows || m_fieldOfColumn.empty())
        return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int DataSetModel::datasetRow(int row) const {
    switch (m_pending) {
    case Pending::Inserted:
        // The views still see the rows before the new one came.
        if (row >= m_pendingRow)
            ++row;
        break;
    case Pending::Removed:
        // The views still see the row that went.
        if (row == m_pendingRow)
            return -1;
        if (row > m_pendingRow)
            --row;
        break;
    case Pending::None:
        break;
    }
    return row >= 0 && row < m_dataset.rowCount() ? row : -1;
}

// ---------------------------------------------------------------- the model

int DataSetModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int DataSetModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_fieldOfColumn.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        const int row = datasetRow(index.row());
        const int field = fieldOf(index.column());
        if (row < 0 || field < 0 || !m_dataset.active())
            return QString();
        return cp1254::toUnicode(m_dataset.textAt(row, field));
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(column(index.column()).alignment | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const GridColumn c = column(section);
        return c.title.isEmpty() ? cp1254::toUnicode(c.field) : c.title;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(column(section).titleAlignment | Qt::AlignVCenter);
    default:
        return {};
    }
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (m_editable && fieldOf(index.column()) >= 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool DataSetModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) ||
        !(flags(index) & Qt::ItemIsEditable))
        return false;
    // Nothing to write when the text is what the cell shows: no edit is started.
    if (value.toString() == data(index, Qt::EditRole).toString())
        return true;
    bool written = false;
    dialogs::guarded([&] {
        writeCell(index.row(), index.column(), value.toString());
        written = true;
    });
    return written;
}

void DataSetModel::writeCell(int row, int column, const QString &text) {
    const int field = fieldOf(column);
    if (field < 0)
        return;
    if (m_dataset.currentRow() != row)
        m_dataset.moveTo(row);
    if (m_dataset.currentRow() != row)
        return;
    const bool startsEdit = m_dataset.state() == DataSetState::Browse;
    m_dataset.edit();
    TZField target = m_dataset.field(field);
    try {
        // An emptied cell of a number or a date is no value at all; an emptied text is an
        // empty text.
        const bool isText = target.type() == FieldType::String || target.type() == FieldType::Memo;
        if (text.isEmpty() && !isText)
            target.clear();
        else
            target.setAsString(cp1254::fromUnicode(text));
    } catch (...) {
        // A refused value leaves the row as it was.
        if (startsEdit && !m_dataset.modified())
            m_dataset.cancel();
        throw;
    }
}
