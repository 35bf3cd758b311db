#include "controls/DBNavigator.h"

#include "controls/DeferredClick.h"
#include "controls/Dialogs.h"
#include "store/TZQuery.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

namespace {

using Button = DBNavigator::Button;

QString hintOf(Button b) {
    switch (b) {
    case Button::First:
        return QStringLiteral("First record");
    case Button::Prior:
        return QStringLiteral("Prior record");
    case Button::Next:
        return QStringLiteral("Next record");
    case Button::Last:
        return QStringLiteral("Last record");
    case Button::Delete:
        return QStringLiteral("Delete record");
    case Button::Cancel:
        return QStringLiteral("Cancel edit");
    case Button::Refresh:
        return QStringLiteral("Refresh data");
    }
    return {};
}

const char *objectNameOf(Button b) {
    switch (b) {
    case Button::First:
        return "First";
    case Button::Prior:
        return "Prior";
    case Button::Next:
        return "Next";
    case Button::Last:
        return "Last";
    case Button::Delete:
        return "Delete";
    case Button::Cancel:
        return "Cancel";
    case Button::Refresh:
        return "Refresh";
    }
    return "";
}

// The glyphs, drawn on a 16 x 16 grid: triangles and bars for moving, a bar for delete, a
// cross for cancel, a turning arrow for refresh.
void drawGlyph(QPainter &p, Button b, const QColor &color) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    auto triangle = [&](qreal tipX, qreal baseX) {
        QPainterPath path;
        path.moveTo(baseX, 3);
        path.lineTo(tipX, 8);
        path.lineTo(baseX, 13);
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (b) {
    case Button::First:
        p.drawRect(QRectF(3, 3, 2, 10));
        triangle(6, 12);
        break;
    case Button::Prior:
        triangle(5, 11);
        break;
    case Button::Next:
        triangle(11, 5);
        break;
    case Button::Last:
        triangle(10, 4);
        p.drawRect(QRectF(11, 3, 2, 10));
        break;
    case Button::Delete:
        p.drawRect(QRectF(3, 7, 10, 2.5));
        break;
    case Button::Cancel: {
        QPen pen(color, 2.2, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    }
    case Button::Refresh: {
        QPen pen(color, 1.8, Qt::SolidLine, Qt::FlatCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        QPainterPath head;
        head.moveTo(9, 1);
        head.lineTo(13.5, 4);
        head.lineTo(9, 7);
        head.closeSubpath();
        p.drawPath(head);
        break;
    }
    }
}

QIcon glyphIcon(Button b, const QColor &color) {
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap(QSize(16, 16) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        drawGlyph(p, b, color);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QColor glyphColor(Button b) {
    switch (b) {
    case Button::Delete:
    case Button::Cancel:
        return QColor(0xb0, 0x20, 0x20);
    case Button::Refresh:
        return QColor(0x20, 0x70, 0x30);
    default:
        return QColor(0x20, 0x30, 0x80);
    }
}

} // namespace

DBNavigator::DBNavigator(TZQuery &dataset, std::initializer_list<Button> buttons, QWidget *parent)
    : QWidget(parent)
    , m_dataset(dataset) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const Button b : buttons) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(objectNameOf(b)));
        button->setIcon(glyphIcon(b, glyphColor(b)));
        button->setToolTip(hintOf(b));
        button->setAccessibleName(hintOf(b));
        button->setAutoRaise(false);
        button->setFocusPolicy(Qt::TabFocus);
        button->setMinimumSize(30, 25);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        // Deferred: delete asks first, and any move may show an error box.
        connectDeferredClick(button, this, [this, b] { click(b); });
        layout->addWidget(button);
        m_buttons[b] = button;
    }
    connect(&m_dataset, &TZQuery::rowsReset, this, &DBNavigator::updateButtons);
    connect(&m_dataset, &TZQuery::rowInserted, this, &DBNavigator::updateButtons);
    connect(&m_dataset, &TZQuery::rowRemoved, this, &DBNavigator::updateButtons);
    connect(&m_dataset, &TZQuery::currentRowChanged, this, &DBNavigator::updateButtons);
    connect(&m_dataset, &TZQuery::stateChanged, this, &DBNavigator::updateButtons);
    updateButtons();
}

QToolButton *DBNavigator::button(Button which) const {
    const auto found = m_buttons.find(which);
    return found != m_buttons.end() ? found->second : nullptr;
}

void DBNavigator::click(Button which) {
    switch (which) {
    case Button::First:
        m_dataset.first();
        break;
    case Button::Prior:
        m_dataset.prior();
        break;
    case Button::Next:
        m_dataset.next();
        break;
    case Button::Last:
        m_dataset.last();
        break;
    case Button::Delete:
        if (dialogs::confirmOkCancel(QStringLiteral("Delete record?"), this))
            m_dataset.deleteRecord();
        break;
    case Button::Cancel:
        m_dataset.cancel();
        break;
    case Button::Refresh:
        m_dataset.refresh();
        break;
    }
    updateButtons();
}

void DBNavigator::updateButtons() {
    const bool active = m_dataset.active();
    const bool editing =
        m_dataset.state() == DataSetState::Edit || m_dataset.state() == DataSetState::Insert;
    const int row = m_dataset.currentRow();
    const int rows = m_dataset.rowCount();
    const auto enable = [this](Button b, bool on) {
        if (QToolButton *button = this->button(b))
            button->setEnabled(on);
    };
    enable(Button::First, active && row > 0);
    enable(Button::Prior, active && row > 0);
    enable(Button::Next, active && row >= 0 && row < rows - 1);
    enable(Button::Last, active && row >= 0 && row < rows - 1);
    enable(Button::Delete, active && rows > 0);
    enable(Button::Cancel, active && editing);
    enable(Button::Refresh, active);
}
