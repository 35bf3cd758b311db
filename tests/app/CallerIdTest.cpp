#include "MainWindowFixture.h"

#include "callerid/ModemBackend.h"
#include "callerid/NcidClient.h"
#include "callerid/NcidServer.h"
#include "callerid/TCIDv5.h"
#include "controls/LabeledEdit.h"
#include "directory/CustomerCard.h"
#include "support/FakeModem.h"

#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class CallTest : public MainWindowTest {
protected:
    void SetUp() override {
        db.exec("INSERT INTO rehber (adsoyad, firmaad, gsmtel1, gsmtel2, firmatel) VALUES "
                "('Bir', 'Firma Bir', '05320000001', '05320000009', '02120000001'),"
                "('Iki', 'Firma Iki', '05320000002', NULL, NULL),"
                "('Uc', 'Firma Uc', '', '05320000003', NULL),"
                "('Dort', 'Firma Dort', NULL, NULL, '02120000004'),"
                "('Bes', 'Firma Bes', '05320000002', NULL, NULL),"
                "('', 'Adsiz Firma', '05320000006', NULL, NULL)");
    }
    void startWithPrinting(const QByteArray &printOk) {
        writeSettings("[Printing]\r\nPrintOK=" + printOk + "\r\n");
        start();
        boxes.clear();
    }
    void call(const char *number, const QString &line = u"1"_s) {
        window->CID_olay(u"dev"_s, line, QString::fromLatin1(number), u"1210 1405"_s, {});
    }
    QByteArray callCount() { return db.scalar("SELECT COUNT(*) FROM arayanlar").value_or(""); }
    QString deviceModel() { return window->CIDv51->DeviceInfo(u"devicemodel"_s); }
    TestDatabase::Row lastCall() {
        const auto rows =
            db.query("SELECT tarih = CURDATE(), telno, arayan, firma, rehberid, "
                     "ABS(TIMESTAMPDIFF(SECOND, CONCAT(tarih, ' ', saat), NOW())) < 60 "
                     "FROM arayanlar ORDER BY Id DESC LIMIT 1");
        EXPECT_FALSE(rows.empty());
        return rows.empty() ? TestDatabase::Row(6) : rows.front();
    }
};

} // namespace

// Which customer a number belongs to, and what the call row then holds.
TEST_F(CallTest, CallsAreLoggedWithTheCustomerTheirNumberBelongsTo) {
    startWithPrinting("");
    struct Case {
        const char *number, *name, *company, *id;
    };
    const Case cases[] = {
        {"05320000001", "Bir", "Firma Bir", "1"},   // gsmtel1
        {"05320000009", "Bir", "Firma Bir", "1"},   // gsmtel2 only
        {"02120000004", "Dort", "Firma Dort", "4"}, // firmatel only
        {"05320000002", "Iki", "Firma Iki", "2"},   // two records: the first
        {"5320000001", "", "", nullptr},            // no leading zero: not the same number
        {"05559999999", "", "", nullptr},           // unknown
        {"05320000006", "", "Adsiz Firma", "6"},    // a record without a name
    };
    for (const Case &c : cases) {
        call(c.number);
        const auto row = lastCall();
        EXPECT_EQ(row[0], QByteArray("1")) << c.number; // today
        EXPECT_EQ(row[1], QByteArray(c.number));
        EXPECT_EQ(row[2], QByteArray(c.name)) << c.number;
        EXPECT_EQ(row[3], QByteArray(c.company)) << c.number;
        EXPECT_EQ(row[4], c.id ? std::optional(QByteArray(c.id)) : std::nullopt) << c.number;
        EXPECT_EQ(row[5], QByteArray("1")) << c.number; // the PC's time, not the device's
    }
    // The call list shows the new rows at once; its cursor is on the last one.
    EXPECT_EQ(window->ZQuery3.fieldByName("telno").asString(), "05320000006");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CallTest, ACallWithoutNumberIsNobodys) {
    startWithPrinting("");
    call("");
    EXPECT_EQ(lastCall()[2], QByteArray(""));
    EXPECT_EQ(lastCall()[4], std::nullopt);
}

TEST_F(CallTest, OnTheCardOrSearchTabACallIsOnlyLogged) {
    startWithPrinting("e");
    for (int page : {CustomerCard::CardPage, CustomerCard::SearchPage}) {
        window->PageControl1->setCurrentIndex(page);
        window->TabSheet1->LabeledEdit1->setText(u"yazılıyor"_s);
        call("05320000001");
        EXPECT_EQ(window->PageControl1->currentIndex(), page);
        EXPECT_EQ(window->TabSheet1->LabeledEdit1->text(), u"yazılıyor"_s);
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), "2");
    EXPECT_TRUE(boxes.empty()); // no receipt either
}

