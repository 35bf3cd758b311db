#include "MainWindowFixture.h"

#include "callerid/NcidServer.h"
#include "callerid/TCIDv5.h"
#include "controls/LabeledEdit.h"
#include "directory/CustomerCard.h"

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
