// A connection and its datasets may go in either order.
#include "support/StoreTest.h"

#include <memory>

using namespace Qt::StringLiterals;

TEST_F(StoreTest, ADatasetThatGoesFirstLeavesTheConnection) {
    auto q = std::make_unique<TZQuery>(connection, u"ZQuery1"_s);
    q->setSQL("select * from rehber");
    q->open();
    q.reset();
    connection.disconnect(); // closes the datasets it still has: none
    EXPECT_FALSE(connection.connected());
}

TEST_F(StoreTest, ADatasetThatOutlivesItsConnectionIsClosedAndSafe) {
    db.exec("INSERT INTO rehber (adsoyad) VALUES ('Bir')");
    auto owner = std::make_unique<TZConnection>();
    owner->HostName = connection.HostName;
    owner->Port = connection.Port;
    owner->User = connection.User;
    owner->Password = connection.Password;
    owner->Database = connection.Database;
    TZQuery q(*owner, u"ZQuery1"_s);
    q.setSQL("select * from rehber");
    q.open();
    q.edit();
    q.fieldByName("adsoyad").setAsString("Iki");
    owner.reset();

    EXPECT_FALSE(q.active());
    EXPECT_EQ(q.state(), DataSetState::Inactive);
    const QString gone = u"ZQuery1: Database connection is not assigned"_s;
    EXPECT_ERROR_TEXT(q.open(), gone);
    EXPECT_ERROR_TEXT(q.execute(), gone);
    EXPECT_ERROR_TEXT(q.connection(), gone);
    q.close();
    q.setSQL("select 1");
    EXPECT_EQ(db.scalar("SELECT adsoyad FROM rehber"), "Bir"); // the edit was dropped
}
