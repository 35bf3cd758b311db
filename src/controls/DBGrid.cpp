#include "controls/DBGrid.h"

#include "controls/Dialogs.h"
#include "controls/TextGuard.h"
#include "store/TZQuery.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

// The in-place editor takes only Windows-1254 text, and no more characters than a text
// field holds.
class CellDelegate final : public QStyledItemDelegate {
public:
    explicit CellDelegate(DataSetModel *model, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_model(model) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            guardText(line);
            const int field = m_model->fieldOf(index.column());
            if (field >= 0) {
                const FieldDef &def = m_model->dataset().fieldDef(field);
                if (def.type == FieldType::String && def.size > 0)
                    line->setMaxLength(def.size);
            }
        }
        return editor;
    }

private:
    DataSetModel *m_model;
};

// Characters a column shows by default, from its field.
int displayCharacters(const FieldDef &def) {
    switch (def.type) {
    case FieldType::String:
        return std::clamp(def.size, 4, 20);
    case FieldType::SmallInt:
        return 6;
    case FieldType::Integer:
    case FieldType::LargeInt:
    case FieldType::Float:
        return 8;
    case FieldType::Date:
        return 10;
    case FieldType::Time:
        return 8;
    case FieldType::DateTime:
        return 19;
    default:
        return 16;
    }
}

} // namespace

DBGrid::DBGrid(TZQuery &dataset, QWidget *parent)
    : QTableView(parent)
    , m_model(new DataSetModel(dataset, this)) {
    setModel(m_model);
    setItemDelegate(new CellDelegate(m_model, this));
    setSortingEnabled(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(16);
    setEditable(false);

    connect(&dataset, &TZQuery::currentRowChanged, this, &DBGrid::followDataset);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &DBGrid::userResized);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_changedRows = {-1, -1};
        applyWidths();
        followDataset(this->dataset().currentRow());
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { rowsChanged(first, last); });
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                rowsChanged(topLeft.row(), bottomRight.row());
            });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { gridMoved(current); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DBGrid::titleClick);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && index.row() == this->dataset().currentRow())
            emit cellClick(index.column());
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && index.row() == this->dataset().currentRow())
            emit dblClick();
    });
    applyWidths();
    followDataset(dataset.currentRow());
}

void DBGrid::setColumns(std::vector<GridColumn> columns) {
    m_model->setColumns(std::move(columns));
    // The widths of the columns shown before are of no use for the new ones.
    m_widths.clear();
    m_measured.clear();
    applyWidths();
}

void DBGrid::setEditable(bool editable) {
    m_model->setEditable(editable);
    setSelectionMode(QAbstractItemView::SingleSelection);
    if (editable) {
        setSelectionBehavior(QAbstractItemView::SelectItems);
        setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
    } else {
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    followDataset(dataset().currentRow());
}

void DBGrid::setAlwaysShowSelection(bool always) {
    // The selection of an inactive window is drawn in the colours of an active one.
    QPalette p = palette();
    const QPalette standard = QApplication::palette(this);
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setBrush(QPalette::Inactive, role,
                   always ? p.brush(QPalette::Active, role)
                          : standard.brush(QPalette::Inactive, role));
    setPalette(p);
}

QByteArray DBGrid::fieldName(int column) const {
    const int field = m_model->fieldOf(column);
    return field >= 0 ? dataset().fieldDef(field).name : QByteArray();
}

// ---------------------------------------------------------------- current row

void DBGrid::followDataset(int row) {
    const bool wasFollowing = m_following;
    m_following = true;
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0) {
        selectionModel()->clear();
    } else {
        const int column = currentIndex().isValid() ? currentIndex().column()
                                                    : horizontalHeader()->logicalIndex(0);
        const QModelIndex index = m_model->index(row, std::max(column, 0));
        QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
        if (!editable())
            flags |= QItemSelectionModel::Rows;
        if (index != currentIndex() || !selectionModel()->isSelected(index))
            selectionModel()->setCurrentIndex(index, flags);
        scrollTo(index);
    }
    m_following = wasFollowing;
}

void DBGrid::gridMoved(const QModelIndex &current) {
    if (m_following || !current.isValid() || current.row() == dataset().currentRow())
        return;
    dialogs::guarded([&] { dataset().moveTo(current.row()); }, this);
    // A row that could not be posted keeps the cursor: the grid goes back to it.
    if (dataset().currentRow() != current.row())
        followDataset(dataset().currentRow());
}

