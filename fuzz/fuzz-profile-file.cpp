// The settings file reader: any bytes give a profile whose values can be read, changed and
// written back.
#include "platform/ProfileFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    ProfileFile profile = ProfileFile::fromBytes(bytes);
    const QString sections[] = {QStringLiteral("MySql"), QStringLiteral("CIDevice"),
                                QStringLiteral("")};
    for (const QString &section : sections)
        for (const QString &key :
             {QStringLiteral("ServerName"), QStringLiteral("Port"), QStringLiteral("pass")})
            if (profile.value(section, key).size() > ProfileFile::kMaxValueLength)
                std::abort();

    // A value set is the value read back, also when the file held anything before.
    profile.setValue(QStringLiteral("MySql"), QStringLiteral("port"), QStringLiteral("3306"));
    if (profile.value(QStringLiteral("mysql"), QStringLiteral("PORT")) != QStringLiteral("3306"))
        std::abort();
    const ProfileFile reread = ProfileFile::fromBytes(profile.toBytes());
    if (reread.value(QStringLiteral("MySql"), QStringLiteral("port")) != QStringLiteral("3306"))
        std::abort();
    return 0;
}
