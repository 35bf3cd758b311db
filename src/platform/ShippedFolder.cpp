#include "platform/ShippedFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString shippedFolder() {
    return shippedFolderBeside(QCoreApplication::applicationDirPath());
}

QString shippedFolderBeside(const QString &binFolder) {
    // The install rules give the path from the binaries' folder to the shipped files, so an
    // installation moved as a whole (a package unpacked elsewhere) still finds them.
    const QString folder =
        QDir::cleanPath(binFolder + QLatin1Char('/') + QLatin1String(ZEFIRAN_SHIPPED_FROM_BIN));
    return QFileInfo(folder).isDir() ? folder : QString();
}
