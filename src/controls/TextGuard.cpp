#include "controls/TextGuard.h"

#include "platform/Cp1254.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalBlocker>

QValidator::State Cp1254Validator::validate(QString &input, int &) const {
    return cp1254::canEncode(input) ? Acceptable : Invalid;
}

namespace {

// Keeps the last text of an edit that Windows-1254 can hold and puts it back when another one
// comes in by a way that passes by the validator: the program's setText, and an assistive
// tool inserting or replacing text.
class AcceptedText final : public QObject {
public:
    explicit AcceptedText(QLineEdit *edit)
        : QObject(edit)
        , m_text(edit->text()) {
        connect(edit, &QLineEdit::textChanged, this, [this, edit](const QString &text) {
            if (cp1254::canEncode(text)) {
                m_text = text;
                return;
            }
            QApplication::beep();
            // Quietly: the text is what it was before, for those who follow the edit too.
            const QSignalBlocker quiet(edit);
            edit->setText(m_text);
        });
    }

private:
    QString m_text;
};

} // namespace

void guardText(QLineEdit *edit) {
    edit->setValidator(new Cp1254Validator(edit));
    new AcceptedText(edit);
}

void guardText(QComboBox *combo) {
    if (combo->lineEdit())
        guardText(combo->lineEdit());
}

Memo::Memo(QWidget *parent)
    : QPlainTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(true);
    // Text that comes in by a way that passes by the key and paste guards (the program, an
    // assistive tool) is refused too: the memo goes back to its last text.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = toPlainText();
        if (cp1254::canEncode(text)) {
            m_accepted = text;
            return;
        }
        QApplication::beep();
        const QSignalBlocker quiet(this);
        setPlainText(m_accepted);
    });
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