TEST_F(CallTest, OnTheCallListTabTheCallersCardComesUp) {
    startWithPrinting("E"); // only a lower-case e prints
    CustomerCard &card = *window->TabSheet1;
    window->PageControl1->setCurrentIndex(CustomerCard::CallListPage);
    call("05320000009");
    EXPECT_EQ(window->PageControl1->currentIndex(), CustomerCard::CardPage);
    EXPECT_EQ(card.LabeledEdit1->text(), u"Bir"_s);
    EXPECT_EQ(card.LabeledEdit2->text(), u"05320000001"_s);

    // Unknown, or known without a name: a cleared card with the number in Telefon-1.
    for (const char *number : {"05559999999", "05320000006"}) {
        window->PageControl1->setCurrentIndex(CustomerCard::CallListPage);
        call(number);
        EXPECT_EQ(card.LabeledEdit1->text(), QString()) << number;
        EXPECT_EQ(card.LabeledEdit5->text(), QString()) << number;
        EXPECT_EQ(card.LabeledEdit2->text(), QString::fromLatin1(number));
        EXPECT_EQ(window->PageControl1->currentIndex(), CustomerCard::CardPage);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CallTest, WithPrintingOnTheReceiptIsPrinted) {
    startWithPrinting("e");
    window->PageControl1->setCurrentIndex(CustomerCard::CallListPage);
    dialogs::guarded([&] { call("05320000001"); });
    // This machine has no printer: the receipt's attempt is what shows, after the row and
    // the card.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes.front().text, u"There is no default printer currently selected."_s);
    EXPECT_EQ(lastCall()[2], QByteArray("Bir"));
    EXPECT_EQ(window->TabSheet1->LabeledEdit1->text(), u"Bir"_s);
}

TEST_F(CallTest, ALineThatIsNotANumberDropsTheCall) {
    startWithPrinting("e");
    window->PageControl1->setCurrentIndex(CustomerCard::CallListPage);
    for (const QString &line : {u""_s, u"POTS"_s, u"1a"_s}) {
        boxes.clear();
        dialogs::guarded([&] { call("05320000001", line); });
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes.front().text, u"'"_s + line + u"' is not a valid integer value."_s);
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), "0");
    EXPECT_EQ(window->PageControl1->currentIndex(), CustomerCard::CallListPage);
}

// A call from the network caller-ID server, end to end; the status bar follows the link.
TEST_F(CallTest, TheDeviceLinkReportsItsStateAndDeliversCalls) {
    NcidServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const QByteArray address = "ncid://127.0.0.1:" + QByteArray::number(server.port());
    writeSettings("[CIDevice]\r\nPort=" + address + "\r\n");
    start();
    EXPECT_TRUE(boxes.empty()); // the device started
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 1; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !window->CIDv51->DeviceInfo(u"devicemodel"_s).isEmpty(); }, 5000));
    window->Timer1Timer();
    EXPECT_EQ(window->StatusPanel->text(),
              u"Caller-ID Cihazı Aktif (127.0.0.1:"_s + QString::number(server.port()) + u")"_s);

    window->PageControl1->setCurrentIndex(CustomerCard::CallListPage);
    server.announceCall(u"05320000002"_s);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return db.scalar("SELECT COUNT(*) FROM arayanlar") == "1"; }, 5000));
    EXPECT_EQ(lastCall()[2], QByteArray("Iki"));
    EXPECT_EQ(window->TabSheet1->LabeledEdit1->text(), u"Iki"_s);

    server.close();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window->CIDv51->DeviceInfo(u"devicemodel"_s).isEmpty(); }, 5000));
    window->Timer1Timer();
    EXPECT_EQ(window->StatusPanel->text(), u"Caller-ID Cihazı bağlı değil..."_s);
    EXPECT_EQ(window->TabSheet1->Label7->text(), u"6"_s);
}

TEST_F(CallTest, ADeviceThatDidNotStartShowsAsNotAttached) {
    startWithPrinting("");
    // The component exists but could not start: it answers no model.
    window->Timer1Timer();
    EXPECT_EQ(window->StatusPanel->text(), u"Caller-ID Cihazı bağlı değil..."_s);
    EXPECT_TRUE(boxes.empty());
}

namespace {

// A time from the call log, and the bounds it must lie in at the log's one-second grain.
QDateTime loggedTime(const std::optional<QByteArray> &text) {
    return QDateTime::fromString(QString::fromLatin1(text.value_or("")), u"yyyy-MM-dd HH:mm:ss"_s);
}
QDateTime wholeSecond(const QDateTime &time) {
    return time.addMSecs(-time.time().msec());
}

} // namespace

