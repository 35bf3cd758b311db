#include "controls/EditableCombo.h"

#include "controls/TextGuard.h"

#include <QComboBox>
#include <QLineEdit>

QComboBox *newEditableCombo(const char *objectName, const QString &accessibleName,
                            QWidget *parent) {
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(objectName));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setAccessibleName(accessibleName);
    combo->lineEdit()->setAccessibleName(accessibleName);
    guardText(combo);
    return combo;
}
