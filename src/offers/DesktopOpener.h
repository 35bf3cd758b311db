#pragma once

#include <QObject>
#include <QString>

// Opens files in the desktop's default application by running xdg-open, found on PATH (on
// Windows: the shell's file association). Only xdg-open's exit status tells whether a
// program took the file: a launcher that merely started says nothing. xdg-open may wait
// until the program it started ends, so the status comes later, as a signal, and never
// blocks the windows.
class DesktopOpener : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~DesktopOpener() override;

    // Starts opening the file; throws Error when xdg-open cannot be started.
    void open(const QString &path);

    // The text the error box shows when xdg-open ended with this status.
    static QString failureText(const QString &path, int exitStatus);

signals:
    void opened(const QString &path);
    void failed(const QString &path, const QString &text);
};
