#include "app/SettingsFile.h"

#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>

namespace {

struct DefaultKey {
    const char16_t *section;
    const char16_t *key;
    const char16_t *value;
};

// The keys of a new settings file, in the order they are written.
constexpr std::array<DefaultKey, 9> kDefaults = {{
    {u"MySql", u"ServerName", u"localhost"},
    {u"MySql", u"database", u"cid602"},
    {u"MySql", u"pass", u"583920"},
    {u"MySql", u"port", u"3306"},
    {u"MySql", u"protokol", u"mysql-5"},
    {u"MySql", u"UserName", u"root"},
    {u"MobilDevice", u"imeino", u""},
    {u"Printing", u"PrintOK", u""},
    {u"CIDevice", u"DeviceID", u""},
}};

QString text(const char16_t *chars) {
    return QString::fromUtf16(chars);
}

} // namespace

void createDefaultSettingsFile(const QString &path) {
    ProfileFile profile;
    for (const DefaultKey &entry : kDefaults)
        profile.setValue(text(entry.section), text(entry.key), text(entry.value));
    // It holds the database password: readable by its user alone.
    profile.save(path, QFile::ReadOwner | QFile::WriteOwner);
}

CidSettings readSettingsFile(const QString &path) {
    const ProfileFile profile = ProfileFile::load(path);
    const auto read = [&profile](const char16_t *section, const char16_t *key) {
        return profile.value(text(section), text(key));
    };
    CidSettings settings;
    settings.ServerName = read(u"MySql", u"ServerName");
    settings.database = read(u"MySql", u"database");
    settings.pass = read(u"MySql", u"pass");
    settings.port = read(u"MySql", u"port");
    settings.protokol = read(u"MySql", u"protokol");
    settings.UserName = read(u"MySql", u"UserName");
    settings.imeino = read(u"MobilDevice", u"imeino");
    settings.FeedUrl = read(u"MobilDevice", u"FeedUrl");
    settings.PrintOK = read(u"Printing", u"PrintOK");
    settings.DeviceID = read(u"CIDevice", u"DeviceID");
    settings.devicePort = read(u"CIDevice", u"Port");
    settings.printingEnabled = settings.PrintOK == QLatin1String("e");
    const auto readSms = [&read](const char16_t *key, QString &value) {
        const QString text = read(u"Sms", key);
        if (!text.isEmpty())
            value = text;
    };
    readSms(u"Url", settings.sms.Url);
    readSms(u"UserName", settings.sms.UserName);
    readSms(u"Password", settings.sms.Password);
    readSms(u"Originator", settings.sms.Originator);
    readSms(u"WebAddress", settings.sms.WebAddress);
    readSms(u"SupportHost", settings.sms.SupportHost);
    return settings;
}

CidSettings loadSettings(const QString &path) {
    if (!QFileInfo::exists(path)) {
        // A fresh user has no data folder yet. When it cannot be made, creating the file
        // fails with the message that names the file.
        QDir().mkpath(QFileInfo(path).absolutePath());
        createDefaultSettingsFile(path);
    }
    return readSettingsFile(path);
}
