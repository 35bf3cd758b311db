// The program while its database server goes away and comes back.
#include "MainWindowFixture.h"

#include "callerid/CallKeeper.h"
#include "controls/LabeledEdit.h"
#include "directory/CustomerCard.h"
#include "directory/DirectorySearch.h"
#include "support/TcpRelay.h"

#include <QSignalSpy>
#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace {

// The program reaches the test server through a relay: stopping the relay is the server
// going away (its connections end, new ones are refused), starting it the server back up.
class DatabaseAwayTest : public MainWindowTest {
protected:
    DatabaseAwayTest()
        : relay(static_cast<quint16>(TestDatabase::port())) {}
    void SetUp() override {
        db.exec("INSERT INTO rehber (adsoyad, gsmtel1) VALUES ('Ahmet Yilmaz', '05321234567'), "
                "('Mehmet Kaya', '05329876543')");
        writeSettingsWithPort(QByteArray::number(relay.port()));
        start();
        boxes.clear();
    }
    void searchName(const QString &text) { window->TabSheet2->LabeledEdit14->setText(text); }
    int listed() { return window->ZQuery2.active() ? window->ZQuery2.recordCount() : -1; }

    TcpRelay relay;
};

} // namespace

TEST_F(DatabaseAwayTest, SearchesAndCallsGoOnWhenTheServerComesBack) {
    searchName(u"Kaya"_s);
    EXPECT_EQ(listed(), 1);
    window->PageControl1->setCurrentIndex(CustomerCard::CallListPage);

    relay.stop();
    const QDateTime arrived = QDateTime::currentDateTime().addSecs(-90);
    window->CID_olay(u"dev"_s, u"1"_s, u"05321234567"_s, {}, {});
    EXPECT_EQ(window->arayankaydet("05329876543", arrived), "Mehmet Kaya");
    // The first call still brought up its card; the user is told once that calls wait.
    EXPECT_EQ(window->TabSheet1->LabeledEdit1->text(), u"Ahmet Yilmaz"_s);
    EXPECT_EQ(boxTexts(), std::vector<QString>{CallKeeper::holdingText()});
    EXPECT_EQ(boxes.front().kind, dialogs::Kind::Message);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), "0");

    boxes.clear();
    searchName(u"Yilmaz"_s); // one error box for the search, no other
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes.front().text.startsWith(u"SQL Error: Can't connect to server"_s))
        << boxes.front().text.toStdString();

    relay.start();
    boxes.clear();
    QSignalSpy written(window->callKeeper, &CallKeeper::heldCallsWritten);
    searchName(u"Ahmet"_s); // works again by itself, and brings the held calls in
    EXPECT_EQ(listed(), 1);
    ASSERT_TRUE(written.wait(10000));
    EXPECT_EQ(boxTexts(), std::vector<QString>{CallKeeper::writtenText(2)});
    const auto rows = db.query("SELECT telno, arayan, CONCAT(tarih, ' ', saat) = '" +
                               arrived.toString(u"yyyy-MM-dd HH:mm:ss"_s).toLatin1() +
                               "' FROM arayanlar ORDER BY Id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "05321234567");
    EXPECT_EQ(rows[1][0], "05329876543");
    EXPECT_EQ(rows[1][1], "Mehmet Kaya");
    EXPECT_EQ(rows[1][2], "1"); // its own time
}
