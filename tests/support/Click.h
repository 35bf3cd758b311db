#pragma once

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>

// Clicks a button and runs what the click queued: handlers connected with
// connectDeferredClick run from the event loop right after the click, not inside it.
inline void clickAndRun(QAbstractButton *button) {
    button->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}
