// zefiran-setup-db: makes the program's database on a MariaDB server, an account for the
// program that may do only what the program does, and the settings file's [MySql] section
// for it. `zefiran-setup-db --help` lists the options.

#include "DatabaseSetup.h"
#include "InvokingUser.h"
#include "PasswordPrompt.h"

#include "platform/DataFolder.h"
#include "platform/Error.h"
#include "platform/ShippedFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

void print(FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

const char *const kDescription =
    "Zefiran için bir MariaDB sunucusunda veritabanını, programın kullanıcısını ve ayarlar\n"
    "dosyasının [MySql] bölümünü hazırlar.\n"
    "\n"
    "Bu bilgisayardaki sunucu için: sudo zefiran-setup-db\n"
    "  (Debian'ın sunucusunda root, sistem yöneticisi olarak parolasız girer.)\n"
    "Başka bir bilgisayardaki sunucu için, programın çalışacağı bilgisayarda:\n"
    "  zefiran-setup-db --host SUNUCU --admin-user YÖNETİCİ\n"
    "  (yöneticinin bu bilgisayardan girebilmesi gerekir; parolası sorulur.)\n"
    "\n"
    "Var olan bir veritabanına ya da kullanıcıya --use-existing verilmedikçe dokunmaz.";

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("zefiran-setup-db"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Bu yardımı gösterir."));
    const QCommandLineOption host(
        QStringLiteral("host"),
        QStringLiteral("Veritabanı sunucusu (varsayılan: bu bilgisayardaki sunucu, soketinden)."),
        QStringLiteral("SUNUCU"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Sunucunun TCP portu (varsayılan 3306)."),
                                  QStringLiteral("PORT"), QStringLiteral("3306"));
    const QCommandLineOption socket(
        QStringLiteral("socket"),
        QStringLiteral("Bu bilgisayardaki sunucunun soketi (varsayılan: istemcinin bildiği)."),
        QStringLiteral("DOSYA"));
    const QCommandLineOption adminUser(QStringLiteral("admin-user"),
                                       QStringLiteral("Yönetici hesabı (varsayılan root)."),
                                       QStringLiteral("AD"), QStringLiteral("root"));
    const QCommandLineOption adminPassword(
        QStringLiteral("admin-password"),
        QStringLiteral("Yönetici parolası (verilmezse ve --admin-user verildiyse sorulur)."),
        QStringLiteral("PAROLA"));
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("Veritabanının adı (varsayılan cid602)."),
                                      QStringLiteral("AD"), QStringLiteral("cid602"));
    const QCommandLineOption user(QStringLiteral("user"),
                                  QStringLiteral("Programın kullanıcı adı (varsayılan zefiran)."),
                                  QStringLiteral("AD"), QStringLiteral("zefiran"));
    const QCommandLineOption programHost(
        QStringLiteral("program-host"),
        QStringLiteral("Programın çalışacağı bilgisayar, kullanıcısının sunucudaki konak kısmı: "
                       "bir ad, bir IP adresi ya da dükkânın bütün bilgisayarları için "
                       "192.168.1.% gibi bir desen (varsayılan: sunucunun bu bilgisayarı "
                       "gördüğü adres; bu bilgisayardaki sunucu için 127.0.0.1)."),
        QStringLiteral("BİLGİSAYAR"));
    const QCommandLineOption serverName(
        QStringLiteral("server-name"),
        QStringLiteral("Ayarlar dosyasına yazılacak sunucu adı, ServerName (varsayılan: bu "
                       "bilgisayardaki sunucu için 127.0.0.1, yoksa --host)."),
        QStringLiteral("SUNUCU"));
    const QCommandLineOption settings(
        QStringLiteral("settings"),
        QStringLiteral("Yazılacak ayarlar dosyası (varsayılan: veri klasöründeki cidsetup.ini; "
                       "sudo ile çalışınca komutu çalıştıran kullanıcınınki)."),
        QStringLiteral("DOSYA"));
    const QCommandLineOption schema(QStringLiteral("schema"),
                                    QStringLiteral("Şema dosyası (varsayılan: kurulumla gelen)."),
                                    QStringLiteral("DOSYA"));
    const QCommandLineOption useExisting(
        QStringLiteral("use-existing"),
        QStringLiteral("Var olan veritabanını tabloları ve kayıtlarıyla kullanır; var olan "
                       "program kullanıcısına yeni bir parola verir."));
    parser.addOptions({help, host, port, socket, adminUser, adminPassword, database, user,
                       programHost, serverName, settings, schema, useExisting});
    if (!parser.parse(app.arguments())) {
        print(stderr, QStringLiteral("zefiran-setup-db: ") + parser.errorText());
        return 2;
    }
    if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        print(stderr, QStringLiteral("zefiran-setup-db: beklenmeyen bağımsız değişken: ") +
                          parser.positionalArguments().join(u' '));
        return 2;
    }

    SetupOptions options;
    options.host = parser.value(host);
    bool portOk = false;
    options.port = parser.value(port).toUInt(&portOk);
    if (!portOk) {
        print(stderr, QStringLiteral("zefiran-setup-db: geçersiz port: ") + parser.value(port));
        return 2;
    }
    options.socket = parser.value(socket);
    options.adminUser = parser.value(adminUser);
    options.adminPassword = parser.value(adminPassword);
    if (parser.isSet(adminUser) && !parser.isSet(adminPassword))
        options.adminPassword =
            askPassword(QStringLiteral("%1 hesabının parolası: ").arg(options.adminUser));
    options.database = parser.value(database);
    options.user = parser.value(user);
    options.programHost = parser.value(programHost);
    options.serverName = parser.value(serverName);
    const QString shipped = shippedFolder();
    options.schemaFile = parser.isSet(schema) ? parser.value(schema)
                         : shipped.isEmpty()  ? QString()
                                              : shipped + QStringLiteral("/schema.sql");
    options.useExisting = parser.isSet(useExisting);

    DatabaseSetup setup(options, [](const QString &line) { print(stdout, line); });
    try {
        setup.connect();
        // The server's root logged in through sudo; the files are the invoking user's.
        if (const auto invoker = sudoInvoker())
            becomeUser(*invoker);
        setup.run(parser.isSet(settings) ? QDir::cleanPath(parser.value(settings))
                                         : settingsFilePath());
    } catch (const Error &e) {
        print(stderr, QStringLiteral("zefiran-setup-db: ") + e.text());
        return 1;
    }
    print(stdout, QStringLiteral("Hazır: Zefiran'ı menüden başlatabilirsiniz."));
    return 0;
}
