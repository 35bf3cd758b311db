#include "callerid/MobileFeed.h"
#include "callerid/CallRegistration.h"
#include "callerid/OnlineState.h"
#include "callsim/FeedServer.h"
#include "support/LoopbackHttpServer.h"
#include "support/StoreTest.h"
#include "support/Text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mutex>

using namespace Qt::StringLiterals;

namespace {

const QString kImei = u"356938035643809"_s;

QByteArray entry(int id, const QByteArray &phone, const QString &name) {
    return "<arayan><Id>" + QByteArray::number(id) + "</Id><PhoneNumber>" + phone +
           "</PhoneNumber><AdSoyad>" + name.toUtf8() + "</AdSoyad></arayan>";
}
QByteArray feed(const QByteArray &entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><arayanlar>" + entries + "</arayanlar>";
}
const QByteArray kSentinel = feed(entry(0, "1234", {}));

// A feed server on loopback whose document, answers and behaviour the test sets. An
// accepted acknowledgement clears the list, as the real server does.
class FakeFeedServer {
public:
    FakeFeedServer()
        : m_server([this](const HttpServerRequest &request) { return answer(request); }) {}

    void setDocument(const QByteArray &document, int status = 200) {
        std::lock_guard lock(m_mutex);
        m_document = document;
        m_status = status;
    }
    void setAcknowledgementStatus(int status) {
        std::lock_guard lock(m_mutex);
        m_ackStatus = status;
    }
    void setHung(bool hung) {
        std::lock_guard lock(m_mutex);
        m_hung = hung;
    }
    void setAcknowledgementHung(bool hung) {
        std::lock_guard lock(m_mutex);
        m_ackHung = hung;
    }
    QString baseUrl() const { return m_server.baseUrl(); }
    std::vector<HttpServerRequest> requests() const { return m_server.requests(); }
    int fetches() const { return count("/callerid/" + kImei.toUtf8() + ".xml"); }
    int acknowledgements() const { return count("/callerid/cidsil.php"); }

private:
    int count(const QByteArray &path) const {
        int n = 0;
        for (const HttpServerRequest &r : requests())
            n += r.path() == path;
        return n;
    }
    std::optional<HttpServerResponse> answer(const HttpServerRequest &request) {
        std::lock_guard lock(m_mutex);
        if (m_hung)
            return std::nullopt;
        if (request.path() == "/callerid/cidsil.php") {
            if (m_ackHung)
                return std::nullopt;
            if (m_ackStatus == 200)
                m_document = kSentinel;
            return HttpServerResponse{m_ackStatus, "text/plain", "OK", {}};
        }
        if (request.path() == "/callerid/" + kImei.toUtf8() + ".xml")
            return HttpServerResponse{
                m_status, m_status == 200 ? "text/xml" : "text/html", m_document, {}};
        return HttpServerResponse{404, "text/plain", "not found", {}};
    }

    mutable std::mutex m_mutex;
    QByteArray m_document = kSentinel;
    int m_status = 200;
    int m_ackStatus = 200;
    bool m_hung = false;
    bool m_ackHung = false;
    LoopbackHttpServer m_server;
};

// The poll against the fake feed server, registering into a database of the test's own,
// with every hook recorded.
class MobileFeedTest : public StoreTest {
protected:
    MobileFeedTest()
        : ZQuery1(connection, u"ZQuery1"_s)
        , ZQuery3(connection, u"ZQuery3"_s) {
        m_oldWorkingDir = QDir::currentPath();
        QDir::setCurrent(m_work.path());
    }
    ~MobileFeedTest() override { QDir::setCurrent(m_oldWorkingDir); }

    void SetUp() override {
        db.exec("INSERT INTO rehber (adsoyad, firmaad, gsmtel1) VALUES ('" +
                win("Kayıtlı Müşteri") + "', 'Firma', '5321112233')");
        connection.connect();
        ZQuery1.setSQL("select * from rehber");
        ZQuery1.open();
        ZQuery3.setSQL("select * from arayanlar");
        ZQuery3.open();
    }

