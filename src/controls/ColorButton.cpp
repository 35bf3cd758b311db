#include "controls/ColorButton.h"

#include <QApplication>
#include <QPainter>
#include <QPen>
#include <qdrawutil.h>

namespace {

// The raised frame of a push button is two pixels wide.
constexpr int kFrameWidth = 2;
// The focus rectangle lies this far inside the button's edge.
constexpr int kFocusInset = 4;

void drawOutline(QPainter &painter, const QRect &rect, const QColor &color) {
    painter.setPen(QPen(color, 0));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

// A dotted one-pixel rectangle, like the system's focus rectangle.
void drawFocusRect(QPainter &painter, const QRect &rect, const QColor &color) {
    QPen pen(color, 0, Qt::CustomDashLine);
    pen.setDashPattern({1, 1});
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

} // namespace

void paintColorButtonFace(QPainter &painter, const ColorButtonFace &face) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QRect r = face.rect;

    if (face.active || face.focused) {
        painter.setBrush(Qt::NoBrush);
        drawOutline(painter, r, face.palette.color(QPalette::Shadow));
        r.adjust(1, 1, -1, -1);
    }
    if (face.pressed) {
        painter.setBrush(face.palette.color(QPalette::Button));
        drawOutline(painter, r, face.palette.color(QPalette::Dark));
        r.adjust(1, 1, -1, -1);
        r.translate(1, 1);
    } else {
        qDrawWinButton(&painter, r, face.palette, false, nullptr);
        r.adjust(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
    }
    painter.fillRect(r, face.backColor);

    painter.setFont(face.font);
    constexpr int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (face.disabled) {
        // Embossed: the highlight one pixel down and right, the shade on top of it.
        painter.setPen(face.palette.color(QPalette::Light));
        painter.drawText(r.translated(1, 1), flags, face.caption);
        painter.setPen(face.palette.color(QPalette::Dark));
        painter.drawText(r, flags, face.caption);
    } else {
        painter.setPen(face.foreColor);
        painter.drawText(r, flags, face.caption);
    }

    if (face.active && face.focused)
        drawFocusRect(painter,
                      face.rect.adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset),
                      face.foreColor);
    painter.restore();
}

TColorButton::TColorButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
    , m_backColor(palette().color(QPalette::Button))
    , m_foreColor(palette().color(QPalette::ButtonText))
    , m_hoverColor(palette().color(QPalette::Button)) {
    connect(qApp, &QApplication::focusChanged, this, &TColorButton::updateActive);
}

TColorButton::~TColorButton() {
    // ~QWidget gives the focus away, and the application reports that while this object is a
    // colour button no more.
    disconnect(qApp, &QApplication::focusChanged, this, &TColorButton::updateActive);
}

void TColorButton::setBackColor(const QColor &color) {
    setColor(m_backColor, color);
}

void TColorButton::setForeColor(const QColor &color) {
    setColor(m_foreColor, color);
}

void TColorButton::setHoverColor(const QColor &color) {
    setColor(m_hoverColor, color);
}

void TColorButton::setColor(QColor &member, const QColor &color) {
    if (member == color)
        return;
    member = color;
    update();
}

void TColorButton::updateActive() {
    const QWidget *focus = window()->focusWidget();
    const bool otherButtonFocused =
        focus && focus != this && focus->hasFocus() && qobject_cast<const QPushButton *>(focus);
    const bool active = hasFocus() || (isDefault() && !otherButtonFocused);
    if (active == m_active)
        return;
    m_active = active;
    update();
}

void TColorButton::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    ColorButtonFace face;
    face.rect = rect();
    face.caption = text();
    face.font = font();
    face.palette = palette();
    face.backColor = m_backColor;
    face.foreColor = m_foreColor;
    face.pressed = isDown();
    face.focused = hasFocus();
    face.disabled = !isEnabled();
    face.active = m_active;
    paintColorButtonFace(painter, face);
}

void TColorButton::enterEvent(QEnterEvent *event) {
    QPushButton::enterEvent(event);
    m_hovering = true;
    m_savedColor = m_backColor;
    setBackColor(m_hoverColor);
}

void TColorButton::leaveEvent(QEvent *event) {
    QPushButton::leaveEvent(event);
    if (!m_hovering)
        return;
    m_hovering = false;
    setBackColor(m_savedColor);
}
