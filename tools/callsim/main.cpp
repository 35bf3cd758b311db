// zefiran-callsim: simulates incoming calls for the program's caller-ID link.
//
//   zefiran-callsim serve [--port N] [--sms-port M]
//       Runs a small NCID caller-ID server on 127.0.0.1, port N (default 3333), until it
//       is stopped. Point the program at it with Port=ncid://127.0.0.1:N in section
//       [CIDevice] of the settings file.
//       Beside it runs an SMS provider on 127.0.0.1, port M (default: any free port), which
//       prints every message it takes; its port is written to callsim/sms-port in the data
//       folder. Point the program at it with Url=http://127.0.0.1:M in section [Sms].
//
//   Beside them runs the mobile caller feed's server (`serve --feed-port F`), and
//   `zefiran-callsim mobile IMEI NUMBER [--name NAME]` makes a phone's call wait on it; see
//   FeedCommands.h.
//
//   zefiran-callsim call NUMBER [--name NAME] [--line LINE] [--port N] [--host HOST]
//       Makes a call from NUMBER arrive: hands the call to the server the way NCID
//       gateways do, and the server sends it to every connected client. Without --port
//       the port comes from the file callsim/port in the program's data folder
//       ($ZEFIRAN_HOME, or $XDG_DATA_HOME/zefiran, or ~/.local/share/zefiran), which
//       `make run` writes; without that file, 3333.

#include "callerid/NcidLineParser.h"
#include "callerid/NcidServer.h"
#include "callsim/FeedCommands.h"
#include "callsim/FeedServer.h"
#include "callsim/SmsProvider.h"
#include "platform/DataFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QTcpSocket>

#include <cstdio>

namespace {

constexpr quint16 defaultPort = 3333;

void print(FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

QString storedPortFile() {
    return dataFolder() + QStringLiteral("/callsim/port");
}

QString storedSmsPortFile() {
    return dataFolder() + QStringLiteral("/callsim/sms-port");
}

bool parsePort(const QString &text, const QString &source, quint16 *port, QString *error) {
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value == 0 || value > 65535) {
        *error = QStringLiteral("not a port number: '%1' (from %2)").arg(text, source);
        return false;
    }
    *port = static_cast<quint16>(value);
    return true;
}

// The port from --port, else from the data folder's port file, else the NCID default.
bool choosePort(const QCommandLineParser &args, quint16 *port, QString *error) {
    QString text;
    QString source;
    if (args.isSet(QStringLiteral("port"))) {
        text = args.value(QStringLiteral("port"));
        source = QStringLiteral("--port");
    } else {
        QFile file(storedPortFile());
        if (file.open(QIODevice::ReadOnly)) {
            text = QString::fromLatin1(file.readAll()).trimmed();
            source = file.fileName();
        }
    }
    if (text.isEmpty()) {
        *port = defaultPort;
        return true;
    }
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value == 0 || value > 65535) {
        *error = QStringLiteral("not a port number: '%1' (from %2)").arg(text, source);
        return false;
    }
    *port = static_cast<quint16>(value);
    return true;
}