    MobileFeed::Settings settings() {
        MobileFeed::Settings s;
        s.baseUrl = server.baseUrl();
        s.imeino = kImei;
        s.acknowledgementPath = acknowledgementPath();
        s.timeouts = {1000, 500};
        // However slow a loaded machine makes a request, no poll is put off but in the test
        // of putting off.
        s.slowFailureMs = 60000;
        return s;
    }
    MobileFeed::Hooks hooks() {
        MobileFeed::Hooks h;
        h.processMessages = [this] {
            if (duringMessages)
                duringMessages();
        };
        h.showStatus = [this](const QString &text) {
            statuses.push_back(text);
        };
        h.showFetchFailure = [this] {
            ++fetchFailureBoxes;
        };
        h.showFeedNote = [this](const QString &text) {
            notes.push_back(text);
        };
        h.showError = [this](const QString &text) {
            errors.push_back(text);
        };
        h.registerCall = [this](const QByteArray &number, const QDateTime &arrived) {
            if (!registrationError.isEmpty())
                throw Error(registrationError);
            registered.push_back(number);
            arrivals.push_back(arrived);
            arayankaydet(ZQuery1, ZQuery3, number, arrived);
        };
        return h;
    }
    QString acknowledgementPath() const { return m_data.filePath(u"cidsil.xml"_s); }
    std::vector<TestDatabase::Row> calls() {
        return db.query("SELECT telno, arayan, rehberid FROM arayanlar ORDER BY Id");
    }

    FakeFeedServer server;
    TZQuery ZQuery1;
    TZQuery ZQuery3;
    std::function<void()> duringMessages;
    QString registrationError; // the registration fails with it while set
    std::vector<QString> statuses, notes, errors;
    std::vector<QByteArray> registered;
    std::vector<QDateTime> arrivals;
    int fetchFailureBoxes = 0;

private:
    QTemporaryDir m_work;
    QTemporaryDir m_data;
    QString m_oldWorkingDir;
};

TEST_F(MobileFeedTest, ThreeCallersAreAnnouncedTheLastRegisteredAndTheListAcknowledged) {
    server.setDocument(feed(entry(1, "05550000001", u"Ali Veli"_s) +
                            entry(2, "05550000002", u"Şule Öztürk"_s) +
                            entry(3, "05321112233", u"Gül Çiçek"_s)));
    MobileFeed poll(settings(), hooks());
    const QDateTime before = QDateTime::currentDateTime();
    poll.mobilkontrol();

    EXPECT_EQ(statuses,
              (std::vector<QString>{u"Son Arayan : Ali Veli"_s, u"Son Arayan : Şule Öztürk"_s,
                                    u"Son Arayan : Gül Çiçek"_s}));
    // One row, for the third caller, without the leading 0, found in the directory.
    EXPECT_EQ(registered, std::vector<QByteArray>{"5321112233"});
    ASSERT_EQ(calls().size(), 1u);
    EXPECT_EQ(calls()[0][0], QByteArray("5321112233"));
    EXPECT_EQ(calls()[0][1], win("Kayıtlı Müşteri"));
    EXPECT_EQ(calls()[0][2], QByteArray("1"));
    EXPECT_GE(arrivals.front(), before.addMSecs(-1));

    // The acknowledgement file in its folder, byte for byte, and the same bytes as the body
    // of a GET to cidsil.php, after the fetch.
    const QByteArray expected = "<?xml version=\"1.0\" encoding=\"iso-8859-9\"?>\r\n"
                                "<Arayanlar>\r\n<Arayan>\r\n<imeino>356938035643809</imeino>\r\n"
                                "</Arayan>\r\n</Arayanlar>\r\n";
    QFile file(acknowledgementPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), expected.toStdString());
    EXPECT_FALSE(QFile::exists(u"cidsil.xml"_s)); // not in the working directory
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, QByteArray("GET"));
    EXPECT_EQ(requests[0].target, "/callerid/" + kImei.toUtf8() + ".xml");
    EXPECT_EQ(requests[1].method, QByteArray("GET"));
    EXPECT_EQ(requests[1].target, QByteArray("/callerid/cidsil.php"));
    EXPECT_EQ(requests[1].body.toStdString(), expected.toStdString());
    EXPECT_EQ(poll.answerText(), u"OK"_s);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(fetchFailureBoxes, 0);

    // The list is empty now: the next poll ends quietly.
    statuses.clear();
    poll.mobilkontrol();
    EXPECT_TRUE(statuses.empty());
    EXPECT_EQ(calls().size(), 1u);
    EXPECT_EQ(server.acknowledgements(), 1);
}

