#pragma once

#include <QString>

class QComboBox;
class QWidget;

// An editable drop-down list: the user types any text or picks an item; typed texts are not
// added to the list. Its accessible name (also its edit's) is the caption's text; text
// outside Windows-1254 is refused as it is typed.
QComboBox *newEditableCombo(const char *objectName, const QString &accessibleName, QWidget *parent);
