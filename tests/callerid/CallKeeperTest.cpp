// Calls that come while the database cannot be reached are held and written later, each
// once, with its own time, in the order they came.
#include "callerid/CallKeeper.h"

#include "support/StoreTest.h"
#include "support/TcpRelay.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

QDateTime at(int minute, int second) {
    return QDateTime(QDate::currentDate().addDays(-1), QTime(14, minute, second));
}

// The program's two datasets on a connection through a relay that the test can cut.
class CallKeeperTest : public StoreTest {
protected:
    CallKeeperTest()
        : relay(static_cast<quint16>(TestDatabase::port())) {
        connection.HostName = u"127.0.0.1"_s;
        connection.Port = relay.port();
    }
    void SetUp() override {
        db.exec("INSERT INTO rehber (adsoyad, firmaad, gsmtel1) VALUES ('Bir', 'Firma', '111')");
        start();
    }
    // The datasets and the keeper as the program has them after its start.
    void start() {
        keeper.reset();
        ZQuery3 = std::make_unique<TZQuery>(connection, u"ZQuery3"_s);
        ZQuery1 = std::make_unique<TZQuery>(connection, u"ZQuery1"_s);
        ZQuery1->setSQL("select * from rehber");
        ZQuery3->setSQL("select * from arayanlar where tarih=:par1");
        ZQuery3->ParamByName("par1").setAsDate(QDate::currentDate());
        keeper = std::make_unique<CallKeeper>(*ZQuery1, *ZQuery3, spoolPath());
        keeper->tell = [this](const QString &text) {
            told.push_back(text);
        };
        keeper->report = [this](const QString &text) {
            reported.push_back(text);
        };
    }
    void openDatasets() {
        ZQuery1->open();
        ZQuery3->open();
    }
    QString spoolPath() const { return home.filePath(u"cidspool.txt"_s); }
    // The call log as the server holds it: number, date and time, name; in the order written.
    std::vector<TestDatabase::Row> logged() {
        return db.query(
            "SELECT telno, CONCAT(tarih, ' ', saat), arayan FROM arayanlar ORDER BY Id");
    }
    static TestDatabase::Row row(const char *number, const QDateTime &when, const char *name) {
        return {QByteArray(number), when.toString(u"yyyy-MM-dd HH:mm:ss"_s).toLatin1(),
                QByteArray(name)};
    }

    TcpRelay relay;
    QTemporaryDir home;
    std::unique_ptr<TZQuery> ZQuery1, ZQuery3;
    std::unique_ptr<CallKeeper> keeper;
    std::vector<QString> told, reported;
};

} // namespace

TEST_F(CallKeeperTest, CallsAreHeldWhileTheServerIsAwayAndWrittenInOrderWhenItAnswers) {
    openDatasets();
    relay.stop();
    EXPECT_EQ(keeper->registerCall("111", at(5, 1)), "Bir"); // the caller is still known
    EXPECT_TRUE(keeper->lastCallHeld());
    EXPECT_EQ(keeper->registerCall("222", at(5, 2)), "");
    EXPECT_EQ(told, (std::vector<QString>{CallKeeper::holdingText()})); // told once
    EXPECT_EQ(ZQuery3->state(), DataSetState::Browse); // no row left to be posted later
    EXPECT_TRUE(QFile::exists(spoolPath()));
    keeper->writeHeldCalls(); // the server is still away: quiet
    EXPECT_TRUE(reported.empty());

    relay.start();
    // The next call goes after the held ones.
    EXPECT_EQ(keeper->registerCall("111", at(5, 3)), "Bir");
    EXPECT_FALSE(keeper->lastCallHeld());
    EXPECT_EQ(logged(),
              (std::vector<TestDatabase::Row>{row("111", at(5, 1), "Bir"), row("222", at(5, 2), ""),
                                              row("111", at(5, 3), "Bir")}));
    EXPECT_EQ(told.back(), CallKeeper::writtenText(2));
    EXPECT_EQ(told.back(), u"Bekletilen 2 çağrı veritabanına kaydedildi."_s);
    EXPECT_FALSE(keeper->holdsCalls());
    EXPECT_FALSE(QFile::exists(spoolPath()));
    EXPECT_TRUE(reported.empty());
}