TEST_F(MobileFeedTest, DocumentsThatEndThePollBeforeAnyCall) {
    struct Case {
        const char *name;
        QByteArray document;
        int status;
        bool failureBox;
    } cases[] = {
        {"sentinel", kSentinel, 200, false},
        {"sentinel first, calls after",
         feed(entry(0, "1234", {}) + entry(1, "05550000001", u"Ali"_s)), 200, false},
        {"no entry", feed(""), 200, false},
        {"items written Arayan", feed("<Arayan><PhoneNumber>05550000001</PhoneNumber></Arayan>"),
         200, false},
        {"document element Arayanlar",
         "<Arayanlar>" + entry(1, "05550000001", u"Ali"_s) + "</Arayanlar>", 200, true},
        {"truncated", feed(entry(1, "05550000001", u"Ali"_s)).left(60), 200, true},
        {"HTML error page", "<html><body><h1>Internal Server Error</h1></body></html>", 500, true},
        {"DOCTYPE with an entity",
         "<!DOCTYPE arayanlar [<!ENTITY n \"05550000001\">]>" + feed(entry(1, "&n;", u"Ali"_s)),
         200, true},
    };
    for (const Case &c : cases) {
        server.setDocument(c.document, c.status);
        MobileFeed poll(settings(), hooks());
        fetchFailureBoxes = 0;
        poll.mobilkontrol();
        EXPECT_EQ(fetchFailureBoxes, c.failureBox ? 1 : 0) << c.name;
        EXPECT_TRUE(statuses.empty()) << c.name;
        EXPECT_TRUE(errors.empty()) << c.name;
    }
    EXPECT_TRUE(registered.empty());
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(server.acknowledgements(), 0);
    EXPECT_FALSE(QFile::exists(acknowledgementPath()));
}

TEST_F(MobileFeedTest, ASentinelAfterRealEntriesIsAnEntryLikeAnyOther) {
    server.setDocument(feed(entry(1, "05550000001", u"Ali"_s) + entry(0, "1234", {})));
    MobileFeed poll(settings(), hooks());
    poll.mobilkontrol();
    EXPECT_EQ(statuses.size(), 2u);
    EXPECT_EQ(registered, std::vector<QByteArray>{"1234"});
    EXPECT_EQ(server.acknowledgements(), 1);
}

TEST_F(MobileFeedTest, OneLeadingZeroIsRemoved) {
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"05321112233", "5321112233"},
        {"00905321112233", "0905321112233"},
        {"0", ""},
        {"5321112233", "5321112233"},
        {"", ""},
    };
    for (const auto &[number, expected] : cases)
        EXPECT_EQ(MobileFeed::withoutLeadingZero(number), expected) << number.toStdString();

    // A number that is a single 0 is looked up and logged as an empty text.
    server.setDocument(feed(entry(1, "0", u"Sıfır"_s)));
    MobileFeed poll(settings(), hooks());
    poll.mobilkontrol();
    ASSERT_EQ(calls().size(), 1u);
    EXPECT_EQ(calls()[0][0], QByteArray(""));
    EXPECT_EQ(calls()[0][2], std::nullopt);
}

