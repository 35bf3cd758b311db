#include "controls/LabeledEdit.h"

#include "controls/Captioned.h"
#include "controls/TextGuard.h"

#include <QKeyEvent>
#include <QVBoxLayout>

LabeledEdit::LabeledEdit(const QString &caption, QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(caption, this))
    , m_edit(new QLineEdit(this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_label);
    layout->addWidget(m_edit);
    m_label->setBuddy(m_edit);
    m_edit->setAccessibleName(accessibleCaption(caption));
    setFocusProxy(m_edit);
    guardText(m_edit);
    m_edit->installEventFilter(this);
}

bool LabeledEdit::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress)
        emit keyDown(static_cast<QKeyEvent *>(event));
    return QWidget::eventFilter(watched, event);
}
