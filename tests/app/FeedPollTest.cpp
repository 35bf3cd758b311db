#include "MainWindowFixture.h"

#include "callerid/NcidServer.h"
#include "callerid/OnlineState.h"
#include "callerid/TCIDv5.h"
#include "directory/CustomerCard.h"
#include "support/LoopbackHttpServer.h"

#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <mutex>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kImei = "356938035643809";

// The main window with a feed server on loopback that lists one call until it is
// acknowledged, or answers with an error page.
class FeedPollTest : public MainWindowTest {
protected:
    FeedPollTest()
        : server([this](const HttpServerRequest &request) {
            std::lock_guard lock(mutex);
            if (request.path() == "/callerid/cidsil.php") {
                document = "<arayanlar><arayan><PhoneNumber>1234</PhoneNumber></arayan>"
                           "</arayanlar>";
                return std::optional(HttpServerResponse{200, "text/plain", "OK", {}});
            }
            return std::optional(HttpServerResponse{status, "text/xml", document, {}});
        }) {}

    void startWithFeed(const QByteArray &imei, const QString &url) {
        writeSettings("[MobilDevice]\r\nimeino=" + imei + "\r\nFeedUrl=" + url.toUtf8() + "\r\n");
        start();
        boxes.clear();
    }
    int requests() const { return int(server.requests().size()); }

    std::mutex mutex;
    QByteArray document = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><arayanlar><arayan><Id>9</Id>"
                          "<PhoneNumber>05321234567</PhoneNumber><AdSoyad>Gülşen Işık</AdSoyad>"
                          "</arayan></arayanlar>"_s.toUtf8();
    int status = 200;
    LoopbackHttpServer server;
};

TEST_F(FeedPollTest, AMobileCallIsAnnouncedAndLandsInTheCallList) {
    db.exec("INSERT INTO rehber (adsoyad, gsmtel1) VALUES ('Kay', '5321234567')");
    startWithFeed(kImei, server.baseUrl());
    window->mobilkontrol();

    EXPECT_EQ(window->StatusPanel->text(), u"Son Arayan : Gülşen Işık"_s);
    EXPECT_EQ(window->ZQuery3.fieldByName("telno").asString(), "5321234567");
    EXPECT_EQ(window->ZQuery3.fieldByName("arayan").asString(), "Kay");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), QByteArray("1"));
    EXPECT_TRUE(QFile::exists(home() + u"/cidsil.xml"_s));
    EXPECT_EQ(requests(), 2);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FeedPollTest, TheFailureBoxStopsTheTimerWhileItIsOpen) {
    {
        std::lock_guard lock(mutex);
        status = 500;
        document = "<html><body>Internal Server Error</body></html>";
    }
    startWithFeed(kImei, server.baseUrl());
    bool timerRanDuringBox = true;
    dialogs::setResponder([&](const dialogs::Box &box) {
        boxes.push_back(box);
        timerRanDuringBox = window->Timer1->isActive();
        return QMessageBox::Ok;
    });
    window->mobilkontrol();
    window->mobilkontrol();
    ASSERT_EQ(boxes.size(), 1u); // once per outage
    EXPECT_EQ(boxes[0].kind, dialogs::Kind::Message);
    EXPECT_EQ(boxes[0].text, u"XML DOSYASI ALINAMADI...!"_s);
    EXPECT_FALSE(timerRanDuringBox);
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_EQ(window->StatusPanel->text(), u"Mobil arayan listesi alınamıyor"_s);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), QByteArray("0"));

    // Back again: the note goes, the call is announced.
    {
        std::lock_guard lock(mutex);
        status = 200;
        document = "<arayanlar><arayan><PhoneNumber>0555</PhoneNumber><AdSoyad>Can</AdSoyad>"
                   "</arayan></arayanlar>";
    }
    window->mobilkontrol();
    EXPECT_EQ(window->StatusPanel->text(), u"Son Arayan : Can"_s);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(FeedPollTest, NoPollWithoutImeiOrFeedAddress) {
    const std::pair<QByteArray, bool> cases[] = {{"", true}, {kImei, false}};
    for (const auto &[imei, withUrl] : cases) {
        startWithFeed(imei, withUrl ? server.baseUrl() : QString());
        window->Timer1Timer();
        window->mobilkontrol();
        window.reset();
    }
    EXPECT_EQ(requests(), 0);
    EXPECT_TRUE(boxTextsAfterStart().empty());
}

// The phone's calls keep coming in while the receipt's error box of a desk call is open: the
// ticks that poll the feed run in the box's event loop.
TEST_F(FeedPollTest, AMobileCallIsLoggedWhileTheBoxOfADeskCallIsOpen) {
    if (!feedMayPoll(systemReachability()))
        GTEST_SKIP() << "the system reports no network connection, so the feed does not poll";
    {
        std::lock_guard lock(mutex);
        document = "<arayanlar><arayan><PhoneNumber>1234</PhoneNumber></arayan></arayanlar>";
    }
    NcidServer desk;
    ASSERT_TRUE(desk.listen(QHostAddress::LocalHost, 0));
    writeSettings("[Printing]\r\nPrintOK=e\r\n[CIDevice]\r\nPort=ncid://127.0.0.1:" +
                  QByteArray::number(desk.port()) + "\r\n[MobilDevice]\r\nimeino=" + kImei +
                  "\r\nFeedUrl=" + server.baseUrl().toUtf8() + "\r\n");
    start();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !window->CIDv51->DeviceInfo(u"devicemodel"_s).isEmpty(); }, 5000));
    window->PageControl1->setCurrentIndex(CustomerCard::CallListPage);

    const auto callCount = [&] {
        return db.scalar("SELECT COUNT(*) FROM arayanlar");
    };
    std::optional<QByteArray> countInBox;
    recorder.whileOpen = [&](const dialogs::Box &) {
        if (boxes.size() != 1)
            return;
        {
            std::lock_guard lock(mutex);
            document = "<arayanlar><arayan><Id>9</Id><PhoneNumber>05321234567</PhoneNumber>"
                       "<AdSoyad>Can</AdSoyad></arayan></arayanlar>";
        }
        (void)QTest::qWaitFor([&] { return callCount() == QByteArray("2"); }, 10000);
        countInBox = callCount();
    };
    desk.announceCall(u"05320000001"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return countInBox.has_value(); }, 20000));

    EXPECT_EQ(countInBox, QByteArray("2"));
    ASSERT_EQ(boxTexts(), std::vector{u"There is no default printer currently selected."_s});
    const auto rows = db.query("SELECT telno FROM arayanlar ORDER BY Id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], QByteArray("05320000001"));
    EXPECT_EQ(rows[1][0], QByteArray("5321234567"));
}

} // namespace