TEST_F(MobileFeedTest, TurkishNamesReachThePanelFromEveryEncoding) {
    const QString name = u"Işıl Gündoğdu"_s;
    const QByteArray in1254 = win("Işıl Gündoğdu");
    const QByteArray body = "<arayanlar><arayan><Id>1</Id><PhoneNumber>0555</PhoneNumber>"
                            "<AdSoyad>";
    const QByteArray end = "</AdSoyad></arayan></arayanlar>";
    QByteArray utf16 = "\xFF\xFE";
    for (const QChar ch : QString::fromUtf8(body) + name + QString::fromUtf8(end))
        utf16.append(char(ch.unicode() & 0xFF)).append(char(ch.unicode() >> 8));
    const QByteArray documents[] = {
        "<?xml version=\"1.0\" encoding=\"ISO-8859-9\"?>" + body + in1254 + end,
        "<?xml version=\"1.0\" encoding=\"windows-1254\"?>" + body + in1254 + end,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body + name.toUtf8() + end,
        utf16,
    };
    for (const QByteArray &document : documents) {
        server.setDocument(document);
        MobileFeed poll(settings(), hooks());
        statuses.clear();
        poll.mobilkontrol();
        EXPECT_EQ(statuses, std::vector<QString>{u"Son Arayan : "_s + name});
    }
    EXPECT_EQ(calls().size(), 4u);
}

TEST_F(MobileFeedTest, TheImeiCannotChangeTheAddressesPathOrTheAcknowledgedPhone) {
    const std::pair<QString, QString> parts[] = {
        {kImei, kImei},
        {u"AB-12.cd_9"_s, u"AB-12.cd_9"_s},
        {u"35/../x?y=1#z"_s, u"35%2F..%2Fx%3Fy%3D1%23z"_s},
        {u"35 69~ı"_s, u"35%2069%7E%C4%B1"_s},
    };
    for (const auto &[imei, part] : parts)
        EXPECT_EQ(MobileFeed::addressPart(imei), part) << imei.toStdString();

    auto s = settings();
    s.imeino = u"35/../x"_s;
    s.baseUrl = server.baseUrl().chopped(1); // without its "/"
    const MobileFeed poll(s, hooks());
    EXPECT_EQ(poll.feedAddress(), server.baseUrl() + u"callerid/35%2F..%2Fx.xml"_s);
    EXPECT_EQ(poll.acknowledgementAddress(), server.baseUrl() + u"callerid/cidsil.php"_s);
    EXPECT_TRUE(MobileFeed::acknowledgementDocument(u"1</imeino><imeino>2"_s)
                    .contains("<imeino>1&lt;/imeino&gt;&lt;imeino&gt;2</imeino>\r\n"));
}

TEST_F(MobileFeedTest, ATickDuringAPollStartsNoSecondPoll) {
    server.setDocument(
        feed(entry(1, "05550000001", u"Ali"_s) + entry(2, "05550000002", u"Ayşe"_s)));
    MobileFeed poll(settings(), hooks());
    int nestedTicks = 0;
    duringMessages = [&] {
        ++nestedTicks;
        EXPECT_TRUE(poll.polling());
        poll.mobilkontrol(); // a tick delivered while pending messages run
    };
    poll.mobilkontrol();
    EXPECT_EQ(nestedTicks, 3); // before the fetch and once per caller
    EXPECT_FALSE(poll.polling());
    EXPECT_EQ(server.fetches(), 1);
    EXPECT_EQ(registered.size(), 1u);
    EXPECT_EQ(server.acknowledgements(), 1);
}

