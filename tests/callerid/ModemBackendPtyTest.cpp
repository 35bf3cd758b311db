// The modem back end against a pseudo-terminal that plays the modem.

#include "CallerIdTestUtil.h"
#include "support/FakeModem.h"

#include "callerid/ModemBackend.h"
#include "callerid/TCIDv5.h"
#include "platform/Error.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

ModemBackend::Timing quickTiming() {
    ModemBackend::Timing timing;
    timing.commandTimeoutMs = 300;
    timing.startTimeoutMs = 5000;
    timing.quietEndMs = 300;
    timing.probeIntervalMs = 100;
    timing.probeQuietMs = 100;
    timing.retryIntervalMs = 100;
    return timing;
}

QList<QByteArray> bytes(std::initializer_list<const char *> list) {
    QList<QByteArray> result;
    for (const char *item : list)
        result.append(QByteArray(item));
    return result;
}

// Sends the pieces as separate writes with a pause between them, so that the back end
// reads each piece on its own.
void sendInPieces(FakeModem &modem, const QList<QByteArray> &pieces) {
    for (const QByteArray &piece : pieces) {
        modem.send(piece);
        QTest::qWait(30);
    }
}

} // namespace

TEST(ModemBackendPty, StartsTheModemAndReportsCallsSplitAnywhere) {
    FakeModem modem;
    TCIDv5 device;
    device.setPort(modem.slavePath());
    QSignalSpy calls(&device, &TCIDv5::OnCallerID);

    device.StartDevice();

    EXPECT_EQ(modem.commands(), bytes({"AT", "ATE0V1", "AT+GMI", "AT+GMM", "AT+VCID=1"}));
    EXPECT_EQ(device.DeviceInfo(QStringLiteral("devicemodel")),
              QStringLiteral("U.S. Robotics USR5637 56K Faxmodem"));
    EXPECT_EQ(device.DeviceInfo(QStringLiteral("serial")), modem.slavePath());

    // North American style: the block between the first and the second RING, cut by the
    // reads in the middle of tags, values and line ends.
    sendInPieces(modem, {"\r\nRI", "NG\r\n\r\nDA", "TE = 10", "12\r", "\nTIME = 1405\r\nNM",
                         "BR = 0532123", "4567\r\nNAME = AHMET YIL", "MAZ\r\n\r\nRI", "NG\r\n"});
    ASSERT_TRUE(waitUntil([&] { return calls.size() == 1; }));
    EXPECT_EQ(calls.at(0),
              (QVariantList{modem.slavePath(), QStringLiteral("1"), QStringLiteral("05321234567"),
                            QStringLiteral("1012 1405"), QStringLiteral("AHMET YILMAZ")}));

    // A private caller reported before the first RING and followed by silence: the block
    // ends after the quiet spell.
    sendInPieces(modem, {"\r\nDATE=1012\r\nTIME=1406\r\nNMBR=P\r\n"});
    ASSERT_TRUE(waitUntil([&] { return calls.size() == 2; }));
    EXPECT_EQ(calls.at(1).at(2).toString(), QStringLiteral("Gizli Numara"));
    EXPECT_EQ(calls.at(1).at(1).toString(), QStringLiteral("1"));

    // Rings without caller ID make no call: the next call is the third.
    sendInPieces(modem, {"\r\nRING\r\n", "\r\nRING\r\n",
                         "\r\nDATE=1012\r\nTIME=1407\r\nNMBR=02125550000\r\n\r\nRING\r\n"});
    ASSERT_TRUE(waitUntil([&] { return calls.size() >= 3; }));
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls.at(2).at(2).toString(), QStringLiteral("02125550000"));
}

TEST(ModemBackendPty, FallsBackToTheOlderCallerIdCommandsAndIdentifiesByAti) {
    FakeModem modem;
    modem.setReply("AT+GMI", "\r\nERROR\r\n");
    modem.setReply("AT+GMM", "\r\nERROR\r\n");
    modem.setReply("ATI", "\r\n56000\r\n\r\nOK\r\n");
    modem.setReply("AT+VCID=1", "\r\nERROR\r\n");
    modem.setReply("AT#CID=1", "\r\nOK\r\n");
    ModemBackend backend(modem.slavePath());
    backend.setTiming(quickTiming());

    backend.start();

    EXPECT_EQ(modem.commands(),
              bytes({"AT", "ATE0V1", "AT+GMI", "AT+GMM", "ATI", "AT+VCID=1", "AT#CID=1"}));
    EXPECT_EQ(backend.deviceModel(), QStringLiteral("56000"));
}

