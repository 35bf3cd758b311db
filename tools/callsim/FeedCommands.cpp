#include "callsim/FeedCommands.h"

#include "callsim/FeedServer.h"
#include "platform/DataFolder.h"
#include "platform/Error.h"
#include "platform/HttpRequest.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <cstdio>

namespace feedsim {

namespace {

void print(FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

QString portFile() {
    return dataFolder() + QStringLiteral("/callsim/feed-port");
}

// The port from --feed-port, else from the port file (when asked to look there), else 0.
bool choosePort(const QCommandLineParser &args, bool fromFile, quint16 *port) {
    QString text;
    QString source = QStringLiteral("--feed-port");
    if (args.isSet(QStringLiteral("feed-port"))) {
        text = args.value(QStringLiteral("feed-port"));
    } else if (fromFile) {
        QFile file(portFile());
        if (file.open(QIODevice::ReadOnly)) {
            text = QString::fromLatin1(file.readAll()).trimmed();
            source = file.fileName();
        }
    }
    *port = 0;
    if (text.isEmpty())
        return true;
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value == 0 || value > 65535) {
        print(
            stderr,
            QStringLiteral("zefiran-callsim: not a port number: '%1' (from %2)").arg(text, source));
        return false;
    }
    *port = quint16(value);
    return true;
}

} // namespace

void addOptions(QCommandLineParser &args) {
    args.addOption({QStringLiteral("feed-port"),
                    QStringLiteral("The mobile caller feed server's TCP port (serve, mobile)."),
                    QStringLiteral("F")});
}

bool start(FeedServer &server, const QCommandLineParser &args) {
    quint16 port = 0;
    if (!choosePort(args, false, &port))
        return false;
    if (!server.listen(QHostAddress::LocalHost, port)) {
        print(stderr, QStringLiteral("zefiran-callsim: cannot listen on 127.0.0.1:%1: %2")
                          .arg(port)
                          .arg(server.errorString()));
        return false;
    }
    QDir().mkpath(dataFolder() + QStringLiteral("/callsim"));
    QFile file(portFile());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QByteArray::number(server.port()) + "\n");
    QObject::connect(&server, &FeedServer::callAdded, &server,
                     [](const QString &imei, const QString &number, const QString &name, int id) {
                         print(stdout, QStringLiteral("feed: call %1 from %2 %3 for phone %4")
                                           .arg(id)
                                           .arg(number, name, imei));
                     });
    QObject::connect(&server, &FeedServer::listed, &server, [](const QString &imei, int calls) {
        print(stdout, QStringLiteral("feed: %1 call(s) listed for phone %2").arg(calls).arg(imei));
    });
    QObject::connect(&server, &FeedServer::acknowledged, &server,
                     [](const QString &imei, int cleared) {
                         print(stdout, QStringLiteral("feed: phone %1 acknowledged, %2 call(s) "
                                                      "cleared")
                                           .arg(imei)
                                           .arg(cleared));
                     });
    print(stdout, QStringLiteral("Mobile caller feed server listening on http://127.0.0.1:%1/")
                      .arg(server.port()));
    return true;
}

int mobile(const QCommandLineParser &args) {
    const QStringList positional = args.positionalArguments();
    if (positional.size() != 3) {
        print(stderr, QStringLiteral("usage: zefiran-callsim mobile IMEI NUMBER [--name NAME] "
                                     "[--feed-port F] [--host HOST]"));
        return 2;
    }
    const QString imei = positional.at(1).trimmed();
    const QString number = positional.at(2).trimmed();
    const QString name = args.value(QStringLiteral("name")).trimmed();
    const QString problem = FeedServer::checkCall(imei, number, name);
    if (!problem.isEmpty()) {
        print(stderr, QStringLiteral("zefiran-callsim: ") + problem);
        return 2;
    }
    quint16 port = 0;
    if (!choosePort(args, true, &port))
        return 2;
    if (port == 0) {
        print(stderr, QStringLiteral("zefiran-callsim: no feed server port: give --feed-port, "
                                     "or run `make run` (or `zefiran-callsim serve`) first"));
        return 1;
    }
    const QString host = args.value(QStringLiteral("host"));
    const auto field = [](const QString &text) {
        return QUrl::toPercentEncoding(text);
    };
    try {
        HttpRequest request;
        request.open(QStringLiteral("POST"),
                     QStringLiteral("http://%1:%2/callerid/push").arg(host).arg(port));
        request.setRequestHeader(QStringLiteral("Content-Type"),
                                 QStringLiteral("application/x-www-form-urlencoded"));
        request.send("imei=" + field(imei) + "&number=" + field(number) + "&name=" + field(name));
        if (request.status() != 200) {
            print(stderr, QStringLiteral("zefiran-callsim: the feed server refused the call: ") +
                              request.responseText().trimmed());
            return 1;
        }
        print(stdout, QStringLiteral("mobile call from %1 for phone %2 waits on %3:%4 (%5)")
                          .arg(number, imei, host)
                          .arg(port)
                          .arg(request.responseText().trimmed()));
    } catch (const Error &e) {
        print(stderr, QStringLiteral("zefiran-callsim: no feed server at %1:%2 (%3); is `make "
                                     "run` (or `zefiran-callsim serve`) running?")
                          .arg(host)
                          .arg(port)
                          .arg(e.text()));
        return 1;
    }
    return 0;
}

} // namespace feedsim