TEST_F(MobileFeedTest, AnUnreachableServerIsReportedOncePerOutage) {
    MobileFeed poll(settings(), hooks());
    server.setHung(true); // answers nothing within the time-out
    poll.mobilkontrol();
    poll.mobilkontrol();
    poll.mobilkontrol();
    EXPECT_EQ(fetchFailureBoxes, 1);
    EXPECT_EQ(notes, std::vector<QString>(2, MobileFeed::kFeedNoteText));

    server.setHung(false);
    poll.mobilkontrol(); // a fetch that works ends the outage, and the note goes
    EXPECT_EQ(notes.back(), QString());
    server.setDocument("<html>down</html>", 503);
    poll.mobilkontrol();
    EXPECT_EQ(fetchFailureBoxes, 2);
    EXPECT_TRUE(errors.empty());
}

// A server that lets the requests run into their time-out blocks the window for that long on
// every tick; the polls after such a failure are put off, longer each time, and a poll that
// works, or fails at once, brings the tick's poll back.
TEST_F(MobileFeedTest, PollsArePutOffAfterAFailureThatTookLong) {
    auto s = settings(); // the requests give up after 500 ms, or fail at once
    s.slowFailureMs = 450;
    s.firstRetryMs = 5000;
    s.longestRetryMs = 12000;
    auto h = hooks();
    qint64 now = 0;
    h.clockMs = [&] {
        return now;
    };
    MobileFeed poll(s, h);

    server.setHung(true);
    // When each tick comes, and how many fetches the server has seen after it.
    const std::pair<qint64, int> ticks[] = {
        {0, 1},     {0, 1},     {4999, 1}, {5000, 2}, // put off 5 s
        {14999, 2}, {15000, 3},                       // then 10 s
        {26999, 3}, {27000, 4},                       // then no more than 12 s
    };
    for (const auto &[at, fetches] : ticks) {
        now = at;
        poll.mobilkontrol();
        EXPECT_EQ(server.fetches(), fetches) << "tick at " << at << " ms";
    }
    EXPECT_EQ(fetchFailureBoxes, 1);

    server.setHung(false);
    server.setDocument(feed(entry(1, "05550000001", u"Ali"_s)));
    now = 39000;
    poll.mobilkontrol();
    EXPECT_EQ(registered, std::vector<QByteArray>{"5550000001"});
    EXPECT_EQ(notes.back(), QString());
    poll.mobilkontrol(); // the next tick polls again
    EXPECT_EQ(server.fetches(), 6);

    server.setDocument("<html>down</html>", 503); // a failure at once puts nothing off
    poll.mobilkontrol();
    poll.mobilkontrol();
    EXPECT_EQ(server.fetches(), 8);
    EXPECT_EQ(fetchFailureBoxes, 2);

    // An acknowledgement that runs into its time-out puts the polls off too; the call is
    // registered once and acknowledged when the poll comes back.
    server.setDocument(feed(entry(2, "05550000002", u"Can"_s)));
    server.setAcknowledgementHung(true);
    poll.mobilkontrol();
    EXPECT_EQ(server.fetches(), 9);
    poll.mobilkontrol();
    EXPECT_EQ(server.fetches(), 9);
    server.setAcknowledgementHung(false);
    now += 5000;
    poll.mobilkontrol();
    EXPECT_EQ(server.fetches(), 10);
    EXPECT_EQ(server.acknowledgements(), 3);
    EXPECT_EQ(registered, (std::vector<QByteArray>{"5550000001", "5550000002"}));
}

