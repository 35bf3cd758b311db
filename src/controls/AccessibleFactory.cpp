#include "controls/AccessibleFactory.h"

#include <QWidget>

void useAccessibleFactory(QWidget *widget, QAccessible::InterfaceFactory factory) {
    QAccessible::installFactory(factory); // once: a factory already installed is kept
    if (QAccessible::isActive()) {
        if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(widget))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}
