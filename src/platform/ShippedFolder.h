#pragma once

#include <QString>

// The folder of the files an installation ships (the schema, the group and referral lists,
// the announcement sound): share/zefiran beside the folder of the running program's binary,
// /usr/share/zefiran for /usr/bin/zefiran. Empty when there is no such folder, as for a
// program run from the build tree. Needs the application object.
QString shippedFolder();

// The same for a program binary in binFolder.
QString shippedFolderBeside(const QString &binFolder);
