#pragma once

#include <QComboBox>
#include <QString>

class QWidget;

// An editable drop-down list: the user types any text or picks an item; typed texts are not
// added to the list. Its accessible name (also its edit's) is the caption's text whatever the
// box holds, and what it holds is its accessible value (and the text of its edit). Text
// outside Windows-1254 is refused as it is typed.
class EditableCombo final : public QComboBox {
    Q_OBJECT
public:
    EditableCombo(const QString &accessibleName, QWidget *parent = nullptr);
};

QComboBox *newEditableCombo(const char *objectName, const QString &accessibleName, QWidget *parent);

// Puts a text into an editable combo as the program fills it: the box shows the text's start.
void setComboText(QComboBox *combo, const QString &text);
