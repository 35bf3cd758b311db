#include "platform/DataFolder.h"

#include <QDir>
#include <QStandardPaths>

QString dataFolder() {
    const QString home = qEnvironmentVariable("ZEFIRAN_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    // The XDG rules ignore a relative $XDG_DATA_HOME.
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg + QLatin1String("/zefiran"));
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1String("/zefiran");
#else
    return QDir::homePath() + QLatin1String("/.local/share/zefiran");
#endif
}

QString settingsFilePath() {
    return dataFolder() + QLatin1String("/cidsetup.ini");
}

QString callSpoolFilePath() {
    return dataFolder() + QLatin1String("/cidspool.txt");
}
