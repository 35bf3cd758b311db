#pragma once

#include <QPlainTextEdit>
#include <QValidator>

class QLineEdit;
class QComboBox;

// The program's text is Windows-1254. Input that holds a character outside it is refused
// where it is typed or pasted, so that nothing the user typed is silently changed on save.
class Cp1254Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

// The edit (a combo's edit) refuses text that holds a character outside Windows-1254, whether
// typed, pasted or put in by an assistive tool; the edit keeps the text it had.
void guardText(QLineEdit *edit);
void guardText(QComboBox *combo);

// A memo: multi-line text without a border, with the same guard, and a signal for every
// key pressed before the key acts on the text.
class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget *parent = nullptr);

signals:
    void keyDown(QKeyEvent *event);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    QString m_accepted;
};
