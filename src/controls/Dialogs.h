#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Every modal box of the program goes through here, so that tests can answer them.
namespace dialogs {

enum class Kind {
    Message,      // plain message box: the text, no icon, one OK button
    Confirmation, // question icon, Yes and No, Yes the default
    OkCancel,     // confirmation icon, OK and Cancel
    Error,        // the application's error box: error icon, one OK, the application's title
};

struct Box {
    Kind kind;
    QString caption;
    QString text;
};

// Shows a plain message box.
void showMessage(const QString &text, QWidget *parent = nullptr);
// Asks a question with Yes and No; true only for Yes.
bool confirm(const QString &text, const QString &caption, QWidget *parent = nullptr);
// Asks with OK and Cancel; true only for OK.
bool confirmOkCancel(const QString &text, QWidget *parent = nullptr);
// The application's error box. A full stop is added when the text's last character sorts
// after "." (letters and digits do; ".", "!", ")" and "'" do not).
void showError(const QString &text, QWidget *parent = nullptr);

// The text as the error box shows it.
QString errorBoxText(const QString &text);

// Runs a handler; an error that escapes it is shown in the application's error box and
// the program goes on.
void guarded(const std::function<void()> &handler, QWidget *parent = nullptr);

// A slot that runs the handler guarded, whatever the signal's arguments.
template <typename Handler> auto guard(QWidget *parent, Handler handler) {
    return [parent, handler](auto &&...) {
        guarded(handler, parent);
    };
}

// Tests answer the boxes instead of a user: the responder gets each box and returns the
// button pressed. Without one, the boxes are shown.
using Responder = std::function<QMessageBox::StandardButton(const Box &)>;
void setResponder(Responder responder);

} // namespace dialogs