// The program ends while calls are held, and starts again while the server is still away:
// its datasets cannot open, and its calls are held too.
TEST_F(CallKeeperTest, HeldCallsSurviveARestartOfTheProgram) {
    openDatasets();
    relay.stop();
    keeper->registerCall("111", at(6, 1));
    connection.disconnect();
    start();
    keeper->registerCall("333", at(6, 2));
    EXPECT_FALSE(ZQuery1->active());
    EXPECT_EQ(keeper->spool().waiting().size(), 2u);

    start();
    relay.start();
    keeper->writeHeldCalls(); // opens the datasets it needs
    EXPECT_EQ(logged(), (std::vector<TestDatabase::Row>{row("111", at(6, 1), "Bir"),
                                                        row("333", at(6, 2), "")}));
    keeper->writeHeldCalls();
    EXPECT_EQ(logged().size(), 2u);
}

// The server wrote the row but its answer was lost: the call is held as unsure, and found
// in the log instead of being written twice.
TEST_F(CallKeeperTest, ACallWhoseAnswerWasLostIsWrittenOnce) {
    openDatasets();
    relay.dropAfterNextRequest();
    keeper->registerCall("222", at(7, 1));
    ASSERT_TRUE(keeper->lastCallHeld());
    EXPECT_TRUE(keeper->spool().waiting().front().unsure);
    const QDeadlineTimer deadline(10000); // the server runs it after the client lost it
    while (logged().empty() && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));

    start(); // also after a restart
    keeper->writeHeldCalls();
    EXPECT_EQ(logged(), (std::vector<TestDatabase::Row>{row("222", at(7, 1), "")}));
    EXPECT_FALSE(keeper->holdsCalls());
    EXPECT_EQ(told.back(), CallKeeper::writtenText(1));
}

TEST_F(CallKeeperTest, OtherDatabaseErrorsAreNotHeld) {
    openDatasets();
    db.exec("ALTER TABLE arayanlar RENAME TO arayanlar_eski");
    EXPECT_ERROR_TEXT(keeper->registerCall("111", at(8, 1)),
                      u"SQL Error: Table '"_s + db.name() + u".arayanlar' doesn't exist"_s);
    EXPECT_FALSE(keeper->holdsCalls());
    EXPECT_TRUE(told.empty());
}

// A call row the server refuses is not left pending: the next call's append would post it
// first, failing again for ever, or logging a call twice when it comes back (as a feed call
// does at the next poll).
TEST_F(CallKeeperTest, ARefusedCallRowDoesNotStopTheNextCalls) {
    openDatasets();
    db.exec("CREATE TRIGGER refuse BEFORE INSERT ON arayanlar FOR EACH ROW "
            "IF NEW.telno = '222' THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'; "
            "END IF");
    EXPECT_ERROR_TEXT(keeper->registerCall("222", at(8, 1)), u"SQL Error: refused"_s);
    EXPECT_EQ(ZQuery3->state(), DataSetState::Browse);

    EXPECT_EQ(keeper->registerCall("111", at(8, 2)), "Bir");
    EXPECT_EQ(logged(), (std::vector<TestDatabase::Row>{row("111", at(8, 2), "Bir")}));
    EXPECT_FALSE(keeper->holdsCalls());
}

// With calls held, the tick asks the server's port now and then, without blocking, and the
// calls are written when it answers.
TEST_F(CallKeeperTest, TheTicksProbeWritesTheHeldCallsWhenTheServerAnswers) {
    openDatasets();
    relay.stop();
    keeper->registerCall("111", at(9, 1));
    relay.start();
    QSignalSpy written(keeper.get(), &CallKeeper::heldCallsWritten);
    keeper->tick();
    ASSERT_TRUE(written.wait(10000));
    EXPECT_EQ(written.front().front().toInt(), 1);
    EXPECT_EQ(logged(), (std::vector<TestDatabase::Row>{row("111", at(9, 1), "Bir")}));
}
