#include "CallerIdTestUtil.h"

#include "callerid/NcidClient.h"
#include "callerid/NcidServer.h"
#include "callerid/TCIDv5.h"
#include "platform/Error.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(TCIDv5, AnEmptyOrUnusableAddressFailsToStart) {
    const QString notSet =
        QStringLiteral("Caller-ID cihazının adresi ayarlanmamış ([CIDevice] Port).");
    const QString unusable = QStringLiteral("Caller-ID cihazının adresi kullanılamıyor: ");
    const struct {
        QString address;
        QString text;
        bool prefixOnly;
    } cases[] = {
        {QString(), notSet, false},
        {QStringLiteral("   "), notSet, false},
        {QStringLiteral("ncid://"), unusable + QStringLiteral("ncid://"), false},
        {QStringLiteral("ncid://127.0.0.1:0"), unusable + QStringLiteral("ncid://127.0.0.1:0"),
         false},
        {QStringLiteral("ncid://127.0.0.1:70000"),
         unusable + QStringLiteral("ncid://127.0.0.1:70000"), false},
        {QStringLiteral("ncid://127.0.0.1:33a"), unusable + QStringLiteral("ncid://127.0.0.1:33a"),
         false},
        {QStringLiteral("ncid://127.0.0.1:3333/calls"),
         unusable + QStringLiteral("ncid://127.0.0.1:3333/calls"), false},
        {QStringLiteral("http://127.0.0.1:3333"),
         unusable + QStringLiteral("http://127.0.0.1:3333"), false},
        {QStringLiteral("/dev/zefiran-no-such-modem"),
         QStringLiteral("Caller-ID modemi açılamadı: /dev/zefiran-no-such-modem ("), true},
    };
    for (const auto &c : cases) {
        TCIDv5 device;
        device.setPort(c.address);
        try {
            device.StartDevice();
            ADD_FAILURE() << "started with " << c.address.toStdString();
        } catch (const Error &error) {
            if (c.prefixOnly)
                EXPECT_TRUE(error.text().startsWith(c.text)) << error.text().toStdString();
            else
                EXPECT_EQ(error.text(), c.text);
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
    QTest::qWait(300); // refused attempts
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
