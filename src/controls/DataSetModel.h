#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>

#include <vector>

#include "store/TZQuery.h"

// One column of a grid: the field it shows, its title (empty: the field's name), where the
// title and the values stand, and its width in pixels (0: from the field's size).
struct GridColumn {
    QByteArray field;
    QString title;
    Qt::Alignment alignment = Qt::AlignLeft;
    Qt::Alignment titleAlignment = Qt::AlignLeft;
    int width = 0;
};

// The rows of a dataset as a table: every field of the dataset, or the listed columns. The
// texts are the fields read as text (Windows-1254, shown as Unicode); a null shows empty.
//
// The dataset tells what changed after it happened; the model passes that on as row
// insertions, removals and changes, and as a reset when the rows were opened, re-read or
// re-ordered. An edit is written into the dataset's current row (the dataset must be on
// that row); the cell shows the new value once the dataset holds it.
class DataSetModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSetModel(TZQuery &dataset, QObject *parent = nullptr);

    TZQuery &dataset() const { return m_dataset; }

    // Listed columns; an empty list shows every field of the dataset in its order.
    void setColumns(std::vector<GridColumn> columns);
    // In-place editing of the cells.
    void setEditable(bool editable);
    bool editable() const { return m_editable; }

    // The column's description (for every-field grids: the field's name and its default
    // alignment).
    GridColumn column(int column) const;
    // The dataset's field behind a column; -1 when the dataset has no such field.
    int fieldOf(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Writes the text into the field of the dataset's current row (starting an edit); an
    // error is shown in the application's error box and the cell keeps its value.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // The same write without the error box: throws the dataset's Error.
    void writeCell(int row, int column, const QString &text);

private:
    // While the views are told of a change the dataset has already made, rows are mapped
    // to the dataset's rows as they were before it.
    enum class Pending { None, Inserted, Removed };

    void reset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void rebuildFields();
    int datasetRow(int row) const; // -1: no row of the dataset

    TZQuery &m_dataset;
    std::vector<GridColumn> m_listed;
    std::vector<int> m_fieldOfColumn;
    int m_rows = 0;
    bool m_editable = false;
    Pending m_pending = Pending::None;
    int m_pendingRow = -1;
};
