#include "app/InstalledStart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QStringList workingFolderFiles() {
    return {QStringLiteral("gurup.txt"), QStringLiteral("referans.txt"),
            QStringLiteral("phone.mp3")};
}

QStringList copyShippedFiles(const QString &shipped, const QString &dataFolder) {
    QStringList copied;
    if (!QDir().mkpath(dataFolder))
        return copied;
    for (const QString &name : workingFolderFiles()) {
        const QString source = shipped + QLatin1Char('/') + name;
        const QString target = dataFolder + QLatin1Char('/') + name;
        if (QFileInfo::exists(target) || !QFileInfo(source).isFile())
            continue;
        // QFile::copy writes a temporary file and renames it without replacing: a failure
        // leaves no half file, and a file that appeared meanwhile stays as it is.
        if (!QFile::copy(source, target))
            continue;
        // The user edits the copy, whatever the installed file's mode.
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther);
        copied.append(name);
    }
    return copied;
}

bool enterDataFolder(const QString &shipped, const QString &dataFolder) {
    if (shipped.isEmpty())
        return false;
    copyShippedFiles(shipped, dataFolder);
    return QDir::setCurrent(dataFolder);
}
