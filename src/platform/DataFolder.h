#pragma once

#include <QString>

// The program's data folder, where the files it writes live: the settings file, the export
// files, the feed acknowledgement and the call spool. $ZEFIRAN_HOME when set, otherwise
// $XDG_DATA_HOME/zefiran, otherwise ~/.local/share/zefiran (on Windows the user's local
// application data folder + /zefiran). The folder may not exist yet.
QString dataFolder();

// "cidsetup.ini" in the data folder.
QString settingsFilePath();

// "cidspool.txt" in the data folder: the calls that wait for the database.
QString callSpoolFilePath();
