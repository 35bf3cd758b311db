// A lost server connection comes back by itself at the next statement.
#include "support/StoreTest.h"
#include "support/TcpRelay.h"

#include "store/SqlError.h"

#include <QDeadlineTimer>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// The connection reaches the test server through a relay that the test can cut.
class ReconnectTest : public StoreTest {
protected:
    ReconnectTest()
        : relay(static_cast<quint16>(TestDatabase::port())) {
        connection.HostName = u"127.0.0.1"_s;
        connection.Port = relay.port();
        connection.AfterConnect = [this] {
            ++connects;
        };
        connection.AfterReconnect = [this] {
            ++reconnects;
        };
    }
    void SetUp() override {
        db.exec("INSERT INTO rehber (adsoyad, gsmtel1) VALUES ('Bir', '1'), ('Iki', '2')");
        calls.setSQL("select * from arayanlar");
        card.setSQL("select * from rehber");
        card.open();
        card.next();
        card.edit();
        card.fieldByName("adsoyad").setAsString("Yeni");
    }

    // The rows, the cursor and the editing state are those the test left.
    void expectCardKept() {
        EXPECT_EQ(card.state(), DataSetState::Edit);
        EXPECT_EQ(card.recordCount(), 2);
        EXPECT_EQ(card.currentRow(), 1);
        EXPECT_EQ(card.fieldByName("adsoyad").asString(), "Yeni");
    }
    SqlError errorOf(const std::function<void()> &statement) {
        try {
            statement();
        } catch (const SqlError &e) {
            return e;
        }
        ADD_FAILURE() << "no error";
        return SqlError({}, 0, false);
    }
    std::optional<QByteArray> callCount() { return db.scalar("SELECT COUNT(*) FROM arayanlar"); }

    TcpRelay relay;
    int connects = 0;
    int reconnects = 0;
    TZQuery card{connection, u"ZQuery1"_s};
    TZQuery calls{connection, u"ZQuery3"_s};
};

} // namespace

// The server restarted while the connection was idle: the next statement goes on a new
// server connection, once, and nobody sees an error.
TEST_F(ReconnectTest, AConnectionTheServerEndedWhileIdleIsOpenedAgainBeforeTheStatement) {
    const auto before = connectionId();
    relay.dropConnections();
    connection.executeDirect("INSERT INTO arayanlar (telno) VALUES ('x')");
    EXPECT_EQ(callCount(), "1");
    EXPECT_NE(connectionId(), before);
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(reconnects, 1);
    expectCardKept();
    card.post();
    EXPECT_EQ(db.scalar("SELECT adsoyad FROM rehber WHERE Id = 2"), "Yeni");

    // Killed by the server (an error packet on the idle connection, then its end).
    const QByteArray id = QByteArray::number(static_cast<qulonglong>(connectionId()));
    db.exec("KILL CONNECTION " + id);
    // The server ends it after KILL has returned, and the relay passes the end on.
    const QDeadlineTimer deadline(10000);
    while (relay.connectionCount() > 0 && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    calls.open();
    EXPECT_EQ(calls.recordCount(), 1);
    EXPECT_EQ(reconnects, 2);
}

TEST_F(ReconnectTest, WhileTheServerIsDownEachStatementFailsOnceAndTheDataStays) {
    relay.stop();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const SqlError e = errorOf([&] { calls.open(); });
        EXPECT_TRUE(e.text().startsWith(u"SQL Error: Can't connect to server on '127.0.0.1'"_s))
            << e.text().toStdString();
        EXPECT_TRUE(e.databaseUnreachable());
        EXPECT_FALSE(e.statementMayHaveRun());
        EXPECT_FALSE(calls.active());
        EXPECT_TRUE(connection.connected());
        expectCardKept();
    }
    EXPECT_TRUE(errorOf([&] { card.post(); }).databaseUnreachable());
    EXPECT_EQ(card.state(), DataSetState::Edit); // a failed post keeps the edit

    relay.start();
    calls.open();
    EXPECT_EQ(calls.recordCount(), 0);
    card.post();
    EXPECT_EQ(db.scalar("SELECT adsoyad FROM rehber WHERE Id = 2"), "Yeni");
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(reconnects, 1);
}

// The server ran the statement but its answer was lost: the statement fails, and it is not
// sent again, so it ran exactly once.
TEST_F(ReconnectTest, AStatementWhoseAnswerWasLostIsNotSentAgain) {
    relay.dropAfterNextRequest();
    const SqlError e =
        errorOf([&] { connection.executeDirect("INSERT INTO arayanlar (telno) VALUES ('x')"); });
    EXPECT_EQ(e.text(), u"SQL Error: Lost connection to server during query"_s);
    EXPECT_TRUE(e.databaseUnreachable());
    EXPECT_TRUE(e.statementMayHaveRun());
    // The server runs it after the client has heard of the loss; a second sending would have
    // happened before the error came back.
    const QDeadlineTimer deadline(10000);
    while (callCount() != "1" && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(callCount(), "1");

    calls.open();
    EXPECT_EQ(calls.recordCount(), 1);
    EXPECT_EQ(reconnects, 1);
    expectCardKept();
}

// Errors of the statement itself leave the server connection as it is.
TEST_F(ReconnectTest, AnErrorOfTheStatementKeepsTheServerConnection) {
    const auto before = connectionId();
    const SqlError e = errorOf([&] { connection.executeDirect("select * from no_such_table"); });
    EXPECT_FALSE(e.databaseUnreachable());
    EXPECT_EQ(connectionId(), before);
    EXPECT_EQ(reconnects, 0);
}
