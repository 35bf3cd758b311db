#include "CallerIdTestUtil.h"
#include "support/FakeModem.h"

#include "callerid/ModemBackend.h"
#include "callerid/NcidClient.h"
#include "callerid/NcidServer.h"
#include "callerid/TCIDv5.h"
#include "platform/Error.h"

#include <QSignalSpy>
#include <QTemporaryFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TCIDv5, AnEmptyOrUnusableAddressFailsToStart) {
    const QString notSet =
        QStringLiteral("Caller-ID cihazının adresi ayarlanmamış ([CIDevice] Port).");
    const QString unusable = QStringLiteral("Caller-ID cihazının adresi kullanılamıyor: ");
    QTemporaryFile file; // a file is no device, and never becomes one
    ASSERT_TRUE(file.open());
    const QString addresses[] = {
        QString(),
        QStringLiteral("   "),
        QStringLiteral("ncid://"),
        QStringLiteral("ncid://127.0.0.1:0"),
        QStringLiteral("ncid://127.0.0.1:70000"),
        QStringLiteral("ncid://127.0.0.1:33a"),
        QStringLiteral("ncid://127.0.0.1:3333/calls"),
        QStringLiteral("http://127.0.0.1:3333"),
        QStringLiteral("dev/ttyUSB0"), // relative to wherever the program runs
        QStringLiteral("/dev/"),
        QStringLiteral("/tmp"),
        file.fileName(),
    };
    for (const QString &address : addresses) {
        TCIDv5 device;
        device.setPort(address);
        try {
            device.StartDevice();
            ADD_FAILURE() << "started with " << address.toStdString();
        } catch (const Error &error) {
            EXPECT_EQ(error.text(), address.trimmed().isEmpty() ? notSet : unusable + address);
        }
        EXPECT_EQ(device.DeviceInfo(QStringLiteral("devicemodel")), QString());
        EXPECT_EQ(device.DeviceInfo(QStringLiteral("serial")), QString());
    }
}

TEST(TCIDv5, AnNcidAddressStartsBeforeTheServerIsUpAndDeliversCalls) {
    const quint16 port = freeLoopbackPort();
    TCIDv5 device;
    device.setPort(QStringLiteral(" ncid://127.0.0.1:%1 ").arg(port));
    QSignalSpy calls(&device, &TCIDv5::OnCallerID);
    QSignalSpy signalA(&device, &TCIDv5::OnSignalA);

    device.StartDevice();
    auto *client = qobject_cast<NcidClient *>(device.backend());
    ASSERT_NE(client, nullptr);
    client->setReconnectInterval(100);
    EXPECT_EQ(device.DeviceInfo(QStringLiteral("devicemodel")), QString());
    EXPECT_EQ(device.DeviceInfo(QStringLiteral("serial")),
              QStringLiteral("127.0.0.1:%1").arg(port));
    EXPECT_EQ(device.DeviceInfo(QStringLiteral("firmware")), QString());

    NcidServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
    ASSERT_TRUE(
        waitUntil([&] { return !device.DeviceInfo(QStringLiteral("DeviceModel")).isEmpty(); }));

    server.announceCall(QStringLiteral("05321234567"), QStringLiteral("AHMET YILMAZ"),
                        QStringLiteral("POTS"), QDateTime(QDate(2026, 10, 12), QTime(14, 5)));
    ASSERT_TRUE(waitUntil([&] { return calls.size() == 1; }));
    EXPECT_EQ(calls.at(0),
              (QVariantList{QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("1"),
                            QStringLiteral("05321234567"), QStringLiteral("10122026 1405"),
                            QStringLiteral("AHMET YILMAZ")}));

    server.close();
    ASSERT_TRUE(
        waitUntil([&] { return device.DeviceInfo(QStringLiteral("devicemodel")).isEmpty(); }));
    EXPECT_EQ(signalA.size(), 0);
}

TEST(TCIDv5, AnNcidAddressWithoutPortUsesTheProtocolsPort) {
    TCIDv5 device;
    device.setPort(QStringLiteral("NCID://localhost"));
    device.StartDevice();
    EXPECT_EQ(device.DeviceInfo(QStringLiteral("serial")), QStringLiteral("localhost:3333"));
}

TEST(TCIDv5, AModemPortThatIsNotThereYetStartsWithoutADevice) {
    for (const QString &port : {QStringLiteral("/dev/serial/by-id/zefiran-no-such-modem"),
                                QStringLiteral("zefiran-no-such-tty")}) {
        TCIDv5 device;
        device.setPort(port);
        device.StartDevice();
        EXPECT_NE(qobject_cast<ModemBackend *>(device.backend()), nullptr);
        EXPECT_EQ(device.DeviceInfo(QStringLiteral("devicemodel")), QString());
        EXPECT_EQ(device.DeviceInfo(QStringLiteral("serial")), port);
    }
}

