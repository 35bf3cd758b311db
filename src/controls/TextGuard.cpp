#include "controls/TextGuard.h"

#include "platform/Cp1254.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

QValidator::State Cp1254Validator::validate(QString &input, int &) const {
    return cp1254::canEncode(input) ? Acceptable : Invalid;
}

void guardText(QLineEdit *edit) {
    edit->setValidator(new Cp1254Validator(edit));
}

void guardText(QComboBox *combo) {
    if (combo->lineEdit())
        guardText(combo->lineEdit());
}

Memo::Memo(QWidget *parent)
    : QPlainTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(true);
}

void Memo::keyPressEvent(QKeyEvent *event) {
    emit keyDown(event);
    if (!cp1254::canEncode(event->text())) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void Memo::insertFromMimeData(const QMimeData *source) {
    if (source->hasText() && !cp1254::canEncode(source->text())) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}
