#pragma once

#include <QAccessible>
#include <QObject>
#include <QString>

// What assistive technology meets: the accessible interface the toolkit gives an object.

inline QString accessibleText(QObject *object, QAccessible::Text which = QAccessible::Name) {
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(which) : QString();
}

// Presses a button as a screen reader or an automation tool does, through its "press" action.
inline void pressAsAssistiveTool(QObject *button) {
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
    if (iface && iface->actionInterface())
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}
