#include "controls/DeferredClick.h"

#include "controls/Dialogs.h"

#include <QAbstractButton>

void connectDeferredClick(QAbstractButton *button, QWidget *receiver,
                          std::function<void()> handler) {
    QObject::connect(
        button, &QAbstractButton::clicked, receiver,
        [receiver, handler = std::move(handler)] { dialogs::guarded(handler, receiver); },
        Qt::QueuedConnection);
}
