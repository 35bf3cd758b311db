#pragma once

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// A stand-in for xdg-open, first on PATH while it lives, so that no test opens a real
// program: it records each file it is asked to open and exits with the status it is given.
class FakeXdgOpen {
public:
    explicit FakeXdgOpen(int exitStatus = 0)
        : m_oldPath(qgetenv("PATH")) {
        QFile script(m_dir.filePath(QStringLiteral("xdg-open")));
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + QFile::encodeName(openedLog()) +
                     "'\nread -r status < '" + QFile::encodeName(statusFile()) +
                     "'\nexit \"$status\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        setExitStatus(exitStatus);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_oldPath);
    }
    ~FakeXdgOpen() { qputenv("PATH", m_oldPath); }
    FakeXdgOpen(const FakeXdgOpen &) = delete;
    FakeXdgOpen &operator=(const FakeXdgOpen &) = delete;

    void setExitStatus(int status) {
        QFile file(statusFile());
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray::number(status) + '\n');
    }

    // No xdg-open anywhere on PATH.
    void makeMissing() {
        qputenv("PATH", QFile::encodeName(m_dir.filePath(QStringLiteral("none"))));
    }

    // The files it was asked to open, in order.
    QStringList openedFiles() const {
        QFile log(openedLog());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        QStringList files = QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'));
        files.removeLast(); // after the last line break
        return files;
    }

private:
    QString openedLog() const { return m_dir.filePath(QStringLiteral("opened")); }
    QString statusFile() const { return m_dir.filePath(QStringLiteral("status")); }

    QTemporaryDir m_dir;
    QByteArray m_oldPath;
};
