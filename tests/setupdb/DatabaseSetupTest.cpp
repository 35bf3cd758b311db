#include "SetupDbFixture.h"

#include "platform/Error.h"
#include "store/SqlError.h"
#include "store/TZConnection.h"
#include "store/TZQuery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int unixMode(const QString &path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

// The program's connection, made from the settings file as the program makes it.
class ProgramConnectionTest : public SetupDbTest {
protected:
    void connectAsTheProgram(TZConnection &connection) {
        connection.HostName = setting("ServerName");
        connection.Port = setting("port").toInt();
        connection.Database = setting("database");
        connection.Catalog = setting("database");
        connection.User = setting("UserName");
        connection.Password = setting("pass");
        connection.Protocol = setting("protokol");
        connection.connect();
    }
};

TEST_F(SetupDbTest, MakesTheDatabaseTheAccountAndTheSettingsKeepingTheirOtherSections) {
    // A settings file the program wrote at its first start, with the device set by hand.
    writeFile(settingsPath(), "[MySql]\r\nServerName=localhost\r\ndatabase=cid602\r\npass=583920"
                              "\r\nport=3306\r\nprotokol=mysql-5\r\nUserName=root\r\n"
                              "[MobilDevice]\r\nimeino=356938035643809\r\n"
                              "[CIDevice]\r\nDeviceID=\r\nPort=ncid://127.0.0.1:3333\r\n");
    QFile::setPermissions(settingsPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
    setUp(options());

    EXPECT_EQ(adminScalar("SELECT CONCAT(DEFAULT_CHARACTER_SET_NAME, ' ', "
                          "DEFAULT_COLLATION_NAME) FROM information_schema.SCHEMATA WHERE "
                          "SCHEMA_NAME = '" +
                          databaseName().toLatin1() + "'"),
              "latin5 latin5_turkish_ci");
    EXPECT_EQ(adminScalar("SELECT GROUP_CONCAT(TABLE_NAME ORDER BY TABLE_NAME) FROM "
                          "information_schema.TABLES WHERE TABLE_SCHEMA = '" +
                          databaseName().toLatin1() + "'"),
              "arayanlar,banka,rehber,teklif,teklifler");

    const ProfileFile file = settings();
    EXPECT_EQ(setting("ServerName"), TestDatabase::host());
    EXPECT_EQ(setting("port"), QString::number(TestDatabase::port()));
    EXPECT_EQ(setting("database"), databaseName());
    EXPECT_EQ(setting("UserName"), userName());
    EXPECT_EQ(setting("protokol"), u"mysql-5"_s);
    EXPECT_EQ(setting("pass").size(), 24);
    EXPECT_EQ(file.value(u"MobilDevice"_s, u"imeino"_s), u"356938035643809"_s);
    EXPECT_EQ(file.value(u"CIDevice"_s, u"Port"_s), u"ncid://127.0.0.1:3333"_s);
    // Replaced in place: still one [MySql] section with its six keys, every line CRLF.
    const QByteArray bytes = readFile(settingsPath());
    EXPECT_EQ(bytes.count("[MySql]"), 1);
    EXPECT_EQ(bytes.count("\n"), 12);
    EXPECT_EQ(bytes.count("\r\n"), 12);
    EXPECT_EQ(unixMode(settingsPath()), 0600);

    EXPECT_TRUE(report.join(u'\n').contains(QDir::toNativeSeparators(settingsPath())));
}

TEST_F(SetupDbTest, ANewSettingsFileHoldsTheMySqlSectionReadableByItsOwnerAlone) {
    setUp(options());
    EXPECT_EQ(readFile(settingsPath()),
              "[MySql]\r\nServerName=" + TestDatabase::host().toLatin1() + "\r\ndatabase=" +
                  databaseName().toLatin1() + "\r\npass=" + setting("pass").toLatin1() +
                  "\r\nport=" + QByteArray::number(TestDatabase::port()) +
                  "\r\nprotokol=mysql-5\r\nUserName=" + userName().toLatin1() + "\r\n");
    EXPECT_EQ(unixMode(settingsPath()), 0600);
}

TEST_F(ProgramConnectionTest, TheAccountDoesWhatTheProgramDoes) {
    setUp(options());
    TZConnection connection;
    connectAsTheProgram(connection);

    TZQuery rehber(connection, u"ZQuery1"_s);
    rehber.setSQL("select * from rehber");
    rehber.open();
    rehber.append();
    rehber.fieldByName("adsoyad").setAsString("Ay\xfe"
                                              "e");
    rehber.fieldByName("gsmtel1").setAsString("05321234567");
    rehber.post();
    rehber.edit();
    rehber.fieldByName("firmaad").setAsString("Lokanta");
    rehber.post();

    TZQuery arayanlar(connection, u"ZQuery3"_s);
    arayanlar.setSQL("select * from arayanlar where telno=:par1");
    arayanlar.param(0).setAsString("05321234567");
    arayanlar.open();
    arayanlar.append();
    arayanlar.fieldByName("telno").setAsString("05321234567");
    arayanlar.post();
    EXPECT_EQ(adminScalar("SELECT COUNT(*) FROM `" + databaseName().toLatin1() + "`.arayanlar"),
              "1");
    // Emptying the call log.
    arayanlar.setSQL("TRUNCATE TABLE arayanlar");
    arayanlar.execute();
    EXPECT_EQ(adminScalar("SELECT COUNT(*) FROM `" + databaseName().toLatin1() + "`.arayanlar"),
              "0");

    rehber.deleteRecord();
    EXPECT_EQ(adminScalar("SELECT COUNT(*) FROM `" + databaseName().toLatin1() + "`.rehber"), "0");

    for (const char *readOnly :
         {"select * from teklif", "select * from teklifler", "select * from banka"}) {
        TZQuery table(connection, u"ZQuery"_s);
        table.setSQL(readOnly);
        EXPECT_NO_THROW(table.open()) << readOnly;
    }
}

TEST_F(ProgramConnectionTest, TheAccountCannotTouchAnythingElse) {
    TestDatabase other;
    setUp(options());
    TZConnection connection;
    connectAsTheProgram(connection);
    const std::vector<QByteArray> denied = {
        "SELECT * FROM `" + other.name().toLatin1() + "`.rehber",
        "INSERT INTO `" + other.name().toLatin1() + "`.arayanlar (telno) VALUES ('1')",
        "TRUNCATE TABLE `" + other.name().toLatin1() + "`.arayanlar",
        "TRUNCATE TABLE rehber",
        "DROP TABLE rehber",
        "CREATE TABLE yeni (a INT)",
        "ALTER TABLE rehber ADD COLUMN b INT",
        "CREATE DATABASE baska",
        "SELECT * FROM mysql.user",
        "GRANT SELECT ON `" + databaseName().toLatin1() + "`.* TO '" + userName().toLatin1() +
            "'@'%'",
    };
    for (const QByteArray &statement : denied) {
        try {
            connection.executeDirect(statement);
            ADD_FAILURE() << "allowed: " << statement.toStdString();
        } catch (const SqlError &e) {
            EXPECT_TRUE(e.text().contains(u"denied"_s)) << e.text().toStdString();
        }
    }
}

TEST_F(ProgramConnectionTest, ASecondRunRefusesAndChangesNothing) {
    setUp(options());
    const QByteArray written = readFile(settingsPath());
    report.clear();

    const QString error = setUpError(options());
    EXPECT_TRUE(error.contains(u'"' + databaseName() + u"\" veritabanı zaten var"_s))
        << error.toStdString();
    EXPECT_TRUE(error.contains(u"--use-existing"_s));
    EXPECT_EQ(readFile(settingsPath()), written);
    // The password the settings file holds still opens the database.
    TZConnection connection;
    EXPECT_NO_THROW(connectAsTheProgram(connection));
}

TEST_F(ProgramConnectionTest, UseExistingKeepsTheRowsAndGivesTheAccountANewPassword) {
    setUp(options());
    const QString oldPassword = setting("pass");
    ASSERT_TRUE(adminExec("INSERT INTO `" + databaseName().toLatin1() +
                          "`.rehber (adsoyad) VALUES ('Eski M\xfc\xfeteri')"));
    SetupOptions again = options();
    again.useExisting = true;
    setUp(again);

    EXPECT_NE(setting("pass"), oldPassword);
    TZConnection connection;
    connectAsTheProgram(connection);
    TZQuery rehber(connection, u"ZQuery1"_s);
    rehber.setSQL("select * from rehber");
    rehber.open();
    ASSERT_EQ(rehber.recordCount(), 1);
    EXPECT_EQ(rehber.fieldByName("adsoyad").asString(), "Eski M\xfc\xfeteri");
}

// Refusals come before any change: the server and the data folder are as they were.
TEST_F(SetupDbTest, RefusesWhatExistsWithoutTouchingAnything) {
    struct Case {
        const char *name;
        std::vector<QByteArray> before; // as the administrator
        bool useExisting;
        QString error;
        bool settingsNameTaken = false; // by a folder
    };
    const QByteArray database = "`" + databaseName().toLatin1() + "`";
    const QByteArray account =
        "'" + userName().toLatin1() + "'@'" + TestDatabase::host().toLatin1() + "'";
    const std::vector<Case> cases = {
        {"the program's account exists",
         {"CREATE USER " + account},
         false,
         u"'%1'@'%2' kullanıcısı zaten var; hiçbir şeye dokunulmadı"_s.arg(userName(),
                                                                           TestDatabase::host())},
        {"an existing database without the program's tables",
         {"CREATE DATABASE " + database, "CREATE TABLE " + database + ".rehber (Id INT)"},
         true,
         u"\"%1\" veritabanında programın tabloları eksik: arayanlar, teklif, teklifler, banka"_s
             .arg(databaseName())},
        {"the settings file's name is a folder's",
         {},
         false,
         u"Ayarlar dosyası yazılamaz: "_s,
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QByteArray &statement : c.before)
            ASSERT_TRUE(adminExec(statement)) << statement.toStdString();
        if (c.settingsNameTaken)
            QDir().mkpath(settingsPath());
        const bool databaseBefore = databaseExists();
        SetupOptions o = options();
        o.useExisting = c.useExisting;
        const QString error = setUpError(o);
        EXPECT_TRUE(error.startsWith(c.error)) << error.toStdString();
        EXPECT_EQ(databaseExists(), databaseBefore);
        EXPECT_EQ(QFileInfo::exists(settingsPath()), c.settingsNameTaken);
        QDir(settingsPath()).removeRecursively();
        adminExec("DROP DATABASE IF EXISTS " + database);
        adminExec("DROP USER IF EXISTS " + account);
    }
    EXPECT_FALSE(accountExists());
}

// A step that fails after others changed the server: what they made is removed again.
TEST_F(SetupDbTest, AFailingSchemaRemovesWhatTheSetUpMade) {
    SetupOptions o = options();
    o.schemaFile = homePath() + u"/schema.sql"_s;
    writeFile(o.schemaFile, "CREATE TABLE rehber (Id INT);\nCREATE TABLE bozuk (;\n");
    const QString error = setUpError(o);
    EXPECT_TRUE(
        error.startsWith(u"Şema kurulamadı ("_s + o.schemaFile + u"): sunucu hatası 1064: "_s))
        << error.toStdString();
    EXPECT_FALSE(databaseExists());
    EXPECT_FALSE(accountExists());
    EXPECT_FALSE(QFileInfo::exists(settingsPath()));
    EXPECT_EQ(report.filter(u"Geri alındı"_s).size(), 2) << report.join(u'\n').toStdString();
}

TEST_F(SetupDbTest, AMissingSchemaFileIsReportedBeforeAnyChange) {
    SetupOptions o = options();
    o.schemaFile = homePath() + u"/yok.sql"_s;
    EXPECT_TRUE(setUpError(o).startsWith(u"Şema dosyası okunamadı: "_s + o.schemaFile));
    EXPECT_FALSE(databaseExists());
    EXPECT_FALSE(accountExists());
    EXPECT_TRUE(report.filter(u"Geri alındı"_s).isEmpty());
}

// Names go into statements and the settings file: anything but plain ones is refused before
// the server is asked anything.
TEST_F(SetupDbTest, RefusesNamesThatAreNotPlain) {
    struct Case {
        const char *name;
        void (*change)(SetupOptions &);
        QString error;
    };
    const std::vector<Case> cases = {
        {"database with a quote", [](SetupOptions &o) { o.database = u"cid`; DROP"_s; },
         u"Geçersiz veritabanı adı"_s},
        {"empty database", [](SetupOptions &o) { o.database.clear(); },
         u"Geçersiz veritabanı adı"_s},
        {"database of 65 characters", [](SetupOptions &o) { o.database = QString(65, u'a'); },
         u"Geçersiz veritabanı adı"_s},
        {"user with a quote", [](SetupOptions &o) { o.user = u"o'brien"_s; },
         u"Geçersiz kullanıcı adı"_s},
        {"program host with a quote", [](SetupOptions &o) { o.programHost = u"pc'--"_s; },
         u"Geçersiz bilgisayar adı"_s},
        {"server name with a line break", [](SetupOptions &o) { o.serverName = u"a\r\nb=c"_s; },
         u"Geçersiz sunucu adı"_s},
        {"port 0", [](SetupOptions &o) { o.port = 0; }, u"Geçersiz port"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetupOptions o = options();
        c.change(o);
        DatabaseSetup setup(o, [](const QString &) {});
        try {
            setup.connect();
            ADD_FAILURE() << "accepted";
        } catch (const Error &e) {
            EXPECT_TRUE(e.text().startsWith(c.error)) << e.text().toStdString();
        }
    }
}

TEST_F(SetupDbTest, AWrongAdministratorPasswordIsReported) {
    SetupOptions o = options();
    o.adminPassword = u"yanlis"_s;
    const QString error = setUpError(o);
    EXPECT_TRUE(error.startsWith(u"%1:%2 sunucusuna '%3' olarak bağlanılamadı: "_s.arg(
        o.host, QString::number(o.port), o.adminUser)))
        << error.toStdString();
    EXPECT_TRUE(error.contains(u"Access denied"_s));
}

TEST(GeneratedPassword, HasEveryKindOfCharacterAndNothingTheSettingsReaderChanges) {
    for (int i = 0; i < 50; ++i) {
        const QByteArray password = generatePassword();
        ASSERT_EQ(password.size(), 24);
        EXPECT_TRUE(std::any_of(password.begin(), password.end(), ::isupper));
        EXPECT_TRUE(std::any_of(password.begin(), password.end(), ::islower));
        EXPECT_TRUE(std::any_of(password.begin(), password.end(), ::isdigit));
        EXPECT_TRUE(std::any_of(password.begin(), password.end(),
                                [](char c) { return c == '-' || c == '.' || c == '_'; }));
        EXPECT_TRUE(std::all_of(password.begin(), password.end(), [](char c) {
            return std::isalnum(c) || c == '-' || c == '.' || c == '_';
        })) << password.constData();
        EXPECT_NE(generatePassword(), password);
    }
}