int serve(QCoreApplication &app, const QCommandLineParser &args) {
    quint16 port = defaultPort;
    QString error;
    if (args.isSet(QStringLiteral("port")) && !choosePort(args, &port, &error)) {
        print(stderr, QStringLiteral("zefiran-callsim: ") + error);
        return 2;
    }
    NcidServer server;
    if (!server.listen(QHostAddress::LocalHost, port)) {
        print(stderr, QStringLiteral("zefiran-callsim: cannot listen on 127.0.0.1:%1: %2")
                          .arg(port)
                          .arg(server.errorString()));
        return 1;
    }
    QObject::connect(&server, &NcidServer::callAnnounced, &server,
                     [](const QString &number, const QString &name) {
                         print(stdout,
                               QStringLiteral("call from %1 %2").arg(number, name).trimmed());
                     });
    print(stdout, QStringLiteral("NCID server listening on 127.0.0.1:%1").arg(server.port()));

    SmsProvider provider;
    HttpServer smsServer([&provider](const HttpServerRequest &request) {
        const HttpServerResponse response = provider.answer(request);
        print(stdout,
              QStringLiteral("SMS provider: %1 %2 -> %3 %4")
                  .arg(QString::fromLatin1(request.method), QString::fromLatin1(request.path()))
                  .arg(response.status)
                  .arg(QString::fromUtf8(response.body)));
        const QString document = smsRequestData(request);
        if (!document.isEmpty())
            print(stdout, QStringLiteral("  ") + document);
        return response;
    });
    quint16 smsPort = 0;
    if (args.isSet(QStringLiteral("sms-port")) &&
        !parsePort(args.value(QStringLiteral("sms-port")), QStringLiteral("--sms-port"), &smsPort,
                   &error)) {
        print(stderr, QStringLiteral("zefiran-callsim: ") + error);
        return 2;
    }
    if (!smsServer.listen(QHostAddress::LocalHost, smsPort)) {
        print(stderr, QStringLiteral("zefiran-callsim: cannot listen on 127.0.0.1:%1: %2")
                          .arg(smsPort)
                          .arg(smsServer.errorString()));
        return 1;
    }
    QDir().mkpath(dataFolder() + QStringLiteral("/callsim"));
    QFile portFile(storedSmsPortFile());
    if (portFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        portFile.write(QByteArray::number(smsServer.port()) + "\n");
    print(stdout,
          QStringLiteral("SMS provider listening on http://127.0.0.1:%1").arg(smsServer.port()));
    FeedServer feedServer;
    if (!feedsim::start(feedServer, args))
        return 1;
    return app.exec();
}

bool validText(const QString &text) {
    for (const QChar ch : text) {
        if (ch.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

int call(const QCommandLineParser &args) {
    const QStringList positional = args.positionalArguments();
    if (positional.size() != 2) {
        print(stderr, QStringLiteral("usage: zefiran-callsim call NUMBER [--name NAME] "
                                     "[--line LINE] [--port N] [--host HOST]"));
        return 2;
    }
    const QString number = positional.at(1).trimmed();
    const QString name = args.value(QStringLiteral("name")).trimmed();
    const QString line = args.value(QStringLiteral("line")).trimmed();
    if (number.isEmpty() || number.size() > 20 || number.contains(u'*') || !validText(number)) {
        print(stderr, QStringLiteral("zefiran-callsim: the number must be 1 to 20 characters "
                                     "without '*' or control characters"));
        return 2;
    }
    if (name.contains(u'*') || !validText(name) || line.contains(u'*') || !validText(line)) {
        print(stderr, QStringLiteral("zefiran-callsim: the name and line may not contain '*' or "
                                     "control characters"));
        return 2;
    }

    quint16 port = defaultPort;
    QString error;
    if (!choosePort(args, &port, &error)) {
        print(stderr, QStringLiteral("zefiran-callsim: ") + error);
        return 2;
    }
    const QString host = args.value(QStringLiteral("host"));

    QTcpSocket socket;
    socket.connectToHost(host, port);
    if (!socket.waitForConnected(3000)) {
        print(stderr, QStringLiteral("zefiran-callsim: no caller-ID server at %1:%2 (%3); is "
                                     "`make run` (or `zefiran-callsim serve`) running?")
                          .arg(host)
                          .arg(port)
                          .arg(socket.errorString()));
        return 1;
    }
    // Read the server's start-up lines first, as a gateway does; they are not needed.
    QByteArray startup;
    while (!startup.contains("300 ") && socket.waitForReadyRead(2000))
        startup += socket.readAll();

    const QString gatewayLine = ncid::formatGatewayCall(
        QDateTime::currentDateTime(), line.isEmpty() ? QStringLiteral("1") : line, number, name);
    socket.write(gatewayLine.toUtf8() + "\r\n");
    if (!socket.waitForBytesWritten(3000)) {
        print(stderr,
              QStringLiteral("zefiran-callsim: sending the call failed: ") + socket.errorString());
        return 1;
    }
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(2000);
    print(stdout, QStringLiteral("call from %1 sent to %2:%3").arg(number, host).arg(port));
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zefiran-callsim"));

    QCommandLineParser args;
    args.setApplicationDescription(
        QStringLiteral("Simulates incoming calls for zefiran's caller-ID link.\n\n"
                       "  serve [--port N] [--sms-port M]\n"
                       "                         run an NCID caller-ID server and an SMS provider\n"
                       "                         on 127.0.0.1\n"
                       "  call NUMBER [--name NAME] [--line LINE] [--port N] [--host HOST]\n"
                       "                         make a call from NUMBER arrive\n"
                       "  mobile IMEI NUMBER [--name NAME] [--feed-port F] [--host HOST]\n"
                       "                         make a call from NUMBER wait on the mobile\n"
                       "                         caller feed for phone IMEI\n"
                       "  (serve also runs the feed server, on --feed-port F or any free port)\n\n"
                       "Without --port, `call` uses the port in the data folder's callsim/port "
                       "file (written by `make run`), else 3333."));
    args.addHelpOption();
    args.addPositionalArgument(QStringLiteral("command"), QStringLiteral("serve or call"));
    args.addOption(
        {QStringLiteral("port"), QStringLiteral("The server's TCP port."), QStringLiteral("N")});
    args.addOption({QStringLiteral("sms-port"),
                    QStringLiteral("The SMS provider's TCP port (serve)."), QStringLiteral("M")});
    args.addOption({QStringLiteral("host"), QStringLiteral("The server's host (call)."),
                    QStringLiteral("HOST"), QStringLiteral("127.0.0.1")});
    args.addOption({QStringLiteral("name"), QStringLiteral("The caller's name (call)."),
                    QStringLiteral("NAME")});
    args.addOption({QStringLiteral("line"), QStringLiteral("The telephone line (call)."),
                    QStringLiteral("LINE"), QStringLiteral("1")});
    feedsim::addOptions(args);
    args.process(app);

    const QStringList positional = args.positionalArguments();
    const QString command = positional.value(0);
    if (command == u"serve" && positional.size() == 1)
        return serve(app, args);
    if (command == u"call")
        return call(args);
    if (command == u"mobile")
        return feedsim::mobile(args);
    print(stderr, args.helpText());
    return 2;
}
