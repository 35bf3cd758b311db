#include "support/StoreTest.h"

using namespace Qt::StringLiterals;

namespace {

class WriteTest : public StoreTest {
protected:
    WriteTest() {
        connection.connect();
        q.setSQL("select * from arayanlar");
    }
    std::vector<QByteArray> posted(const std::function<void()> &action) {
        markLog();
        action();
        return statementsSinceMark();
    }
    TZQuery q{connection, u"ZQuery3"_s};
};

} // namespace

TEST_F(WriteTest, AppendPostSendsOneInsertOfEveryColumnAndReadsTheIdBack) {
    db.exec("INSERT INTO arayanlar (telno) VALUES ('x'), ('y')");
    q.open();
    int afterPost = 0;
    q.AfterPost = [&](TZQuery &) {
        ++afterPost;
    };
    const auto sent = posted([&] {
        q.append();
        q.fieldByName("tarih").setAsDateTime(QDateTime(QDate(2015, 3, 5), QTime(14, 5, 9)));
        q.fieldByName("saat").setAsDateTime(QDateTime(QDate(2015, 3, 5), QTime(14, 5, 9)));
        q.fieldByName("telno").setAsString("05321234567");
        q.fieldByName("arayan").setAsString("");
        q.fieldByName("rehberid").setAsInteger(12);
        q.post();
    });
    EXPECT_EQ(sent, std::vector<QByteArray>{
                        "INSERT INTO " + dbName() +
                        ".arayanlar (Id,tarih,saat,telno,arayan,firma,rehberid,notu) VALUES "
                        "(NULL,'2015-03-05','14:05:09','05321234567','',NULL,12,NULL)"});
    EXPECT_EQ(q.state(), DataSetState::Browse);
    EXPECT_EQ(q.fieldByName("Id").asInteger(), 3);
    EXPECT_EQ(q.fieldByName("telno").asString(), "05321234567");
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(afterPost, 1);
    EXPECT_EQ(db.scalar("SELECT arayan IS NOT NULL AND arayan='' FROM arayanlar WHERE Id=3"), "1");
}

TEST_F(WriteTest, EditPostSendsOnlyTheChangedColumns) {
    db.exec("INSERT INTO arayanlar (telno, notu) VALUES ('1', NULL), ('2', 'eski')");
    q.open();
    q.locate("telno", "2");
    EXPECT_EQ(posted([&] {
                  q.edit();
                  q.fieldByName("notu").setAsString("yeni not");
                  q.fieldByName("telno").setAsString("2"); // written, but the same value
                  q.post();
              }),
              std::vector<QByteArray>{"UPDATE " + dbName() +
                                      ".arayanlar SET notu='yeni not' WHERE Id=2"});
    EXPECT_EQ(q.fieldByName("notu").asString(), "yeni not");

    // Nothing changed: nothing sent. Null to empty text is a change.
    EXPECT_TRUE(posted([&] {
                    q.edit();
                    q.fieldByName("notu").setAsString("yeni not");
                    q.post();
                }).empty());
    q.first();
    EXPECT_EQ(posted([&] {
                  q.edit();
                  q.fieldByName("notu").setAsString("");
                  q.post();
              }),
              std::vector<QByteArray>{"UPDATE " + dbName() + ".arayanlar SET notu='' WHERE Id=1"});
}

TEST_F(WriteTest, DeleteSendsTheKeyConditionAndMovesToTheNextRow) {
    db.exec(
        "INSERT INTO arayanlar (telno) VALUES ('05320000001'), ('05320000002'), ('05320000003')");
    q.open();
    q.locate("telno", "05320000002");
    EXPECT_EQ(posted([&] { q.deleteRecord(); }),
              std::vector<QByteArray>{"DELETE FROM " + dbName() + ".arayanlar WHERE Id=2"});
    EXPECT_EQ(q.fieldByName("telno").asString(), "05320000003");
    // Positions after a deleted row move up.
    q.first();
    ASSERT_TRUE(q.locate("telno", "05320000003"));
    EXPECT_EQ(q.currentRow(), 1);
    EXPECT_FALSE(q.locate("telno", "05320000002"));
    q.deleteRecord();
    EXPECT_EQ(q.fieldByName("telno").asString(), "05320000001"); // the last went: the new last
    q.deleteRecord();
    EXPECT_ERROR_TEXT(q.deleteRecord(),
                      u"ZQuery3: Cannot perform this operation on an empty dataset"_s);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), "0");
    q.close();
    EXPECT_ERROR_TEXT(q.deleteRecord(),
                      u"ZQuery3: Cannot perform this operation on a closed dataset"_s);
}