// The receipt's error box of one call is left open while more calls come in and the server
// restarts: every call is in the log while the box is open, in order, each with the time it
// arrived.
TEST_F(CallTest, CallsAreLoggedWhileTheBoxOfAnEarlierCallIsOpen) {
    NcidServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const quint16 port = server.port();
    writeSettings("[Printing]\r\nPrintOK=e\r\n[CIDevice]\r\nPort=ncid://127.0.0.1:" +
                  QByteArray::number(port) + "\r\n");
    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !deviceModel().isEmpty(); }, 5000));
    qobject_cast<NcidClient *>(window->CIDv51->backend())->setReconnectInterval(100);
    window->PageControl1->setCurrentIndex(CustomerCard::CallListPage);

    struct Sent {
        const char *number;
        QDateTime from, to; // the call was sent at or after from and logged by to
    };
    std::vector<Sent> sent;
    QByteArray countInBox, countAfterRestart;
    recorder.whileOpen = [&](const dialogs::Box &) {
        if (boxes.size() != 1)
            return;
        const QDateTime burst = QDateTime::currentDateTime();
        for (const char *number : {"05320000002", "05559999999", "02120000004"})
            server.announceCall(QString::fromLatin1(number));
        ASSERT_TRUE(QTest::qWaitFor([&] { return callCount() == "4"; }, 5000));
        for (const char *number : {"05320000002", "05559999999", "02120000004"})
            sent.push_back({number, burst, QDateTime::currentDateTime()});
        countInBox = callCount();

        server.close(); // the server restarts before OK is pressed
        ASSERT_TRUE(QTest::qWaitFor([&] { return deviceModel().isEmpty(); }, 5000));
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !deviceModel().isEmpty(); }, 5000));
        const QDateTime later = QDateTime::currentDateTime();
        server.announceCall(u"05320000009"_s);
        ASSERT_TRUE(QTest::qWaitFor([&] { return callCount() == "5"; }, 5000));
        sent.push_back({"05320000009", later, QDateTime::currentDateTime()});
        countAfterRestart = callCount();
    };

    const QDateTime first = QDateTime::currentDateTime();
    server.announceCall(u"05320000001"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.empty() && callCount() == "5"; }, 20000));
    sent.insert(sent.begin(), {"05320000001", first, QDateTime::currentDateTime()});

    EXPECT_EQ(countInBox, "4");
    EXPECT_EQ(countAfterRestart, "5");
    ASSERT_EQ(boxes.size(), 1u); // the later calls found the card tab active: no receipt
    EXPECT_EQ(boxes.front().text, u"There is no default printer currently selected."_s);
    const auto rows = db.query("SELECT telno, CONCAT(tarih, ' ', saat) FROM arayanlar ORDER BY Id");
    ASSERT_EQ(rows.size(), sent.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][0], QByteArray(sent[i].number)) << i;
        const QDateTime logged = loggedTime(rows[i][1]);
        EXPECT_GE(logged, wholeSecond(sent[i].from)) << sent[i].number;
        EXPECT_LE(logged, sent[i].to) << sent[i].number;
    }
}

// A USB modem that is not plugged in when the program starts: no start message, no device on
// the ticks, and once it is plugged in it is set up and its calls are logged.
TEST_F(CallTest, AModemPluggedInAfterStartLogsCalls) {
    ModemSocket socket;
    writeSettings("[CIDevice]\r\nPort=" + socket.path().toUtf8() + "\r\n");
    start();
    EXPECT_TRUE(boxes.empty());
    window->Timer1Timer();
    EXPECT_EQ(window->StatusPanel->text(), u"Caller-ID Cihazı bağlı değil..."_s);
    ModemBackend::Timing timing;
    timing.retryIntervalMs = 100;
    qobject_cast<ModemBackend *>(window->CIDv51->backend())->setTiming(timing);

    FakeModem modem;
    ASSERT_TRUE(socket.plug(modem));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !deviceModel().isEmpty(); }, 5000));
    window->Timer1Timer();
    EXPECT_EQ(window->StatusPanel->text(), u"Caller-ID Cihazı Aktif ("_s + socket.path() + u")"_s);

    modem.send("\r\nRING\r\n\r\nDATE = 1012\r\nTIME = 1405\r\nNMBR = 05320000002\r\n\r\nRING\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return callCount() == "1"; }, 5000));
    EXPECT_EQ(lastCall()[2], QByteArray("Iki"));
    EXPECT_EQ(lastCall()[5], QByteArray("1")); // the PC's time
    EXPECT_TRUE(boxes.empty());
}
