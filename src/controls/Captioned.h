#pragma once

#include <QIcon>
#include <QString>
#include <QStyle>

class LabeledEdit;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

// Controls made the one way every window makes them: the object name is the control's name
// in the program, and the caption (without a trailing ":" and blanks) is what assistive
// technology calls the control.

// The caption as a control's accessible name: "Telefon Ara :" -> "Telefon Ara".
QString accessibleCaption(const QString &caption);

// The desktop theme's icon of that name, else the style's standard pixmap.
QIcon themeIcon(const char *name, QStyle::StandardPixmap fallback, const QWidget *widget);

// A captioned edit; its inner edit is named name + "Edit".
LabeledEdit *newLabeledEdit(const char *name, const QString &caption, QWidget *parent);

// A push button named by its caption. A button without a caption (icon only) must be given
// an accessible name that says what it does.
QPushButton *newButton(const char *name, const QString &caption, const QIcon &icon,
                       QWidget *parent);

// An editable combo with its caption label as its buddy; label is set to the new label.
QComboBox *newCaptionedCombo(const char *name, const char *labelName, const QString &caption,
                             QLabel *&label, QWidget *parent);
