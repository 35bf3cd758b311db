#pragma once

#include "messaging/SmsSettings.h"
#include "platform/DataFolder.h"

#include <QString>

// The values of the settings file, as read once at start. Every value is the text the file
// holds (empty when missing); the names are the file's key names.
struct CidSettings {
    // [MySql]: used only by the connection step at start.
    QString ServerName;
    QString database;
    QString pass;
    QString port;
    QString protokol;
    QString UserName;
    // [MobilDevice]
    QString imeino;
    // [MobilDevice] FeedUrl: the feed server's base address, ending in "/"; empty switches
    // the mobile caller feed off. Not written when the file is created.
    QString FeedUrl;
    // [Printing]
    QString PrintOK;
    // [CIDevice]
    QString DeviceID;
    // [CIDevice] Port: where the caller-ID device is reached. Not written when the file is
    // created.
    QString devicePort;
    // [Sms]: the SMS provider and the addresses the messages carry; not written when the
    // file is created, a missing or empty key keeps its default.
    SmsSettings sms;

    // A caller receipt on each call: only when PrintOK is exactly "e".
    bool printingEnabled = false;
};

// Creates the settings file at path with the nine keys and their first values. Throws Error
// "Unable to write to " + path when the file cannot be created.
void createDefaultSettingsFile(const QString &path);

// Reads the settings at path; a file that is missing or cannot be read gives empty values.
CidSettings readSettingsFile(const QString &path);

// The step at start: creates the settings file with its first values when there is none
// (creating the data folder first when it is missing), then reads it. Throws Error
// "Unable to write to " + path when the file cannot be created. The file is never written
// otherwise.
CidSettings loadSettings(const QString &path = settingsFilePath());
