#pragma once

#include <QString>
#include <QStringList>

// The files the program reads from its working directory: the card's group and referral
// lists and the mobile caller feed's announcement sound.
QStringList workingFolderFiles();

// Copies each of workingFolderFiles() from shipped into dataFolder when dataFolder has no
// file of that name yet; a file already there, the user's own copy, is never touched.
// Makes dataFolder when it is missing. Returns the names copied; a file that is not shipped
// or cannot be copied is left out, and the program then starts without it.
QStringList copyShippedFiles(const QString &shipped, const QString &dataFolder);

// The start of an installed program, one whose shipped folder is not empty: the shipped
// lists and sound are copied into the data folder where missing, and the data folder
// becomes the working directory, so that the program reads the user's own copies however
// it was started (the desktop's menu cannot name a working directory that depends on the
// user). A program run from the build tree keeps its working directory. Returns whether
// the working directory is now the data folder.
bool enterDataFolder(const QString &shipped, const QString &dataFolder);
