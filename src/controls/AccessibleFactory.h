#pragma once

#include <QAccessible>

class QWidget;

// Gives a widget the accessible interface that the factory makes for its class. Called from
// the class's constructor: the factory is installed once for the whole program, and an
// interface the toolkit may have made for the widget while its base class was being built
// (which it does only while an assistive tool listens) is dropped, so that the next query
// gets the program's own.
void useAccessibleFactory(QWidget *widget, QAccessible::InterfaceFactory factory);
