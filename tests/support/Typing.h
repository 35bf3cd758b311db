#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

// Types a text into a widget as a keyboard or an input method delivers it: one key press per
// character (a character outside the Basic Multilingual Plane comes as one press).
inline void typeText(QWidget *widget, const QString &text) {
    for (const char32_t c : text.toUcs4()) {
        const QString typed = QString::fromUcs4(&c, 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, typed);
        QCoreApplication::sendEvent(widget, &release);
    }
}
