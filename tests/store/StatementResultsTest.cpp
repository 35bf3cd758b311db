// Every statement's results are read to their end, whatever the statement returns and
// however the reading ends, so that the connection stays usable.
#include "support/StoreTest.h"

#include "store/SqlError.h"

using namespace Qt::StringLiterals;

namespace {

class ResultsTest : public StoreTest {
protected:
    void SetUp() override {
        db.exec("INSERT INTO arayanlar (telno) VALUES ('a'), ('b'), ('c'), ('d'), ('e')");
        db.exec("CREATE PROCEDURE two_results() BEGIN SELECT 1; SELECT telno FROM arayanlar "
                "LIMIT 2; END");
        db.exec("CREATE PROCEDURE fails_second() BEGIN SELECT 1; SELECT * FROM no_such_table; "
                "END");
        db.exec("CREATE PROCEDURE changes_rows() BEGIN UPDATE arayanlar SET notu = 'x' "
                "WHERE telno IN ('a', 'b', 'c'); END");
    }
    void TearDown() override { TZQuery::setRowFetchHook({}); }

    // The connection answers the next statement: nothing was left unread.
    void expectUsable() {
        TZQuery check(connection, u"Check"_s);
        check.setSQL("select count(*) from arayanlar");
        check.open();
        EXPECT_EQ(check.field(0).asString(), "5");
    }
};

} // namespace

TEST_F(ResultsTest, ExecuteReadsEveryResultAndCountsTheRows) {
    const struct {
        QByteArray statement;
        quint64 count;
    } cases[] = {{"select 1", 1},
                 {"select * from arayanlar", 5},
                 {"call two_results()", 3},              // 1 + 2 rows, and a status without rows
                 {"call changes_rows()", 3},             // the status carries the changed rows
                 {"update arayanlar set notu = 'y'", 5}, // no result at all
                 {"select * from arayanlar where 1 = 0", 0}};
    TZQuery q(connection, u"ZQuery1"_s);
    for (const auto &c : cases) {
        q.setSQL(c.statement);
        EXPECT_EQ(q.execute(), c.count) << c.statement.toStdString();
        expectUsable();
    }
    EXPECT_EQ(connection.executeDirect("call two_results()"), 3u);
    expectUsable();
}

TEST_F(ResultsTest, OpeningAProcedureShowsItsFirstResult) {
    TZQuery q(connection, u"ZQuery1"_s);
    q.setSQL("call two_results()");
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field(0).asString(), "1");
    expectUsable();
    EXPECT_EQ(connection.selectRow("call two_results()"),
              (std::vector<std::optional<QByteArray>>{QByteArray("1")}));
    expectUsable();
}

// An error that the server reports after the result began, or in a later result.
TEST_F(ResultsTest, AnErrorInsideTheResultsFailsTheStatementAndLeavesTheConnectionUsable) {
    const QString subquery = u"SQL Error: Subquery returns more than 1 row"_s;
    const QString noTable =
        u"SQL Error: Table '"_s + db.name() + u".no_such_table' doesn't exist"_s;
    TZQuery q(connection, u"ZQuery1"_s);
    for (const auto &[statement, text] :
         {std::pair{QByteArray("select (select 1 union select 2)"), subquery},
          std::pair{QByteArray("call fails_second()"), noTable}}) {
        q.setSQL(statement);
        EXPECT_ERROR_TEXT(q.open(), text);
        EXPECT_FALSE(q.active());
        expectUsable();
        EXPECT_ERROR_TEXT(q.execute(), text);
        expectUsable();
        EXPECT_ERROR_TEXT(connection.selectRow(statement), text);
        expectUsable();
        EXPECT_ERROR_TEXT(connection.executeDirect(statement), text);
        expectUsable();
    }
    try {
        connection.executeDirect("select * from no_such_table");
        ADD_FAILURE() << "no error";
    } catch (const SqlError &e) {
        EXPECT_EQ(e.code(), 1146u);
        EXPECT_FALSE(e.databaseUnreachable());
    }
}

TEST_F(ResultsTest, AFetchThatThrowsHalfwayLeavesNoRowsUnread) {
    TZQuery q(connection, u"ZQuery3"_s);
    q.setSQL("select * from arayanlar");
    TZQuery::setRowFetchHook([](quint64 row) {
        if (row == 2)
            throw Error(u"halfway"_s);
    });
    EXPECT_ERROR_TEXT(q.open(), u"halfway"_s);
    EXPECT_FALSE(q.active());
    TZQuery::setRowFetchHook({});
    expectUsable();

    // The same inside a procedure's first result, with a second result still to come.
    q.setSQL("call two_results()");
    TZQuery::setRowFetchHook([](quint64) { throw Error(u"at once"_s); });
    EXPECT_ERROR_TEXT(q.open(), u"at once"_s);
    TZQuery::setRowFetchHook({});
    expectUsable();

    q.setSQL("select * from arayanlar");
    q.open();
    EXPECT_EQ(q.recordCount(), 5);
}
