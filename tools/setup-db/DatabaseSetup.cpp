#include "DatabaseSetup.h"

#include "platform/Cp1254.h"
#include "platform/Error.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <mysql.h>
#include <mysqld_error.h>

#include <algorithm>
#include <array>

namespace {

// The tables the program reads and writes; an existing database must have them all.
constexpr std::array<const char *, 5> kTables = {"rehber", "arayanlar", "teklif", "teklifler",
                                                 "banka"};

bool matches(const QString &text, const char *pattern) {
    return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(pattern)))
        .match(text)
        .hasMatch();
}

bool isLoopback(const QString &host) {
    return host == QLatin1String("127.0.0.1") || host == QLatin1String("localhost") ||
           host == QLatin1String("::1");
}

QByteArray identifier(const QString &name) {
    return '`' + name.toLatin1() + '`';
}

void closeHandle(MYSQL *handle) {
    if (handle)
        mysql_close(handle);
}

QString serverMessage(MYSQL *handle) {
    return cp1254::toUnicode(QByteArray(mysql_error(handle)));
}

QByteArray readSchema(const QString &path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        throw Error(
            QStringLiteral("Şema dosyası okunamadı: %1 (--schema ile başka bir dosya "
                           "verilebilir).")
                .arg(path.isEmpty() ? QStringLiteral("(yok)") : QDir::toNativeSeparators(path)));
    return file.readAll();
}

} // namespace

QStringList programPrivileges() {
    return {QStringLiteral("SELECT"), QStringLiteral("INSERT"), QStringLiteral("UPDATE"),
            QStringLiteral("DELETE")};
}

QByteArray generatePassword() {
    static const QByteArray kinds[] = {"ABCDEFGHJKLMNPQRSTUVWXYZ", "abcdefghijkmnopqrstuvwxyz",
                                       "23456789", "-._"};
    const QByteArray any = kinds[0] + kinds[1] + kinds[2];
    QRandomGenerator *random = QRandomGenerator::system();
    QByteArray password;
    for (const QByteArray &kind : kinds)
        password += kind.at(random->bounded(static_cast<int>(kind.size())));
    while (password.size() < 24)
        password += any.at(random->bounded(static_cast<int>(any.size())));
    // Where each kind stands is random too.
    for (qsizetype i = password.size() - 1; i > 0; --i)
        std::swap(password[i], password[random->bounded(static_cast<int>(i + 1))]);
    return password;
}

DatabaseSetup::DatabaseSetup(SetupOptions options, Report report)
    : m_options(std::move(options))
    , m_report(std::move(report))
    , m_handle(nullptr, closeHandle) {}

DatabaseSetup::~DatabaseSetup() = default;

bool DatabaseSetup::isLocalServer() const {
    return m_options.host.isEmpty() || m_options.host == QLatin1String("localhost");
}

QString DatabaseSetup::serverDescription() const {
    return isLocalServer()
               ? QStringLiteral("Bu bilgisayardaki sunucuya")
               : QStringLiteral("%1:%2 sunucusuna").arg(m_options.host).arg(m_options.port);
}

QByteArray DatabaseSetup::quoted(const QString &text) const {
    const QByteArray bytes = text.toUtf8();
    QByteArray out(bytes.size() * 2 + 1, Qt::Uninitialized);
    const unsigned long length = mysql_real_escape_string(
        m_handle.get(), out.data(), bytes.constData(), static_cast<unsigned long>(bytes.size()));
    out.truncate(static_cast<qsizetype>(length));
    return '\'' + out + '\'';
}

QByteArray DatabaseSetup::account() const {
    return quoted(m_options.user) + '@' + quoted(m_programHost);
}

void DatabaseSetup::failWithServerError(const QString &doing) {
    throw Error(QStringLiteral("%1: sunucu hatası %2: %3")
                    .arg(doing)
                    .arg(mysql_errno(m_handle.get()))
                    .arg(serverMessage(m_handle.get())));
}

bool DatabaseSetup::execute(const QByteArray &statement) {
    if (mysql_real_query(m_handle.get(), statement.constData(),
                         static_cast<unsigned long>(statement.size())) != 0)
        return false;
    if (MYSQL_RES *result = mysql_store_result(m_handle.get()))
        mysql_free_result(result);
    return true;
}