// A grid moving off a new row posts it (when typed in) or drops it; the row it moves to is
// the one the user chose either way.
TEST_F(WriteTest, MovingOffANewRowLandsOnTheChosenRow) {
    db.exec("INSERT INTO arayanlar (telno) VALUES ('a'), ('b'), ('c')");
    q.open();
    for (bool typed : {false, true}) {
        q.first();
        q.insert(); // the new row at position 0, the others after it
        if (typed)
            q.fieldByName("telno").setAsString("yeni");
        const int rowOfB = 2;
        q.moveTo(rowOfB);
        EXPECT_EQ(q.fieldByName("telno").asString(), "b") << (typed ? "posted" : "dropped");
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), "4");
}

TEST_F(WriteTest, TextIsCutToTheColumnSize) {
    TZQuery r(connection, u"ZQuery1"_s);
    r.setSQL("select * from rehber");
    r.open();
    r.append();
    r.fieldByName("gsmtel1").setAsString("0532123456789");
    r.fieldByName("detay").setAsString(QByteArray(501, 'n'));
    r.post();
    EXPECT_EQ(r.fieldByName("gsmtel1").asString(), "05321234567");
    EXPECT_EQ(db.scalar("SELECT gsmtel1 FROM rehber"), "05321234567");
    EXPECT_EQ(db.scalar("SELECT LENGTH(detay) FROM rehber"), "500");
}

TEST_F(WriteTest, FieldWritesNeedAnEditingState) {
    q.open();
    EXPECT_ERROR_TEXT(q.fieldByName("telno").setAsString("1"),
                      u"ZQuery3: Dataset not in edit or insert mode"_s);
}

TEST_F(WriteTest, EditOfAnEmptyDatasetStartsAnInsert) {
    q.open();
    q.edit();
    EXPECT_EQ(q.state(), DataSetState::Insert);
    q.fieldByName("notu").setAsString("yalnız not");
    q.post();
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar WHERE notu IS NOT NULL AND telno IS NULL"),
              "1");
}

TEST_F(WriteTest, CancelDropsTheChanges) {
    db.exec("INSERT INTO arayanlar (telno) VALUES ('1')");
    q.open();
    q.append();
    q.fieldByName("telno").setAsString("2");
    q.cancel();
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName("telno").asString(), "1");
    q.edit();
    q.fieldByName("telno").setAsString("3");
    q.cancel();
    EXPECT_EQ(q.fieldByName("telno").asString(), "1");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), "1");
}

TEST_F(WriteTest, RequiredFieldsMustBeSupplied) {
    db.exec("CREATE TABLE zorunlu (Id INT AUTO_INCREMENT PRIMARY KEY, ad VARCHAR(10) NOT NULL,"
            " kod VARCHAR(5) NOT NULL DEFAULT 'K1', adet INT NOT NULL DEFAULT 3)");
    TZQuery z(connection, u"ZQuery9"_s);
    z.setSQL("select * from zorunlu");
    z.open();
    z.append();
    EXPECT_ERROR_TEXT(z.post(), u"Field ad is required, but not supplied."_s);
    EXPECT_EQ(z.state(), DataSetState::Insert);
    z.fieldByName("ad").setAsString("a");
    const auto sent = posted([&] { z.post(); });
    // Columns with a default are asked from the server first and then written.
    EXPECT_EQ(sent,
              (std::vector<QByteArray>{"SELECT 'K1',3",
                                       "INSERT INTO " + dbName() +
                                           ".zorunlu (Id,ad,kod,adet) VALUES (NULL,'a','K1',3)"}));
    EXPECT_EQ(z.fieldByName("kod").asString(), "K1");
    EXPECT_EQ(z.fieldByName("Id").asInteger(), 1);

    z.edit();
    z.fieldByName("kod").clear();
    EXPECT_ERROR_TEXT(z.post(), u"Field kod is required, but not supplied."_s);
    z.cancel();
}

