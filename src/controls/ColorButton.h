#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPushButton>
#include <QRect>
#include <QString>

class QPainter;

// The face of a colour button in one state, as the button paints it. Colours that the button
// does not choose itself come from the palette: Shadow for the outline of the active button,
// Dark for the border of the pressed face and the shade of a disabled caption, Light for its
// highlight, Button for the face under the pressed border.
struct ColorButtonFace {
    QRect rect;
    QString caption;
    QFont font;
    QPalette palette;
    QColor backColor;
    QColor foreColor;
    bool pressed = false;
    bool focused = false;
    bool disabled = false;
    bool active = false;
};

// Paints the face: an outline when the button is active or focused; a flat one-pixel border
// with the face and caption moved one pixel right and down while pressed, else the raised
// push-button frame; the face in backColor; the caption centred on one line in foreColor, or
// embossed when disabled; a focus rectangle 4 pixels inside the edge when the button is both
// active and focused.
void paintColorButtonFace(QPainter &painter, const ColorButtonFace &face);

// A push button that paints its own face in BackColor with its caption in ForeColor, and
// shows HoverColor as its face while the mouse is over it: on entering, BackColor is saved
// and becomes HoverColor; on leaving, the saved colour comes back (also over a BackColor set
// in between). Click, keys, focus and the pressed state are the push button's.
//
// The button is active while it has the focus, or while it is the default button and no
// other push button of its window has the focus.
class TColorButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QColor BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(QColor ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(QColor HoverColor READ hoverColor WRITE setHoverColor)

public:
    explicit TColorButton(const QString &caption, QWidget *parent = nullptr);
    ~TColorButton() override;

    // Defaults: the palette's button face, button text and button face colours.
    QColor backColor() const { return m_backColor; }
    QColor foreColor() const { return m_foreColor; }
    QColor hoverColor() const { return m_hoverColor; }
    // Each repaints only when the colour really changes.
    void setBackColor(const QColor &color);
    void setForeColor(const QColor &color);
    void setHoverColor(const QColor &color);

    bool isActive() const { return m_active; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void setColor(QColor &member, const QColor &color);
    void updateActive();

    QColor m_backColor;
    QColor m_foreColor;
    QColor m_hoverColor;
    QColor m_savedColor; // BackColor when the mouse came in
    bool m_hovering = false;
    bool m_active = false;
};