QByteArray DatabaseSetup::scalar(const QByteArray &statement) {
    if (mysql_real_query(m_handle.get(), statement.constData(),
                         static_cast<unsigned long>(statement.size())) != 0)
        failWithServerError(QStringLiteral("Sunucu sorgulanamadı"));
    MYSQL_RES *result = mysql_store_result(m_handle.get());
    if (!result)
        failWithServerError(QStringLiteral("Sunucu sorgulanamadı"));
    QByteArray value;
    if (MYSQL_ROW row = mysql_fetch_row(result); row && row[0])
        value = QByteArray(row[0], static_cast<qsizetype>(mysql_fetch_lengths(result)[0]));
    mysql_free_result(result);
    return value;
}

void DatabaseSetup::connect() {
    // The names go into statements and into the settings file: only plain ones are taken.
    if (!matches(m_options.database, "[A-Za-z0-9_]{1,64}"))
        throw Error(QStringLiteral("Geçersiz veritabanı adı: \"%1\" (harf, rakam ve _, en çok "
                                   "64 karakter).")
                        .arg(m_options.database));
    if (!matches(m_options.user, "[A-Za-z0-9_]{1,80}"))
        throw Error(QStringLiteral("Geçersiz kullanıcı adı: \"%1\" (harf, rakam ve _, en çok 80 "
                                   "karakter).")
                        .arg(m_options.user));
    if (!m_options.programHost.isEmpty() &&
        !matches(m_options.programHost, "[A-Za-z0-9.:%_-]{1,255}"))
        throw Error(QStringLiteral("Geçersiz bilgisayar adı: \"%1\" (bir ad, bir IP adresi ya da "
                                   "192.168.1.% gibi bir desen).")
                        .arg(m_options.programHost));
    const QString serverName =
        m_options.serverName.isEmpty() ? m_options.host : m_options.serverName;
    if (!matches(serverName, "[A-Za-z0-9.:_-]{0,255}"))
        throw Error(QStringLiteral("Geçersiz sunucu adı: \"%1\".").arg(serverName));
    if (m_options.port == 0 || m_options.port > 65535)
        throw Error(QStringLiteral("Geçersiz port: %1.").arg(m_options.port));

    m_handle.reset(mysql_init(nullptr));
    if (!m_handle)
        throw Error(QStringLiteral("Veritabanı istemcisi başlatılamadı."));
    mysql_options(m_handle.get(), MYSQL_SET_CHARSET_NAME, "latin5");
    const unsigned int timeout = 10;
    mysql_options(m_handle.get(), MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    const unsigned int protocol = isLocalServer() ? MYSQL_PROTOCOL_SOCKET : MYSQL_PROTOCOL_TCP;
    mysql_options(m_handle.get(), MYSQL_OPT_PROTOCOL, &protocol);
    const QByteArray host = isLocalServer() ? QByteArray("localhost") : m_options.host.toUtf8();
    const QByteArray socket = QFile::encodeName(m_options.socket);
    if (!mysql_real_connect(m_handle.get(), host.constData(), m_options.adminUser.toUtf8(),
                            m_options.adminPassword.toUtf8(), nullptr, m_options.port,
                            socket.isEmpty() ? nullptr : socket.constData(), 0)) {
        QString text =
            QStringLiteral("%1 '%2' olarak bağlanılamadı: %3")
                .arg(serverDescription(), m_options.adminUser, serverMessage(m_handle.get()));
        if (isLocalServer() && m_options.adminPassword.isEmpty())
            text += QStringLiteral("\nBu bilgisayarın sunucusuna root parolasız yalnızca sistem "
                                   "yöneticisi olarak girer: komutu sudo ile çalıştırın ya da "
                                   "--admin-user ve --admin-password ile bir yönetici hesabı "
                                   "verin.");
        m_handle.reset();
        throw Error(text);
    }

    // The program always connects over TCP.
    if (scalar("SELECT @@skip_networking") == "1")
        throw Error(QStringLiteral("Sunucu TCP bağlantısı kabul etmiyor (skip-networking); "
                                   "program sunucuya TCP ile bağlanır."));
    m_serverPort = isLocalServer() ? scalar("SELECT @@port").toUInt() : m_options.port;
    if (!m_options.programHost.isEmpty())
        m_programHost = m_options.programHost;
    else if (isLocalServer())
        // The program reaches this PC's server at 127.0.0.1; the server knows that address
        // also when it resolves no names.
        m_programHost = QStringLiteral("127.0.0.1");
    else
        // This PC as the server saw the administrator's connection, which the program's
        // connection from this PC will resemble.
        m_programHost = QString::fromUtf8(scalar("SELECT SUBSTRING_INDEX(USER(), '@', -1)"));
    m_report(
        QStringLiteral("%1 '%2' olarak bağlanıldı.").arg(serverDescription(), m_options.adminUser));

    if (isLocalServer() && !isLoopback(m_programHost) &&
        isLoopback(QString::fromUtf8(scalar("SELECT @@bind_address"))))
        m_report(QStringLiteral("Uyarı: sunucu yalnızca bu bilgisayardan gelen bağlantıları kabul "
                                "ediyor (bind-address = %1); %2 bilgisayarındaki program "
                                "bağlanamaz. /etc/mysql/mariadb.conf.d/50-server.cnf dosyasında "
                                "bind-address değerini değiştirip sunucuyu yeniden başlatın.")
                     .arg(QString::fromUtf8(scalar("SELECT @@bind_address")), m_programHost));
}

void DatabaseSetup::checkTablesOfExistingDatabase() {
    QStringList missing;
    for (const char *table : kTables) {
        if (scalar("SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = " +
                   quoted(m_options.database) + " AND TABLE_NAME = '" + table + "'") == "0")
            missing.append(QLatin1String(table));
    }
    if (!missing.isEmpty())
        throw Error(QStringLiteral("\"%1\" veritabanında programın tabloları eksik: %2. Hiçbir "
                                   "şeye dokunulmadı.")
                        .arg(m_options.database, missing.join(QStringLiteral(", "))));
}

void DatabaseSetup::createAccount(const QByteArray &password) {
    const QString name = QStringLiteral("'%1'@'%2'").arg(m_options.user, m_programHost);
    const QByteArray identifiedBy = " IDENTIFIED BY " + quoted(QString::fromLatin1(password));
    if (execute("CREATE USER " + account() + identifiedBy)) {
        m_madeAccount = true;
        m_report(QStringLiteral("Program için %1 kullanıcısı üretilen bir parolayla "
                                "oluşturuldu.")
                     .arg(name));
        return;
    }
    // The server says so when the account exists; an administrator needs no right to read
    // the list of accounts for it.
    if (mysql_errno(m_handle.get()) != ER_CANNOT_USER)
        failWithServerError(QStringLiteral("%1 kullanıcısı oluşturulamadı").arg(name));
    if (!m_options.useExisting)
        throw Error(QStringLiteral("%1 kullanıcısı zaten var; hiçbir şeye dokunulmadı. Bu "
                                   "kullanıcıyı yeni bir parolayla kullanmak için "
                                   "--use-existing verin.")
                        .arg(name));
    if (!execute("ALTER USER " + account() + identifiedBy))
        failWithServerError(QStringLiteral("%1 kullanıcısının parolası değiştirilemedi").arg(name));
    m_report(
        QStringLiteral("Var olan %1 kullanıcısına üretilen yeni bir parola verildi.").arg(name));
}

void DatabaseSetup::createDatabase(const QByteArray &schema) {
    const QByteArray database = identifier(m_options.database);
    if (!execute("CREATE DATABASE " + database + " CHARACTER SET latin5 COLLATE latin5_turkish_ci"))
        failWithServerError(
            QStringLiteral("\"%1\" veritabanı oluşturulamadı").arg(m_options.database));
    m_madeDatabase = true;

    const QString failure =
        QStringLiteral("Şema kurulamadı (%1)").arg(QDir::toNativeSeparators(m_options.schemaFile));
    if (!execute("USE " + database))
        failWithServerError(failure);
    // The schema file as it stands, its statements one after the other.
    mysql_set_server_option(m_handle.get(), MYSQL_OPTION_MULTI_STATEMENTS_ON);
    int status = mysql_real_query(m_handle.get(), schema.constData(),
                                  static_cast<unsigned long>(schema.size()));
    while (status == 0) {
        if (MYSQL_RES *result = mysql_store_result(m_handle.get()))
            mysql_free_result(result);
        status = mysql_next_result(m_handle.get());
    }
    if (status > 0)
        failWithServerError(failure);
    mysql_set_server_option(m_handle.get(), MYSQL_OPTION_MULTI_STATEMENTS_OFF);
    m_report(QStringLiteral("\"%1\" veritabanı Türkçe tek baytlık karakter kümesiyle (latin5, "
                            "latin5_turkish_ci) oluşturuldu; tabloları %2 dosyasından kuruldu.")
                 .arg(m_options.database, QDir::toNativeSeparators(m_options.schemaFile)));
}

void DatabaseSetup::grantPrivileges() {
    const QByteArray database = identifier(m_options.database);
    if (!execute("GRANT " + programPrivileges().join(QStringLiteral(", ")).toLatin1() + " ON " +
                 database + ".* TO " + account()) ||
        !execute("GRANT DROP ON " + database + ".`arayanlar` TO " + account()))
        failWithServerError(QStringLiteral("Yetkiler verilemedi"));
    m_report(QStringLiteral("Yetkileri: \"%1\" veritabanında yalnızca %2; arayanlar tablosunda "
                            "DROP (çağrı listesini boşaltan TRUNCATE için).")
                 .arg(m_options.database, programPrivileges().join(QStringLiteral(", "))));
}

void DatabaseSetup::rollBack() {
    // Best effort: the error that brought us here is the one to report.
    if (m_madeDatabase && execute("DROP DATABASE " + identifier(m_options.database)))
        m_report(QStringLiteral("Geri alındı: \"%1\" veritabanı silindi.").arg(m_options.database));
    if (m_madeAccount && execute("DROP USER " + account()))
        m_report(QStringLiteral("Geri alındı: '%1'@'%2' kullanıcısı silindi.")
                     .arg(m_options.user, m_programHost));
    m_madeDatabase = false;
    m_madeAccount = false;
}

namespace {

void writeMySqlSection(const QString &path, const QList<std::pair<QString, QString>> &values) {
    const bool exists = QFileInfo::exists(path);
    // A file that exists but cannot be read would come back with its other sections lost.
    if (exists && !QFile(path).open(QIODevice::ReadOnly))
        throw Error(
            QStringLiteral("Ayarlar dosyası okunamadı: %1").arg(QDir::toNativeSeparators(path)));
    ProfileFile profile = ProfileFile::load(path);
    for (const auto &[key, value] : values)
        profile.setValue(QStringLiteral("MySql"), key, value);
    // It holds the password: readable by its owner alone, also when it was not before (the
    // new file takes the old one's mode).
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    if (exists && !QFile::setPermissions(path, ownerOnly))
        throw Error(QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
    profile.save(path, ownerOnly);
}

} // namespace

void DatabaseSetup::run(const QString &settingsFile) {
    if (!m_handle)
        throw Error(QStringLiteral("Sunucuya bağlanılmadı."));
    const bool databaseExists =
        scalar("SELECT COUNT(*) FROM information_schema.SCHEMATA WHERE SCHEMA_NAME = " +
               quoted(m_options.database)) != "0";
    if (databaseExists && !m_options.useExisting)
        throw Error(QStringLiteral("\"%1\" veritabanı zaten var; hiçbir şeye dokunulmadı. İçindeki "
                                   "kayıtlarla kullanmak için --use-existing verin.")
                        .arg(m_options.database));
    if (databaseExists)
        checkTablesOfExistingDatabase();
    const QByteArray schema = databaseExists ? QByteArray() : readSchema(m_options.schemaFile);
    if (QFileInfo(settingsFile).isDir())
        throw Error(QStringLiteral("Ayarlar dosyası yazılamaz: %1 bir klasör. Hiçbir şeye "
                                   "dokunulmadı.")
                        .arg(QDir::toNativeSeparators(settingsFile)));
    const QString folder = QFileInfo(settingsFile).absolutePath();
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("Ayarlar dosyasının klasörü oluşturulamadı: %1")
                        .arg(QDir::toNativeSeparators(folder)));

    const QByteArray password = generatePassword();
    const QString serverName = !m_options.serverName.isEmpty() ? m_options.serverName
                               : isLocalServer()               ? QStringLiteral("127.0.0.1")
                                                               : m_options.host;
    try {
        createAccount(password);
        if (databaseExists)
            m_report(QStringLiteral("Var olan \"%1\" veritabanı, tabloları ve kayıtlarıyla olduğu "
                                    "gibi bırakıldı.")
                         .arg(m_options.database));
        else
            createDatabase(schema);
        grantPrivileges();
        const bool hadSettings = QFileInfo::exists(settingsFile);
        writeMySqlSection(settingsFile, {
                                            {QStringLiteral("ServerName"), serverName},
                                            {QStringLiteral("database"), m_options.database},
                                            {QStringLiteral("pass"), QString::fromLatin1(password)},
                                            {QStringLiteral("port"), QString::number(m_serverPort)},
                                            {QStringLiteral("protokol"), QStringLiteral("mysql-5")},
                                            {QStringLiteral("UserName"), m_options.user},
                                        });
        m_report(
            QStringLiteral("Ayarlar dosyasının [MySql] bölümü yazıldı: %1 (yalnızca sahibi "
                           "okuyabilir%2). Program %3:%4 sunucusuna bağlanacak.")
                .arg(QDir::toNativeSeparators(settingsFile),
                     hadSettings ? QStringLiteral("; diğer bölümlerine dokunulmadı") : QString(),
                     serverName)
                .arg(m_serverPort));
    } catch (...) {
        rollBack();
        throw;
    }
    m_madeDatabase = false;
    m_madeAccount = false;
}