TEST_F(WriteTest, WithoutPrimaryKeyEveryNonLargeColumnIsTheKey) {
    db.exec("CREATE TABLE anahtarsiz (a INT, b VARCHAR(5), c TEXT)");
    db.exec("INSERT INTO anahtarsiz VALUES (1, NULL, 'uzun')");
    TZQuery k(connection, u"ZQuery9"_s);
    k.setSQL("select * from anahtarsiz");
    k.open();
    EXPECT_EQ(posted([&] {
                  k.edit();
                  k.fieldByName("a").setAsInteger(2);
                  k.post();
              }),
              // (the server's log drops the statement's trailing blank)
              std::vector<QByteArray>{"UPDATE " + dbName() +
                                      ".anahtarsiz SET a=2 WHERE a=1 AND b IS NULL"});
    EXPECT_EQ(db.scalar("SELECT a FROM anahtarsiz"), "2");
}

TEST_F(WriteTest, AFailedPostKeepsTheEditingStateAndIsRetriedWhenLeavingIt) {
    db.exec("CREATE TABLE tekil (Id INT AUTO_INCREMENT PRIMARY KEY, kod VARCHAR(5) UNIQUE)");
    db.exec("INSERT INTO tekil (kod) VALUES ('A')");
    TZQuery t(connection, u"ZQuery9"_s);
    t.setSQL("select * from tekil");
    t.open();
    t.append();
    t.fieldByName("kod").setAsString("A");
    EXPECT_ERROR_TEXT(t.post(), u"SQL Error: Duplicate entry 'A' for key 'kod'"_s);
    EXPECT_EQ(t.state(), DataSetState::Insert);
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_ERROR_TEXT(t.locate("kod", "A"), u"SQL Error: Duplicate entry 'A' for key 'kod'"_s);
    EXPECT_ERROR_TEXT(t.append(), u"SQL Error: Duplicate entry 'A' for key 'kod'"_s);
    t.fieldByName("kod").setAsString("B");
    EXPECT_TRUE(t.locate("kod", "A")); // leaving the state posts the mended row
    EXPECT_EQ(t.recordCount(), 2);
}

TEST_F(WriteTest, AStatementWithoutTableCannotBeUpdated) {
    TZQuery e(connection, u"ZQuery9"_s);
    e.setSQL("select 1 as bir");
    e.open();
    e.edit();
    e.fieldByName("bir").setAsInteger(2);
    EXPECT_ERROR_TEXT(e.post(), u"Cannot update this query type"_s);
}

TEST_F(WriteTest, ExecuteRunsAStatementWithoutRows) {
    db.exec("INSERT INTO arayanlar (telno) VALUES ('1'), ('2')");
    q.open();
    q.setSQL("TRUNCATE TABLE arayanlar");
    q.execute();
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), "0");
    q.setSQL("select * from arayanlar");
    q.open();
    q.append();
    q.fieldByName("telno").setAsString("3");
    q.post();
    EXPECT_EQ(q.fieldByName("Id").asInteger(), 1); // numbering restarted
}

// The directory's search dataset binds a fixed field list to the table's columns.
TEST_F(WriteTest, FixedFieldListsBindByNameAndClass) {
    TZQuery s(connection, u"ZQuery2"_s);
    s.setFixedFields({{"Id", FieldType::Integer, 0, true},
                      {"tarih", FieldType::Date, 0, false},
                      {"adsoyad", FieldType::String, 30, false},
                      {"adres1", FieldType::String, 50, false}});
    EXPECT_TRUE(s.fieldByName("adsoyad").isNull()); // fixed fields of a closed dataset read null
    s.setSQL("select * from rehber");
    s.open();
    EXPECT_EQ(s.fieldCount(), 4);
    EXPECT_ERROR_TEXT(s.fieldByName("gsmtel1"), u"ZQuery2: Field 'gsmtel1' not found"_s);
    s.close();

    db.exec("ALTER TABLE rehber DROP COLUMN adres1");
    connection.disconnect(); // the table knowledge is asked again on the next connection
    EXPECT_ERROR_TEXT(s.open(), u"ZQuery2: Field 'adres1' not found"_s);
    EXPECT_FALSE(s.active());

    db.exec("ALTER TABLE rehber ADD COLUMN adres1 VARCHAR(50), MODIFY Id BIGINT NOT NULL "
            "AUTO_INCREMENT");
    connection.disconnect();
    EXPECT_ERROR_TEXT(
        s.open(), u"ZQuery2: Type mismatch for field 'Id', expecting: Integer actual: LargeInt"_s);
    db.exec("ALTER TABLE rehber MODIFY Id INT UNSIGNED NOT NULL AUTO_INCREMENT");
    connection.disconnect();
    EXPECT_ERROR_TEXT(
        s.open(), u"ZQuery2: Type mismatch for field 'Id', expecting: Integer actual: LargeInt"_s);
}
