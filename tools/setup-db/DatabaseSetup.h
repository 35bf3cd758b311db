#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct st_mysql;
typedef struct st_mysql MYSQL;

// What zefiran-setup-db is asked to do.
struct SetupOptions {
    // The database server: empty or "localhost" is this PC's server, reached through its
    // socket; any other name or address is reached over TCP at port.
    QString host;
    unsigned int port = 3306;
    // The socket of this PC's server; empty: the client library's default.
    QString socket;
    QString adminUser = QStringLiteral("root");
    QString adminPassword;
    QString database = QStringLiteral("cid602");
    // The program's account: its name and the host part, the PC the program connects from
    // as the server sees it. An empty host part: the one the server gives this PC.
    QString user = QStringLiteral("zefiran");
    QString programHost;
    // The server's name as the program's settings file gives it (ServerName). Empty:
    // 127.0.0.1 for this PC's server, otherwise host.
    QString serverName;
    QString schemaFile;
    // An existing database is kept as it is (tables and rows), and an existing account of
    // the same name and host gets a new password, instead of refusing to touch them.
    bool useExisting = false;
};

// Makes the program's database on a MariaDB server from the shipped schema, with an account
// that may do only what the program does, and writes the settings file's [MySql] section
// for that account. Every step that changed something is told through the report callback,
// in the words the user reads. Every failure is an Error with its text; what was made
// before it is removed again, and a refusal changes nothing.
class DatabaseSetup {
public:
    using Report = std::function<void(const QString &line)>;

    explicit DatabaseSetup(SetupOptions options, Report report);
    ~DatabaseSetup();
    DatabaseSetup(const DatabaseSetup &) = delete;
    DatabaseSetup &operator=(const DatabaseSetup &) = delete;

    // Checks the options and logs in to the server as the administrator. Throws Error.
    void connect();

    // Connected first. Makes the database and the account and writes settingsFile.
    void run(const QString &settingsFile);

    // The host part of the program's account, once connected.
    QString programHost() const { return m_programHost; }

private:
    bool isLocalServer() const;
    // The server, as the place one connects to ("... sunucusuna").
    QString serverDescription() const;

    // Runs one statement; false when the server refused it (its error stays on the handle).
    bool execute(const QByteArray &statement);
    QByteArray scalar(const QByteArray &statement);
    QByteArray quoted(const QString &text) const;
    QByteArray account() const;
    [[noreturn]] void failWithServerError(const QString &doing);

    void checkTablesOfExistingDatabase();
    void createAccount(const QByteArray &password);
    void createDatabase(const QByteArray &schema);
    void grantPrivileges();
    void rollBack();

    SetupOptions m_options;
    Report m_report;
    std::unique_ptr<MYSQL, void (*)(MYSQL *)> m_handle;
    QString m_programHost;
    unsigned int m_serverPort = 0;
    bool m_madeDatabase = false;
    bool m_madeAccount = false;
};

// The privileges of the program's account, for the report and the tests: the rows the
// program reads and writes, and the call log's emptying ("TRUNCATE TABLE arayanlar" needs
// DROP on that table).
QStringList programPrivileges();

// A new password for the program's account: 24 characters of letters, digits and "-._",
// with at least one of each kind, so that a server's password rules take it; no character
// that the settings file's reader would change (quotes, blanks).
QByteArray generatePassword();
