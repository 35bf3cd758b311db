#include "CallerIdTestUtil.h"

#include "callerid/NcidClient.h"
#include "callerid/NcidLineParser.h"
#include "callerid/NcidServer.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace {

QString numberOf(const QSignalSpy &spy, qsizetype i) {
    return spy.at(i).at(0).value<CallerIdCall>().number;
}

} // namespace

TEST(NcidClient, ConnectsWhenTheServerComesUpAndReconnectsAfterItWentDown) {
    const quint16 port = freeLoopbackPort();
    NcidClient client(QStringLiteral("127.0.0.1"), port);
    client.setReconnectInterval(100);
    QSignalSpy calls(&client, &NcidClient::callerId);
    EXPECT_EQ(client.deviceSerial(), QStringLiteral("127.0.0.1:%1").arg(port));

    // The server is not up yet: the client starts anyway and shows no device.
    client.start();
    EXPECT_EQ(client.deviceModel(), QString());

    NcidServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port)) << server.errorString().toStdString();
    ASSERT_TRUE(waitUntil([&] { return server.clientCount() == 1; }));
    ASSERT_TRUE(
        waitUntil([&] { return client.deviceModel() == u"Server: zefiran-callsim (NCID) 1.0"; }));

    server.announceCall(QStringLiteral("05321234567"), QStringLiteral("AHMET YILMAZ"));
    ASSERT_TRUE(waitUntil([&] { return calls.size() == 1; }));
    EXPECT_EQ(numberOf(calls, 0), QStringLiteral("05321234567"));

    // The server goes down: no device until it is back.
    server.close();
    ASSERT_TRUE(waitUntil([&] { return client.deviceModel().isEmpty(); }));

    // Back up: the client reconnects by itself; the replayed history (the first call, as
    // a CIDLOG line) is no new call.
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port)) << server.errorString().toStdString();
    ASSERT_TRUE(waitUntil([&] { return server.clientCount() == 1; }));
    ASSERT_TRUE(waitUntil([&] { return !client.deviceModel().isEmpty(); }));
    server.announceCall(QStringLiteral("02125550000"));
    // A last call shows that nothing came between: the stream keeps its order.
    server.announceCall(QStringLiteral("09990000000"));
    ASSERT_TRUE(waitUntil([&] { return calls.size() >= 3; }));
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(numberOf(calls, 1), QStringLiteral("02125550000"));
    EXPECT_EQ(numberOf(calls, 2), QStringLiteral("09990000000"));
}