TEST_F(MobileFeedTest, ErrorsAfterTheFetchAreReportedOnceAndTheEntriesComeBack) {
    const QByteArray document = feed(entry(1, "05550000001", u"Ali"_s));
    server.setDocument(document);
    MobileFeed poll(settings(), hooks());

    // A database error in the registration: no acknowledgement, the call comes back.
    registrationError = u"SQL Error: Lost connection to server during query"_s;
    poll.mobilkontrol();
    poll.mobilkontrol();
    EXPECT_EQ(errors, std::vector{registrationError});
    EXPECT_EQ(server.acknowledgements(), 0);

    registrationError.clear();
    poll.mobilkontrol();
    EXPECT_EQ(calls().size(), 1u);
    EXPECT_EQ(server.acknowledgements(), 1);

    // Mixed content in a name: reported once, nothing registered.
    server.setDocument(feed(entry(2, "05550000002", u"A<b/>B"_s)));
    poll.mobilkontrol();
    poll.mobilkontrol();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1], u"Element does not contain a single text node"_s);
    EXPECT_EQ(calls().size(), 1u);
    EXPECT_EQ(fetchFailureBoxes, 0);
}

TEST_F(MobileFeedTest, AFailedAcknowledgementIsRetriedWithoutRegisteringTheCallAgain) {
    server.setDocument(feed(entry(1, "05550000001", u"Ali"_s)));
    server.setAcknowledgementStatus(500);
    MobileFeed poll(settings(), hooks());
    poll.mobilkontrol();
    poll.mobilkontrol();
    poll.mobilkontrol();
    EXPECT_EQ(errors, std::vector<QString>{u"The feed server did not take the acknowledgement "
                                           "(HTTP status 500)"_s});
    EXPECT_EQ(server.acknowledgements(), 3);
    EXPECT_EQ(calls().size(), 1u);  // registered once, not on every tick
    EXPECT_EQ(statuses.size(), 1u); // and announced once

    // A new call joins the list: the list is new, its last call is registered.
    server.setDocument(feed(entry(1, "05550000001", u"Ali"_s) + entry(2, "05550000002", u"Can"_s)));
    server.setAcknowledgementStatus(200);
    poll.mobilkontrol();
    EXPECT_EQ(registered, (std::vector<QByteArray>{"5550000001", "5550000002"}));
    EXPECT_EQ(server.acknowledgements(), 4);
    poll.mobilkontrol(); // cleared: quiet
    EXPECT_EQ(server.acknowledgements(), 4);
}

TEST_F(MobileFeedTest, AnUnwritableAcknowledgementFileIsReportedOnce) {
    server.setDocument(feed(entry(1, "05550000001", u"Ali"_s)));
    auto s = settings();
    s.acknowledgementPath = acknowledgementPath() + u"/missing/cidsil.xml"_s;
    MobileFeed poll(s, hooks());
    poll.mobilkontrol();
    poll.mobilkontrol();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].startsWith(u"Cannot create file \""_s + s.acknowledgementPath))
        << errors[0].toStdString();
    EXPECT_EQ(server.acknowledgements(), 0);
    EXPECT_EQ(calls().size(), 1u);
}

TEST_F(MobileFeedTest, TheSoundPlaysPerCallerWhenTheFileExists) {
    server.setDocument(feed(entry(1, "05550000001", u"Ali"_s) + entry(2, "05550000002", u"Can"_s)));
    std::vector<QString> played;
    auto h = hooks();
    h.playSound = [&](const QString &path, QString *) {
        played.push_back(path);
        return true;
    };
    {
        MobileFeed poll(settings(), h);
        poll.mobilkontrol(); // no phone.mp3: silent
    }
    EXPECT_TRUE(played.empty());
    EXPECT_EQ(statuses.size(), 2u);

    QFile sound(u"phone.mp3"_s);
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.write("ID3");
    sound.close();
    server.setDocument(feed(entry(1, "05550000001", u"Ali"_s) + entry(2, "05550000002", u"Can"_s)));
    MobileFeed poll(settings(), h);
    poll.mobilkontrol();
    EXPECT_EQ(played, std::vector<QString>(2, QDir::current().absoluteFilePath(u"phone.mp3"_s)));
}

