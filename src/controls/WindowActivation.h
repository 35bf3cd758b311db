#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;
class QWindow;

// Runs a window's activation handler (guarded: an error goes to the error box) when the window
// takes the focus from another, non-modal window of the program. Coming back from a message box
// does not count, so an error box of the handler itself does not start it again and again; nor
// does coming back from another application.
class WindowActivation : public QObject {
    Q_OBJECT
public:
    WindowActivation(QWidget *window, std::function<void()> handler);

private:
    void focusWindowChanged(QWindow *focused);

    QWidget *m_window;
    std::function<void()> m_handler;
    QPointer<QWindow> m_lastFocusWindow;
};
