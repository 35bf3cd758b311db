#include "app/SettingsFile.h"

#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

QString s(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const std::optional<QByteArray> &value)
        : m_name(name)
        , m_old(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt) {
        set(value);
    }
    ~ScopedEnv() { set(m_old); }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    void set(const std::optional<QByteArray> &value) {
        if (value)
            qputenv(m_name, *value);
        else
            qunsetenv(m_name);
    }
    const char *m_name;
    std::optional<QByteArray> m_old;
};

QByteArray readAll(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString dir() const { return m_dir.path(); }

    // The data folder of this test, not created yet.
    QString folder() const { return dir() + s("/data/zefiran"); }

    QTemporaryDir m_dir;
    ScopedEnv m_home{"ZEFIRAN_HOME", QByteArray()};
};

TEST_F(SettingsFile, DataFolderFollowsTheEnvironment) {
    const QByteArray home = QFile::encodeName(dir() + s("/home"));
    const ScopedEnv homeVar("HOME", home);
    struct Case {
        const char *name;
        std::optional<QByteArray> zefiranHome;
        std::optional<QByteArray> xdgDataHome;
        QString expected;
    };
    const Case cases[] = {
        {"own_variable_wins", QByteArray("/srv/zef"), QByteArray("/xdg"), s("/srv/zef")},
        {"xdg_data_home", std::nullopt, QByteArray("/xdg"), s("/xdg/zefiran")},
        {"empty_own_variable_is_unset", QByteArray(), QByteArray("/xdg"), s("/xdg/zefiran")},
        {"home_default", std::nullopt, std::nullopt,
         QString::fromLocal8Bit(home) + s("/.local/share/zefiran")},
        {"relative_xdg_ignored", std::nullopt, QByteArray("rel"),
         QString::fromLocal8Bit(home) + s("/.local/share/zefiran")},
    };
    for (const Case &c : cases) {
        const ScopedEnv own("ZEFIRAN_HOME", c.zefiranHome);
        const ScopedEnv xdg("XDG_DATA_HOME", c.xdgDataHome);
        EXPECT_EQ(dataFolder(), c.expected) << c.name;
        EXPECT_EQ(settingsFilePath(), c.expected + s("/cidsetup.ini")) << c.name;
    }
}

TEST_F(SettingsFile, FirstStartCreatesTheFolderAndTheNineKeysInOrder) {
    const ScopedEnv own("ZEFIRAN_HOME", QFile::encodeName(folder()));
    ASSERT_FALSE(QDir(folder()).exists());

    const CidSettings settings = loadSettings();

    EXPECT_EQ(readAll(folder() + s("/cidsetup.ini")), QByteArray("[MySql]\r\n"
                                                                 "ServerName=localhost\r\n"
                                                                 "database=cid602\r\n"
                                                                 "pass=583920\r\n"
                                                                 "port=3306\r\n"
                                                                 "protokol=mysql-5\r\n"
                                                                 "UserName=root\r\n"
                                                                 "\r\n"
                                                                 "[MobilDevice]\r\n"
                                                                 "imeino=\r\n"
                                                                 "\r\n"
                                                                 "[Printing]\r\n"
                                                                 "PrintOK=\r\n"
                                                                 "\r\n"
                                                                 "[CIDevice]\r\n"
                                                                 "DeviceID=\r\n"));
    // It holds the database password.
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(folder() + s("/cidsetup.ini")) & others, QFile::Permissions());
    EXPECT_EQ(settings.ServerName, s("localhost"));
    EXPECT_EQ(settings.database, s("cid602"));
    EXPECT_EQ(settings.pass, s("583920"));
    EXPECT_EQ(settings.port, s("3306"));
    EXPECT_EQ(settings.protokol, s("mysql-5"));
    EXPECT_EQ(settings.UserName, s("root"));
    EXPECT_EQ(settings.imeino, QString());
    EXPECT_EQ(settings.PrintOK, QString());
    EXPECT_EQ(settings.DeviceID, QString());
    EXPECT_EQ(settings.devicePort, QString());
    EXPECT_EQ(settings.FeedUrl, QString());
    EXPECT_FALSE(settings.printingEnabled);
}

