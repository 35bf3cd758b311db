#include "offers/DesktopOpener.h"

#include "platform/Error.h"

#include <QDir>
#ifdef Q_OS_WIN
#include <QDesktopServices>
#include <QUrl>
#endif
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString kOpener = QStringLiteral("xdg-open");

QString cannotOpen(const QString &path, const QString &reason) {
    // The path on a line of its own, so that the user can open the file by hand; the
    // closing parenthesis keeps the error box from adding a full stop to it.
    return QStringLiteral("Dosya açılamadı:\n") + QDir::toNativeSeparators(path) +
           QStringLiteral("\n(") + reason + QStringLiteral(")");
}

} // namespace

DesktopOpener::~DesktopOpener() {
    // The program being closed ends the waiting xdg-open; a program it started keeps
    // running (it is not in xdg-open's place).
    for (QProcess *process : findChildren<QProcess *>()) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
    }
}

QString DesktopOpener::failureText(const QString &path, int exitStatus) {
    const QString status = QStringLiteral("xdg-open çıkış kodu ") + QString::number(exitStatus);
    switch (exitStatus) {
    case 1:
        return cannotOpen(path, QStringLiteral("xdg-open komut satırını kabul etmedi; ") + status);
    case 2:
        return cannotOpen(path, QStringLiteral("dosya bulunamadı; ") + status);
    case 3:
        return cannotOpen(path, QStringLiteral("bu dosyayı açacak bir program yok; ") + status);
    case 4:
        // Also what xdg-open says when it waited for the program and the program ended badly,
        // perhaps long after it showed the file.
        return QStringLiteral("Dosyayı açan program bir hatayla sona erdi:\n") +
               QDir::toNativeSeparators(path) + QStringLiteral("\n(") + status +
               QStringLiteral(")");
    default:
        return cannotOpen(path, status);
    }
}

void DesktopOpener::open(const QString &path) {
#ifdef Q_OS_WIN
    // The shell opens the file by its association and answers at once, truthfully.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        throw Error(cannotOpen(path, QStringLiteral("bu dosyayı açacak bir program yok")));
    QMetaObject::invokeMethod(
        this, [this, path] { emit opened(path); }, Qt::QueuedConnection);
#else
    const QString program = QStandardPaths::findExecutable(kOpener);
    if (program.isEmpty())
        throw Error(cannotOpen(path, kOpener + QStringLiteral(" bulunamadı")));

    auto *process = new QProcess(this);
    process->setProgram(program);
    process->setArguments({path});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process, &QProcess::errorOccurred, this,
            [this, process, path](QProcess::ProcessError e) {
                if (e != QProcess::FailedToStart)
                    return; // a crash also ends in finished()
                emit failed(path, cannotOpen(path, kOpener + QStringLiteral(" başlatılamadı: ") +
                                                       process->errorString()));
                process->deleteLater();
            });
    connect(process, &QProcess::finished, this,
            [this, process, path](int exitCode, QProcess::ExitStatus status) {
                if (status == QProcess::CrashExit)
                    emit failed(path,
                                cannotOpen(path, kOpener + QStringLiteral(" yarıda kesildi")));
                else if (exitCode != 0)
                    emit failed(path, failureText(path, exitCode));
                else
                    emit opened(path);
                process->deleteLater();
            });
    process->start();
#endif
}