namespace {

QString modelOf(TCIDv5 &device) {
    return device.DeviceInfo(QStringLiteral("devicemodel"));
}

// A device of one kind, with the means to make a call arrive and to let its link drop and
// come back.
class CallSource {
public:
    virtual ~CallSource() = default;
    virtual void start(TCIDv5 &device) = 0;
    virtual void call(const QString &number) = 0;
    virtual void dropAndRestoreLink(TCIDv5 &device) = 0;
};

class NcidSource : public CallSource {
public:
    void start(TCIDv5 &device) override {
        ASSERT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
        m_port = m_server.port();
        device.setPort(QStringLiteral("ncid://127.0.0.1:%1").arg(m_port));
        device.StartDevice();
        qobject_cast<NcidClient *>(device.backend())->setReconnectInterval(100);
        ASSERT_TRUE(waitUntil([&] { return !modelOf(device).isEmpty(); }));
    }
    void call(const QString &number) override { m_server.announceCall(number); }
    void dropAndRestoreLink(TCIDv5 &device) override {
        m_server.close(); // the server restarts
        ASSERT_TRUE(waitUntil([&] { return modelOf(device).isEmpty(); }));
        ASSERT_TRUE(m_server.listen(QHostAddress::LocalHost, m_port));
        ASSERT_TRUE(waitUntil([&] { return !modelOf(device).isEmpty(); }));
    }

private:
    NcidServer m_server;
    quint16 m_port = 0;
};

class ModemSource : public CallSource {
public:
    void start(TCIDv5 &device) override {
        ASSERT_TRUE(m_socket.plug(*m_modem));
        device.setPort(m_socket.path());
        device.StartDevice();
        ModemBackend::Timing timing;
        timing.retryIntervalMs = 100;
        qobject_cast<ModemBackend *>(device.backend())->setTiming(timing);
        ASSERT_FALSE(modelOf(device).isEmpty());
    }
    void call(const QString &number) override {
        m_modem->send("\r\nRING\r\n\r\nDATE = 1012\r\nTIME = 1405\r\nNMBR = " + number.toLatin1() +
                      "\r\n\r\nRING\r\n");
    }
    void dropAndRestoreLink(TCIDv5 &device) override {
        m_modem->unplug(); // the USB cable pulled and put back
        m_socket.unplug();
        ASSERT_TRUE(waitUntil([&] { return modelOf(device).isEmpty(); }));
        m_modem = std::make_unique<FakeModem>();
        ASSERT_TRUE(m_socket.plug(*m_modem));
        ASSERT_TRUE(waitUntil([&] { return !modelOf(device).isEmpty(); }));
    }

private:
    ModemSocket m_socket;
    std::unique_ptr<FakeModem> m_modem = std::make_unique<FakeModem>();
};

} // namespace

// A handler that holds a modal box open for its first call, as the main window's does when
// the receipt of a call cannot be printed: a burst of later calls, and one after the link
// went down and came back, are raised inside the box's event loop, in order, each once and
// with the time it arrived.
TEST(TCIDv5, LaterCallsAreRaisedWhileTheHandlerOfAnEarlierOneHoldsABoxOpen) {
    for (const char *kind : {"ncid", "modem"}) {
        SCOPED_TRACE(kind);
        std::unique_ptr<CallSource> source;
        if (QByteArray(kind) == "ncid")
            source = std::make_unique<NcidSource>();
        else
            source = std::make_unique<ModemSource>();
        TCIDv5 device;
        ASSERT_NO_FATAL_FAILURE(source->start(device));

        QStringList raised;
        std::vector<QDateTime> arrivals;
        QDateTime sentFirst, sentBurst, sentLast, arrivalAfterBox;
        QObject::connect(&device, &TCIDv5::OnCallerID,
                         [&](const QString &, const QString &, const QString &number,
                             const QString &, const QString &) {
                             raised.append(number);
                             arrivals.push_back(device.callArrived());
                             if (raised.size() != 1)
                                 return;
                             // The box of the first call: its event loop runs while the user has
                             // not pressed OK.
                             sentBurst = QDateTime::currentDateTime();
                             for (const char *number : {"2", "3", "4"})
                                 source->call(QString::fromLatin1(number));
                             ASSERT_TRUE(waitUntil([&] { return raised.size() == 4; }));
                             source->dropAndRestoreLink(device);
                             sentLast = QDateTime::currentDateTime();
                             source->call(QStringLiteral("5"));
                             ASSERT_TRUE(waitUntil([&] { return raised.size() == 5; }));
                             arrivalAfterBox = device.callArrived(); // the first call's again
                         });

        sentFirst = QDateTime::currentDateTime();
        source->call(QStringLiteral("1"));
        ASSERT_TRUE(waitUntil([&] { return raised.size() >= 5; }, 15000));
        ASSERT_TRUE(device.callArrived().isNull());
        EXPECT_EQ(raised, (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}));
        ASSERT_EQ(arrivals.size(), 5u);
        EXPECT_EQ(arrivalAfterBox, arrivals[0]);
        EXPECT_GE(arrivals[0], sentFirst);
        EXPECT_LE(arrivals[0], sentBurst);
        for (std::size_t i = 1; i < 4; ++i) {
            EXPECT_GE(arrivals[i], sentBurst);
            EXPECT_LE(arrivals[i], sentLast);
        }
        EXPECT_GE(arrivals[4], sentLast);
    }
}