TEST(ModemBackendPty, FailsToStartWhenTheModemRefusesCallerId) {
    FakeModem modem;
    modem.setReply("AT+VCID=1", "\r\nERROR\r\n");
    TCIDv5 device;
    device.setPort(modem.slavePath());
    try {
        device.StartDevice();
        FAIL() << "StartDevice succeeded with a modem without caller ID";
    } catch (const Error &error) {
        EXPECT_EQ(error.text(),
                  QStringLiteral("Caller-ID modemi arayan numara gösterimini açmadı: ") +
                      modem.slavePath());
    }
    EXPECT_EQ(modem.commands().mid(4),
              bytes({"AT+VCID=1", "AT#CID=1", "AT%CCID=1", "AT#CC1", "AT*ID1"}));
    EXPECT_EQ(device.DeviceInfo(QStringLiteral("devicemodel")), QString());
}

// A USB modem plugged in after the program started, and an external one switched on after
// it started: neither is an error, both are set up once they are there, and calls follow.
TEST(ModemBackendPty, AModemThatIsNotThereAtStartIsSetUpOnceItIs) {
    const char *const call =
        "\r\nRING\r\n\r\nDATE = 1012\r\nTIME = 1407\r\nNMBR = 02125550000\r\n\r\nRING\r\n";
    {
        ModemSocket socket; // names nothing yet
        ModemBackend backend(socket.path());
        backend.setTiming(quickTiming());
        QSignalSpy calls(&backend, &ModemBackend::callerId);
        backend.start();
        EXPECT_EQ(backend.deviceModel(), QString());
        EXPECT_EQ(backend.deviceSerial(), socket.path());

        FakeModem modem;
        ASSERT_TRUE(socket.plug(modem));
        ASSERT_TRUE(waitUntil([&] { return !backend.deviceModel().isEmpty(); }));
        EXPECT_EQ(modem.commands(), bytes({"AT", "ATE0V1", "AT+GMI", "AT+GMM", "AT+VCID=1"}));
        modem.send(call);
        ASSERT_TRUE(waitUntil([&] { return calls.size() == 1; }));
        EXPECT_EQ(calls.at(0).at(0).value<CallerIdCall>().number, QStringLiteral("02125550000"));
    }
    {
        FakeModem modem;
        modem.setSilent(true);
        ModemBackend backend(modem.slavePath());
        backend.setTiming(quickTiming());
        QSignalSpy calls(&backend, &ModemBackend::callerId);
        backend.start();
        EXPECT_EQ(backend.deviceModel(), QString());

        modem.setSilent(false);
        ASSERT_TRUE(waitUntil([&] { return !backend.deviceModel().isEmpty(); }));
        EXPECT_EQ(modem.commands().last(), QByteArray("AT+VCID=1"));
        modem.send(call);
        ASSERT_TRUE(waitUntil([&] { return calls.size() == 1; }));
    }
}

TEST(ModemBackendPty, LosesTheModelWhenUnpluggedAndComesBackWhenPluggedIn) {
    // The port is a stable name (like /dev/serial/by-id/...) for whichever terminal the
    // modem gets.
    ModemSocket socket;
    auto modem = std::make_unique<FakeModem>();
    ASSERT_TRUE(socket.plug(*modem));
    ModemBackend backend(socket.path());
    backend.setTiming(quickTiming());
    QSignalSpy calls(&backend, &ModemBackend::callerId);
    backend.start();
    ASSERT_FALSE(backend.deviceModel().isEmpty());

    modem->unplug();
    socket.unplug();
    ASSERT_TRUE(waitUntil([&] { return backend.deviceModel().isEmpty(); }));
    EXPECT_EQ(backend.deviceSerial(), socket.path());

    modem = std::make_unique<FakeModem>();
    ASSERT_TRUE(socket.plug(*modem));
    ASSERT_TRUE(waitUntil([&] { return !backend.deviceModel().isEmpty(); }));
    EXPECT_EQ(modem->commands().last(), QByteArray("AT+VCID=1"));

    modem->send("\r\nRING\r\n\r\nDATE = 1012\r\nTIME = 1407\r\nNMBR = 02125550000\r\n\r\nRING\r\n");
    ASSERT_TRUE(waitUntil([&] { return calls.size() == 1; }));
    EXPECT_EQ(calls.at(0).at(0).value<CallerIdCall>().number, QStringLiteral("02125550000"));
}

TEST(ModemBackendPty, AModemThatStopsAnsweringLosesItsModelUntilItIsSetUpAgain) {
    FakeModem modem;
    ModemBackend backend(modem.slavePath());
    backend.setTiming(quickTiming());
    backend.start();
    const QString model = backend.deviceModel();
    ASSERT_FALSE(model.isEmpty());

    modem.setSilent(true); // an external modem switched off: the port itself stays
    ASSERT_TRUE(waitUntil([&] { return backend.deviceModel().isEmpty(); }));

    const auto before = modem.commands().size();
    modem.setSilent(false);
    ASSERT_TRUE(waitUntil([&] { return backend.deviceModel() == model; }));
    EXPECT_TRUE(modem.commands().mid(before).contains(QByteArray("AT+VCID=1")));
}
