#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

class QKeyEvent;

// A single-line edit with its caption above it. The caption is the edit's buddy and its
// accessible name (see accessibleCaption). Text outside Windows-1254 is refused as it is typed.
class LabeledEdit : public QWidget {
    Q_OBJECT
public:
    LabeledEdit(const QString &caption, QWidget *parent = nullptr);

    QLineEdit *edit() const { return m_edit; }
    QLabel *label() const { return m_label; }

    QString text() const { return m_edit->text(); }
    // The text as the program fills the edit: the edit shows its start, as a long value
    // (an e-mail address) is read from its beginning.
    void setText(const QString &text) {
        m_edit->setText(text);
        m_edit->setCursorPosition(0);
    }
    void clear() { m_edit->clear(); }

signals:
    // Every key pressed in the edit, before the key acts on the text.
    void keyDown(QKeyEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_label;
    QLineEdit *m_edit;
};
