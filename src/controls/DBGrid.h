#pragma once

#include <QByteArray>
#include <QHash>
#include <QTableView>

#include <utility>
#include <vector>

#include "controls/DataSetModel.h"

class TZQuery;

// A grid over a dataset, with column titles. The grid's current row and the dataset's
// current row follow each other: moving in the grid moves the dataset (which posts a row
// being edited), and the dataset's moves (navigator, locate, open) move the grid.
//
// Read-only grids select whole rows. An editable grid edits single cells in place: a typed
// value is written into the dataset's current row, and the row is posted when the cursor
// leaves it; Escape drops the row's changes.
class DBGrid final : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(TZQuery &dataset, QWidget *parent = nullptr);

    TZQuery &dataset() const { return m_model->dataset(); }
    DataSetModel *dataModel() const { return m_model; }

    // Listed columns; an empty list shows every field.
    void setColumns(std::vector<GridColumn> columns);
    void setEditable(bool editable);
    bool editable() const { return m_model->editable(); }
    // The selected row stays highlighted while another control has the focus.
    void setAlwaysShowSelection(bool always);

    // The name of the field behind a column; empty when the dataset lacks it.
    QByteArray fieldName(int column) const;

signals:
    // A mouse click on a data cell, once the dataset stands on the clicked row. Keyboard and
    // navigator moves do not give it.
    void cellClick(int column);
    // A mouse click on a column title.
    void titleClick(int column);
    // A double click on a data cell, once the dataset stands on its row.
    void dblClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void followDataset(int row);
    void gridMoved(const QModelIndex &current);
    void userResized(int column, int oldWidth, int width);
    void applyWidths();
    int titleWidth(int column) const;
    int fieldWidth(int column) const;
    // The width the texts of those rows need in that column; 0 when they are all empty.
    int measuredWidth(int column, int firstRow, int lastRow) const;
    // Whether the column's width follows its texts (the user and the list gave it none).
    bool followsTexts(int column) const;
    // Rows that arrived or changed widen the columns that follow their texts.
    void rowsChanged(int firstRow, int lastRow);
    void widenFor(int firstRow, int lastRow);

    DataSetModel *m_model;
    bool m_following = false;
    bool m_applying = false;
    QHash<QByteArray, int> m_widths;           // set by the user, by field name, across resets
    QHash<QByteArray, int> m_measured;         // needed by the rows shown so far
    std::pair<int, int> m_changedRows{-1, -1}; // rows changed since they were last measured
};
