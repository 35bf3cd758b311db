#pragma once

#include <functional>

class QAbstractButton;
class QWidget;

// Connects a button's click to its handler through the event loop: the click returns at once
// and the handler runs right after it, guarded like every handler (an error shows in the
// application's error box, with receiver as the box's parent).
//
// Whoever pressed the button is never held up by what the handler does: a handler that opens
// a modal box runs that box's event loop after the press has returned, so an assistive tool's
// "press" action (which clicks a tool button directly) gets its reply while the box is open.
// The handler is dropped when the receiver is destroyed before it ran.
void connectDeferredClick(QAbstractButton *button, QWidget *receiver,
                          std::function<void()> handler);
