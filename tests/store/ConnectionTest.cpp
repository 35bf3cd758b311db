#include "support/StoreTest.h"

using namespace Qt::StringLiterals;

TEST_F(StoreTest, ConnectRunsAfterConnectAndOpensTheDatabase) {
    int calls = 0;
    connection.AfterConnect = [&] {
        ++calls;
    };
    connection.connect();
    connection.connect(); // already connected: nothing happens
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(calls, 1);
    TZQuery q(connection, u"ZQuery1"_s);
    q.setSQL("select database(), @@character_set_client");
    q.open();
    EXPECT_EQ(q.field(0).asString(), dbName());
    EXPECT_EQ(q.field(1).asString(), "latin5");
}

TEST_F(StoreTest, ConnectFailuresCarryTheClientMessage) {
    connection.Password = u"wrong"_s;
    try {
        connection.connect();
        ADD_FAILURE() << "connected with a wrong password";
    } catch (const Error &e) {
        EXPECT_TRUE(e.text().startsWith(u"SQL Error: Access denied for user 'root'"_s))
            << e.text().toStdString();
        EXPECT_EQ(e.text(), e.text().trimmed());
    }
    EXPECT_FALSE(connection.connected());

    connection.Password = TestDatabase::password();
    connection.Protocol = u"postgresql"_s;
    EXPECT_ERROR_TEXT(connection.connect(), u"Requested database driver was not found"_s);

    connection.Protocol = u"mysql-5"_s;
    connection.Database = u"no_such_database"_s;
    EXPECT_ERROR_TEXT(connection.connect(), u"SQL Error: Unknown database 'no_such_database'"_s);
}

TEST_F(StoreTest, AnErrorInAfterConnectReachesTheCallerAndTheConnectionStaysOpen) {
    connection.AfterConnect = [] {
        throw Error(u"after connect failed"_s);
    };
    EXPECT_ERROR_TEXT(connection.connect(), u"after connect failed"_s);
    EXPECT_TRUE(connection.connected());
}

TEST_F(StoreTest, OpeningADatasetConnectsFirst) {
    bool connectedInHandler = false;
    TZQuery q(connection, u"ZQuery3"_s);
    connection.AfterConnect = [&] {
        connectedInHandler = connection.connected();
    };
    q.setSQL("select * from arayanlar");
    q.open();
    EXPECT_TRUE(connectedInHandler);
    EXPECT_TRUE(q.active());
}

// The after-connect step may re-set the statement of the dataset whose opening connected;
// that opening still ends with its own statement and parameter values.
TEST_F(StoreTest, AnOpeningThatConnectsKeepsItsOwnStatementAndParameters) {
    db.exec("INSERT INTO arayanlar (tarih, telno) VALUES ('2015-03-05', 'a'), ('2015-03-06', 'b')");
    TZQuery q(connection, u"ZQuery3"_s);
    connection.AfterConnect = [&] {
        q.setSQL("select * from arayanlar where tarih=:par1");
        q.ParamByName("par1").setAsDate(QDate(2015, 3, 5));
        q.open();
    };
    q.setSQL("select * from arayanlar where tarih=:par1");
    q.ParamByName("par1").setAsDate(QDate(2015, 3, 6));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName("telno").asString(), "b");
}

TEST_F(StoreTest, DisconnectClosesEveryDatasetOfTheConnection) {
    TZQuery a(connection, u"ZQuery1"_s), b(connection, u"ZQuery4"_s);
    a.setSQL("select * from rehber");
    b.setSQL("select * from arayanlar");
    a.open();
    b.open();
    connection.disconnect();
    EXPECT_FALSE(a.active());
    EXPECT_FALSE(b.active());
    EXPECT_FALSE(connection.connected());
    connection.disconnect(); // not connected: nothing happens
}