TEST(NcidClient, ReadsOnlyLiveCallLinesFromTheServerStream) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    NcidClient client(QStringLiteral("127.0.0.1"), server.serverPort());
    QSignalSpy calls(&client, &NcidClient::callerId);
    client.start();
    ASSERT_TRUE(server.waitForNewConnection(5000));
    QTcpSocket *peer = server.nextPendingConnection();
    ASSERT_NE(peer, nullptr);

    auto sendPieces = [&](const QList<QByteArray> &pieces) {
        for (const QByteArray &piece : pieces) {
            peer->write(piece);
            peer->flush();
            QTest::qWait(20);
        }
    };
    // Start-up with history of every kind, then live lines that are no incoming calls,
    // then two calls cut across reads, one with LF line ends only.
    sendPieces({"200 Server: ncidd (NCID) 1.7\r\nOPT: hangup-1\r\n",
                "CIDLOG: *DATE*10112026*TIME*0900*LINE*1*NMBR*111*MESG*NONE*NAME*OLD*\r\n"
                "HUPLOG: *DATE*10112026*TIME*0901*LINE*1*NMBR*112*MESG*NONE*NAME*OLD*\r\n"
                "MSGLOG: hello\r\n250 End of call log\r\n300 End of server startup\r\n",
                "MSG: Caller ID Server started\r\nCIDINFO: *LINE*1*RING*1*TIME*14:05:01*\r\n",
                "HUP: *DATE*10122026*TIME*1405*LINE*1*NMBR*113*MESG*NONE*NAME*SPAM*\r\n"
                "BLK: *DATE*10122026*TIME*1405*LINE*1*NMBR*114*MESG*NONE*NAME*SPAM*\r\n"
                "OUT: *DATE*10122026*TIME*1405*LINE*1*NMBR*115*MESG*NONE*NAME*ME*\r\n"
                "PID: *DATE*10122026*TIME*1405*LINE*CELL*NMBR*116*MESG*NONE*NAME*X*\r\n"
                "NOT: *DATE*10122026*TIME*1405*NMBR*117*\r\nSOMETHING NEW: 1\r\n",
                "CID: *DATE*10122026*TIME*14", "05*LINE*POTS*NMBR*0532123", "4567*MESG*NONE*NAM",
                "E*\xc5\x9e"
                "EKER LTD*\r",
                "\nCID: *NMBR*02125550000*LINE*2*DATE*10122026*TIME*1406*\n",
                // The last call shows that no line before it made a call of its own.
                "CID: *NMBR*09990000000*\n"});
    ASSERT_TRUE(waitUntil([&] { return calls.size() >= 3; }));
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls.at(2).at(0).value<CallerIdCall>().number, QStringLiteral("09990000000"));
    const auto first = calls.at(0).at(0).value<CallerIdCall>();
    EXPECT_EQ(first.number, QStringLiteral("05321234567"));
    EXPECT_EQ(first.name, QStringLiteral("ŞEKER LTD"));
    EXPECT_EQ(first.line, QStringLiteral("1"));
    EXPECT_EQ(first.dateTime(), QStringLiteral("10122026 1405"));
    EXPECT_EQ(first.deviceId, QStringLiteral("127.0.0.1:%1").arg(server.serverPort()));
    const auto second = calls.at(1).at(0).value<CallerIdCall>();
    EXPECT_EQ(second.number, QStringLiteral("02125550000"));
    EXPECT_EQ(second.line, QStringLiteral("2"));
    EXPECT_EQ(client.deviceModel(), QStringLiteral("Server: ncidd (NCID) 1.7"));
}

TEST(NcidServer, ACallHandedOverByAGatewayReachesEveryClient) {
    NcidServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    NcidClient first(QStringLiteral("127.0.0.1"), server.port());
    NcidClient second(QStringLiteral("127.0.0.1"), server.port());
    QSignalSpy firstCalls(&first, &NcidClient::callerId);
    QSignalSpy secondCalls(&second, &NcidClient::callerId);
    first.start();
    second.start();
    ASSERT_TRUE(waitUntil([&] { return server.clientCount() == 2; }));

    QTcpSocket gateway;
    gateway.connectToHost(QHostAddress::LocalHost, server.port());
    ASSERT_TRUE(gateway.waitForConnected(5000));
    gateway.write(ncid::formatGatewayCall(QDateTime::currentDateTime(), QStringLiteral("1"),
                                          QStringLiteral("05321234567"),
                                          QStringLiteral("Çiçek Lokantası"))
                      .toUtf8() +
                  "\r\n");
    // An outgoing call is not announced: the incoming call after it comes next.
    gateway.write("CALL: ###DATE10121405...CALLOUT...LINE1...NMBR999...NAMEX+++\r\n");
    gateway.write(ncid::formatGatewayCall(QDateTime::currentDateTime(), QStringLiteral("1"),
                                          QStringLiteral("02125550000"), QString())
                      .toUtf8() +
                  "\r\n");
    gateway.flush();

    ASSERT_TRUE(waitUntil([&] { return firstCalls.size() >= 2 && secondCalls.size() >= 2; }));
    for (const QSignalSpy *spy : {&firstCalls, &secondCalls}) {
        ASSERT_EQ(spy->size(), 2);
        const auto call = spy->at(0).at(0).value<CallerIdCall>();
        EXPECT_EQ(call.number, QStringLiteral("05321234567"));
        EXPECT_EQ(call.name, QStringLiteral("Çiçek Lokantası"));
        EXPECT_EQ(spy->at(1).at(0).value<CallerIdCall>().number, QStringLiteral("02125550000"));
    }
}