TEST_F(MobileFeedTest, AFileThatCannotBePlayedIsReportedOnceAndThePollGoesOn) {
    QFile sound(u"phone.mp3"_s);
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.write("This is a text file, not a sound.\n");
    sound.close();
    server.setDocument(feed(entry(1, "05550000001", u"Ali"_s) + entry(2, "05550000002", u"Can"_s)));
    MobileFeed poll(settings(), hooks()); // the real player
    poll.mobilkontrol();
    server.setDocument(feed(entry(3, "05550000003", u"Efe"_s)));
    poll.mobilkontrol();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].startsWith(u"Ses dosyası çalınamadı: phone.mp3 ("_s))
        << errors[0].toStdString();
    EXPECT_EQ(statuses.size(), 3u);
    EXPECT_EQ(calls().size(), 2u);
    EXPECT_EQ(server.acknowledgements(), 2);
}

TEST_F(MobileFeedTest, ThePhonesCallsOnTheSimulatorReachTheCallLogAndLeaveItsListEmpty) {
    FeedServer feedServer;
    LoopbackHttpServer http([&](const HttpServerRequest &r) { return feedServer.answer(r); });
    const auto push = [&](const QByteArray &form) {
        HttpRequest request;
        request.open(u"POST"_s, http.baseUrl() + u"callerid/push"_s);
        request.setRequestHeader(u"Content-Type"_s, u"application/x-www-form-urlencoded"_s);
        request.send(form);
        return request.status();
    };
    EXPECT_EQ(
        push("imei=" + kImei.toUtf8() + "&number=05321112233&name=G%C3%BCl%C5%9Fen+I%C5%9F%C4%B1k"),
        200);
    EXPECT_EQ(push("imei=" + kImei.toUtf8() + "&name=nobody"), 400); // no number

    auto s = settings();
    s.baseUrl = http.baseUrl();
    MobileFeed poll(s, hooks());
    // A call that reaches the phone while the first is announced waits for the next listing.
    bool added = false;
    duringMessages = [&] {
        if (!statuses.empty() && !added) {
            added = true;
            feedServer.addCall(kImei, u"05550000009"_s, u"Sonraki"_s);
        }
    };
    poll.mobilkontrol();
    EXPECT_EQ(statuses, std::vector<QString>{u"Son Arayan : Gülşen Işık"_s});
    ASSERT_EQ(calls().size(), 1u);
    EXPECT_EQ(calls()[0][0], QByteArray("5321112233"));
    ASSERT_EQ(feedServer.waitingCalls(kImei).size(), 1u);
    EXPECT_EQ(feedServer.waitingCalls(kImei)[0].number, u"05550000009"_s);

    poll.mobilkontrol();
    EXPECT_EQ(statuses.back(), u"Son Arayan : Sonraki"_s);
    EXPECT_TRUE(feedServer.waitingCalls(kImei).empty());
    poll.mobilkontrol(); // the sentinel now
    EXPECT_EQ(calls().size(), 2u);
    EXPECT_EQ(statuses.size(), 2u);
}

TEST(MobileFeedSwitch, OffWithoutImeiOrAddressAndOnlyWhenPositivelyOffline) {
    const auto configured = [](const QString &url, const QString &imei) {
        MobileFeed::Settings s;
        s.baseUrl = url;
        s.imeino = imei;
        return MobileFeed(s, {}).configured();
    };
    EXPECT_TRUE(configured(u"http://127.0.0.1:1/"_s, kImei));
    EXPECT_FALSE(configured(QString(), kImei));
    EXPECT_FALSE(configured(u"  "_s, kImei));
    EXPECT_FALSE(configured(u"http://127.0.0.1:1/"_s, QString()));

    using R = QNetworkInformation::Reachability;
    EXPECT_TRUE(feedMayPoll(R::Unknown));
    EXPECT_TRUE(feedMayPoll(R::Local));
    EXPECT_TRUE(feedMayPoll(R::Site));
    EXPECT_TRUE(feedMayPoll(R::Online));
    EXPECT_FALSE(feedMayPoll(R::Disconnected));
}

} // namespace