void DBGrid::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && state() != QAbstractItemView::EditingState &&
        (dataset().state() == DataSetState::Edit || dataset().state() == DataSetState::Insert)) {
        dialogs::guarded([this] { dataset().cancel(); }, this);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::changeEvent(QEvent *event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // Rows and the columns' default widths follow the font.
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
        m_widths.clear();
        m_measured.clear();
        applyWidths();
    }
}

// ---------------------------------------------------------------- column widths

// A column's width is, in this order: the width the user gave it; the width its list gives
// it; the widest its rows have needed so far (the first rows of each opening, and every row
// that arrived or changed since); before any row showed a value, the width its field's size
// needs. Widths are kept by field name, so they stay when a new statement is opened.

void DBGrid::userResized(int column, int, int width) {
    if (m_applying)
        return;
    const QByteArray name = m_model->column(column).field.toLower();
    if (!name.isEmpty())
        m_widths.insert(name, width);
}

void DBGrid::applyWidths() {
    m_applying = true;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const GridColumn column = m_model->column(c);
        const QByteArray name = column.field.toLower();
        int width = 0;
        if (const auto known = m_widths.constFind(name); known != m_widths.constEnd()) {
            width = *known;
        } else if (column.width > 0) {
            width = column.width;
        } else if (const int measured = measuredWidth(c, 0, m_model->rowCount() - 1);
                   measured > 0) {
            // Columns widen for longer texts but do not narrow again while the user types.
            int &widest = m_measured[name];
            widest = std::max(widest, measured);
            width = widest;
        } else if (const auto measuredBefore = m_measured.constFind(name);
                   measuredBefore != m_measured.constEnd()) {
            width = *measuredBefore;
        } else {
            width = fieldWidth(c);
        }
        setColumnWidth(c, width);
    }
    m_applying = false;
}

int DBGrid::titleWidth(int column) const {
    const QString title = m_model->headerData(column, Qt::Horizontal).toString();
    return horizontalHeader()->fontMetrics().horizontalAdvance(title) + 16;
}

int DBGrid::fieldWidth(int column) const {
    int characters = 16;
    if (const int field = m_model->fieldOf(column); field >= 0)
        characters = displayCharacters(dataset().fieldDef(field));
    return std::max(characters * fontMetrics().averageCharWidth() + 12, titleWidth(column));
}

bool DBGrid::followsTexts(int column) const {
    const GridColumn described = m_model->column(column);
    return described.width <= 0 && !m_widths.contains(described.field.toLower()) &&
           m_model->fieldOf(column) >= 0;
}

// A new row comes with a change per field and one for its post: the rows are measured once,
// when the program is back in the event loop, before the grid paints them.
void DBGrid::rowsChanged(int firstRow, int lastRow) {
    const bool queued = m_changedRows.first >= 0;
    m_changedRows.first = queued ? std::min(m_changedRows.first, firstRow) : firstRow;
    m_changedRows.second = std::max(m_changedRows.second, lastRow);
    if (queued)
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            const auto [first, last] = m_changedRows;
            m_changedRows = {-1, -1};
            if (first >= 0)
                widenFor(first, last);
        },
        Qt::QueuedConnection);
}

void DBGrid::widenFor(int firstRow, int lastRow) {
    m_applying = true;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        if (!followsTexts(c))
            continue;
        const int measured = measuredWidth(c, firstRow, lastRow);
        if (measured <= 0)
            continue;
        // A first measure replaces the width the field's size gave; later ones only widen.
        int &widest = m_measured[m_model->column(c).field.toLower()];
        if (measured <= widest)
            continue;
        widest = measured;
        setColumnWidth(c, widest);
    }
    m_applying = false;
}

int DBGrid::measuredWidth(int column, int firstRow, int lastRow) const {
    // A bounded number of rows: a change of many rows at once costs no more than an opening.
    constexpr int sampleRows = 40;
    firstRow = std::max(firstRow, 0);
    lastRow = std::min({lastRow, m_model->rowCount() - 1, firstRow + sampleRows - 1});
    if (m_model->fieldOf(column) < 0)
        return 0;
    const QFontMetrics metrics = fontMetrics();
    int content = 0;
    for (int row = firstRow; row <= lastRow; ++row)
        content = std::max(content, metrics.horizontalAdvance(
                                        m_model->data(m_model->index(row, column)).toString()));
    if (content == 0)
        return 0; // nothing to measure yet
    const int widest = 32 * metrics.averageCharWidth();
    return std::max(std::min(content, widest) + 12, titleWidth(column));
}
