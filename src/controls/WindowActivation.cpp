#include "controls/WindowActivation.h"

#include "controls/Dialogs.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

WindowActivation::WindowActivation(QWidget *window, std::function<void()> handler)
    : QObject(window)
    , m_window(window)
    , m_handler(std::move(handler)) {
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            &WindowActivation::focusWindowChanged);
}

void WindowActivation::focusWindowChanged(QWindow *focused) {
    QWindow *previous = m_lastFocusWindow;
    m_lastFocusWindow = focused;
    if (!focused || focused != m_window->windowHandle() || !previous || previous == focused)
        return;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == previous && top != m_window && !top->isModal() &&
            !top->inherits("QDialog")) {
            dialogs::guarded(m_handler, m_window);
            return;
        }
    }
}
