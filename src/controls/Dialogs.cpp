#include "controls/Dialogs.h"

#include "platform/Error.h"

#include <QApplication>
#include <QFileInfo>

#include <exception>

namespace dialogs {

namespace {

Responder &responder() {
    static Responder r;
    return r;
}

QString applicationTitle() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QMessageBox::StandardButton ask(const Box &box, QMessageBox::Icon icon,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton, QWidget *parent) {
    if (responder())
        return responder()(box);
    QMessageBox dialog(icon, box.caption, box.text, buttons, parent);
    dialog.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(dialog.exec());
}

} // namespace

void showMessage(const QString &text, QWidget *parent) {
    ask({Kind::Message, applicationTitle(), text}, QMessageBox::NoIcon, QMessageBox::Ok,
        QMessageBox::Ok, parent);
}

bool confirm(const QString &text, const QString &caption, QWidget *parent) {
    return ask({Kind::Confirmation, caption, text}, QMessageBox::Question,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, parent) == QMessageBox::Yes;
}

bool confirmOkCancel(const QString &text, QWidget *parent) {
    return ask({Kind::OkCancel, applicationTitle(), text}, QMessageBox::Question,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, parent) == QMessageBox::Ok;
}

QString errorBoxText(const QString &text) {
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}

void showError(const QString &text, QWidget *parent) {
    ask({Kind::Error, applicationTitle(), errorBoxText(text)}, QMessageBox::Critical,
        QMessageBox::Ok, QMessageBox::Ok, parent);
}

void guarded(const std::function<void()> &handler, QWidget *parent) {
    try {
        handler();
    } catch (const Error &e) {
        showError(e.text(), parent);
    } catch (const std::exception &e) {
        showError(QString::fromLocal8Bit(e.what()), parent);
    }
}

void setResponder(Responder r) {
    responder() = std::move(r);
}

} // namespace dialogs