TEST_F(SettingsFile, AnExistingFileIsReadAndNeverCompletedOrCorrected) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    const QString path = folder() + s("/cidsetup.ini");
    const QByteArray content = "[mysql]\n"
                               "  SERVERNAME = \"db.example\" \n"
                               "Port=3307\n"
                               "[MobilDevice]\n"
                               "imeino=356938035643809\n"
                               "feedurl = http://127.0.0.1:8080/feed/\n"
                               "[CIDevice]\n"
                               "DeviceID=\xDD"
                               "D-1\n"
                               "Port=/dev/ttyUSB0\n";
    writeAll(path, content);

    const CidSettings settings = loadSettings(path);

    EXPECT_EQ(readAll(path), content);
    EXPECT_EQ(settings.ServerName, s("db.example"));
    EXPECT_EQ(settings.port, s("3307"));
    EXPECT_EQ(settings.database, QString());
    EXPECT_EQ(settings.UserName, QString());
    EXPECT_EQ(settings.imeino, s("356938035643809"));
    EXPECT_EQ(settings.FeedUrl, s("http://127.0.0.1:8080/feed/"));
    EXPECT_EQ(settings.DeviceID, s("İD-1"));
    EXPECT_EQ(settings.devicePort, s("/dev/ttyUSB0"));
    EXPECT_FALSE(settings.printingEnabled);
}

TEST_F(SettingsFile, PrintingOnlyForExactlyLowerCaseE) {
    const QString path = dir() + s("/cidsetup.ini");
    const struct {
        const char *line;
        bool enabled;
    } cases[] = {
        {"PrintOK=e", true},     {"PrintOK= e \t", true}, {"PrintOK=\"e\"", true},
        {"printok=e", true},     {"PrintOK=E", false},    {"PrintOK=evet", false},
        {"PrintOK=", false},     {"PrintOK=ee", false},   {"PrintOK=e e", false},
        {"PrintOK='e\"", false}, {"PrintOK=h", false},
    };
    for (const auto &c : cases) {
        writeAll(path, QByteArray("[Printing]\r\n") + c.line + "\r\n");
        EXPECT_EQ(readSettingsFile(path).printingEnabled, c.enabled) << c.line;
    }
    writeAll(path, "[MySql]\r\nPrintOK=e\r\n");
    EXPECT_FALSE(readSettingsFile(path).printingEnabled) << "key in the wrong section";
}

TEST_F(SettingsFile, AFolderThatCannotBeMadeGivesTheMessageWithTheRealPath) {
    // A regular file where a folder should be: no one, root included, can create below it.
    writeAll(dir() + s("/afile"), "x");
    const QString folderPath = dir() + s("/afile/zefiran");
    const ScopedEnv own("ZEFIRAN_HOME", QFile::encodeName(folderPath));

    try {
        loadSettings();
        FAIL() << "no error";
    } catch (const Error &error) {
        EXPECT_EQ(error.text(), s("Unable to write to ") + QDir::toNativeSeparators(folderPath) +
                                    s("/cidsetup.ini"));
    }
}

TEST_F(SettingsFile, AFileThatCannotBeReadGivesEmptyValues) {
    // A folder in place of the file exists, cannot be read as a file and is left alone.
    const QString path = dir() + s("/cidsetup.ini");
    ASSERT_TRUE(QDir().mkpath(path));

    const CidSettings settings = loadSettings(path);

    EXPECT_EQ(settings.ServerName, QString());
    EXPECT_EQ(settings.port, QString());
    EXPECT_FALSE(settings.printingEnabled);
    EXPECT_TRUE(QFileInfo(path).isDir());
}

} // namespace

TEST_F(SettingsFile, SmsSectionIsReadWithDefaultsForMissingOrEmptyKeys) {
    const QString path = dir() + s("/cidsetup.ini");
    writeAll(path, "[MySql]\r\nServerName=localhost\r\n");
    const SmsSettings defaults = readSettingsFile(path).sms;
    EXPECT_EQ(defaults.Url, QString());
    EXPECT_EQ(defaults.UserName, s("5400000000"));
    EXPECT_EQ(defaults.Password, s("40286153"));
    EXPECT_EQ(defaults.Originator, s("Zefiran"));
    EXPECT_EQ(defaults.WebAddress, s("www.zefiran.com.tr"));
    EXPECT_EQ(defaults.SupportHost, s("www.zefiran.com.tr"));

    writeAll(path, "[sms]\r\nURL = http://127.0.0.1:8080 \r\nusername=5300000001\r\n"
                   "Password=\"gizli 1\"\r\nOriginator=\r\nWebAddress=www.ornek.com.tr\r\n"
                   "SupportHost=destek.ornek.com.tr\r\n");
    const SmsSettings set = readSettingsFile(path).sms;
    EXPECT_EQ(set.Url, s("http://127.0.0.1:8080"));
    EXPECT_EQ(set.UserName, s("5300000001"));
    EXPECT_EQ(set.Password, s("gizli 1"));
    EXPECT_EQ(set.Originator, s("Zefiran"));
    EXPECT_EQ(set.WebAddress, s("www.ornek.com.tr"));
    EXPECT_EQ(set.SupportHost, s("destek.ornek.com.tr"));
}
