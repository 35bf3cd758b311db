#include "support/StoreTest.h"

#include "support/Text.h"

#include "platform/SystemLocale.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

class DatasetTest : public StoreTest {
protected:
    void addCustomer(const QByteArray &name, const char *gsm1, const char *gsm2 = nullptr,
                     const char *firmatel = nullptr) {
        auto text = [&](const char *v) {
            return v ? "'" + connection.escape(QByteArray(v)) + "'" : QByteArray("NULL");
        };
        connection.connect();
        db.exec("INSERT INTO rehber (adsoyad, gsmtel1, gsmtel2, firmatel) VALUES ('" +
                connection.escape(name) + "', " + text(gsm1) + ", " + text(gsm2) + ", " +
                text(firmatel) + ")");
    }
    std::vector<QByteArray> column(TZQuery &q, const QByteArray &field) {
        std::vector<QByteArray> values;
        for (q.first(); !q.eof(); q.next())
            values.push_back(q.fieldByName(field).isNull() ? QByteArray("<null>")
                                                           : q.fieldByName(field).asString());
        return values;
    }
};

} // namespace

TEST_F(DatasetTest, OpenHoldsAllRowsWithTheFirstCurrent) {
    addCustomer("Ali", "05321111111");
    addCustomer("Veli", "05322222222");
    TZQuery q(connection, u"ZQuery1"_s);
    q.setSQL("select * from rehber");
    q.open();
    EXPECT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.fieldByName("ADSOYAD").asString(), "Ali"); // names ignore letter case
    EXPECT_EQ(q.fieldByName("id").asInteger(), q.fieldByName("Id").asInteger());
    q.next();
    EXPECT_FALSE(q.eof());
    EXPECT_EQ(q.fieldByName("adsoyad").asString(), "Veli");
    q.next();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.fieldByName("adsoyad").asString(), "Veli");
    q.prior();
    q.prior();
    EXPECT_EQ(q.fieldByName("adsoyad").asString(), "Ali");
    q.last();
    EXPECT_EQ(q.fieldByName("adsoyad").asString(), "Veli");
}

TEST_F(DatasetTest, EmptyResultSetsTheEndFlagAndReadsNull) {
    TZQuery q(connection, u"ZQuery1"_s);
    q.setSQL("select * from rehber");
    q.open();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.recordCount(), 0);
    EXPECT_TRUE(q.fieldByName("adsoyad").isNull());
    EXPECT_EQ(q.fieldByName("tarih").asDateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
}

TEST_F(DatasetTest, DatasetErrorsCarryTheDatasetName) {
    TZQuery q(connection, u"ZQuery2"_s);
    EXPECT_ERROR_TEXT(q.open(), u"SQL Query is empty"_s);
    q.setSQL("   ");
    EXPECT_ERROR_TEXT(q.open(), u"SQL Query is empty"_s);
    q.setSQL("select * from rehber");
    EXPECT_ERROR_TEXT(q.recordCount(),
                      u"ZQuery2: Cannot perform this operation on a closed dataset"_s);
    EXPECT_ERROR_TEXT(q.refresh(), u"ZQuery2: Cannot perform this operation on a closed dataset"_s);
    EXPECT_ERROR_TEXT(q.locate("adsoyad", "x"),
                      u"ZQuery2: Cannot perform this operation on a closed dataset"_s);
    EXPECT_ERROR_TEXT(q.fieldByName("adsoyad"), u"ZQuery2: Field 'adsoyad' not found"_s);
    q.open();
    EXPECT_ERROR_TEXT(q.fieldByName("yok"), u"ZQuery2: Field 'yok' not found"_s);
    EXPECT_ERROR_TEXT(q.ParamByName("yok"), u"ZQuery2: Parameter 'yok' not found"_s);
    q.setSQL("select * from yok_tablo");
    EXPECT_ERROR_TEXT(q.open(),
                      u"SQL Error: Table '"_s + db.name() + u".yok_tablo' doesn't exist"_s);
    EXPECT_FALSE(q.active());
    EXPECT_TRUE(connection.connected()); // a failed statement leaves the connection open
}

// The column types of a table give the field types, sizes and required flags.
TEST_F(DatasetTest, FieldTypesComeFromTheTableDeclaration) {
    db.exec("CREATE TABLE turler (a TINYINT, b SMALLINT UNSIGNED, c INT NOT NULL, d INT UNSIGNED,"
            " e BIGINT, f DECIMAL(9,0), g DECIMAL(10,0), h DECIMAL(12,2), i DOUBLE,"
            " j VARCHAR(25), k CHAR(3), l ENUM('Y','N'), m ENUM('a','bb'), n DATE, o TIME,"
            " p DATETIME, q TIMESTAMP NULL, r TEXT, s BLOB, t YEAR, u MEDIUMINT)");
    db.exec("INSERT INTO turler (c) VALUES (1)");
    TZQuery q(connection, u"ZQuery1"_s);
    q.setSQL("select * from turler");
    q.open();
    const std::vector<std::pair<const char *, FieldType>> expected = {
        {"a", FieldType::SmallInt}, {"b", FieldType::Integer},  {"c", FieldType::Integer},
        {"d", FieldType::LargeInt}, {"e", FieldType::LargeInt}, {"f", FieldType::Integer},
        {"g", FieldType::LargeInt}, {"h", FieldType::Float},    {"i", FieldType::Float},
        {"j", FieldType::String},   {"k", FieldType::String},   {"l", FieldType::Boolean},
        {"m", FieldType::String},   {"n", FieldType::Date},     {"o", FieldType::Time},
        {"p", FieldType::DateTime}, {"q", FieldType::DateTime}, {"r", FieldType::Memo},
        {"s", FieldType::Blob},     {"t", FieldType::SmallInt}, {"u", FieldType::Integer}};
    for (const auto &[name, type] : expected)
        EXPECT_EQ(fieldTypeName(q.fieldByName(name).type()), fieldTypeName(type)) << name;
    EXPECT_EQ(q.fieldByName("j").size(), 25);
    EXPECT_EQ(q.fieldByName("k").size(), 3);
    EXPECT_TRUE(q.fieldByName("c").required());
    EXPECT_FALSE(q.fieldByName("a").required());
}

TEST_F(DatasetTest, RepeatedLabelsGetNumbered) {
    addCustomer("Ali", "1");
    TZQuery q(connection, u"ZQuery1"_s);
    q.setSQL("select Id, adsoyad, Id, adsoyad as ID from rehber");
    q.open();
    ASSERT_EQ(q.fieldCount(), 4);
    EXPECT_EQ(q.fieldDef(0).name, "Id");
    EXPECT_EQ(q.fieldDef(2).name, "Id_1");
    EXPECT_EQ(q.fieldDef(3).name, "ID_2");
}

TEST_F(DatasetTest, ValuesReadFourWays) {
    db.exec("INSERT INTO rehber (Id, tarih, adsoyad) VALUES (-7, '2015-03-05', 'x')");
    db.exec("INSERT INTO teklif (toplam) VALUES (1234.5)");
    TZQuery q(connection, u"ZQuery1"_s);
    q.setSQL("select * from rehber");
    q.open();
    EXPECT_EQ(q.fieldByName("Id").asString(), "-7");
    EXPECT_EQ(q.fieldByName("Id").asInteger(), -7);
    EXPECT_EQ(q.fieldByName("tarih").asDateTime(), QDateTime(QDate(2015, 3, 5), QTime(0, 0)));
    EXPECT_EQ(q.fieldByName("tarih").asString(), cp1254::fromUnicode(systemLocale().toString(
                                                     QDate(2015, 3, 5), QLocale::ShortFormat)));
    EXPECT_EQ(q.fieldByName("gsmtel1").asString(), "");
    EXPECT_EQ(q.fieldByName("gsmtel1").asInteger(), 0);
    EXPECT_EQ(q.fieldByName("gsmtel1").asFloat(), 0.0);
    q.setSQL("select toplam, saat from teklif, arayanlar");
    db.exec("INSERT INTO arayanlar (saat) VALUES ('14:05:09')");
    q.open();
    EXPECT_DOUBLE_EQ(q.fieldByName("toplam").asFloat(), 1234.5);
    EXPECT_EQ(q.fieldByName("saat").asDateTime(), QDateTime(QDate(1899, 12, 30), QTime(14, 5, 9)));
    EXPECT_EQ(q.fieldByName("saat").asString(), "14:05:09");
}

// The Windows-1254 bytes travel unchanged both ways.
TEST_F(DatasetTest, TurkishTextRoundTripsByteForByte) {
    const QByteArray name = win("Şİıüğçö ŞĞÜÇÖ");
    TZQuery q(connection, u"ZQuery1"_s);
    q.setSQL("select * from rehber");
    q.open();
    q.append();
    q.fieldByName("adsoyad").setAsString(name);
    q.fieldByName("gsmtel1").setAsString("1");
    q.post();
    EXPECT_EQ(db.scalar("SELECT HEX(adsoyad) FROM rehber"), name.toHex().toUpper());
    q.close();
    q.setSQL("select * from rehber where adsoyad=:par1");
    q.ParamByName("par1").setAsString(name);
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName("adsoyad").asString(), name);
}

TEST_F(DatasetTest, ParametersKeepTheirValuesByNameAcrossStatementChanges) {
    addCustomer("Ali", "05321111111", nullptr, "02121111111");
    TZQuery q(connection, u"ZQuery2"_s);
    q.setSQL("Select * from rehber where gsmtel1 Like:MAG");
    ASSERT_EQ(q.paramCount(), 1);
    q.ParamByName("mag").setAsString("0532%");
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
    q.setSQL("Select * from rehber where firmatel Like:MAG");
    EXPECT_FALSE(q.active());
    q.setSQL("");
    q.setSQL("Select * from rehber where gsmtel2 Like :mag or gsmtel1 Like :MAG");
    ASSERT_EQ(q.paramCount(), 1);
    EXPECT_EQ(q.param(0).value.toByteArray(), "0532%");
    q.setSQL("Select * from rehber where firmatel Like:par1");
    EXPECT_TRUE(q.param(0).isNull());
}

// What reaches the server: the literal forms of the parameter values.
TEST_F(DatasetTest, ParameterLiteralsAsSent) {
    TZQuery q(connection, u"ZQuery2"_s);
    connection.connect();
    markLog();
    q.setSQL("Select * from rehber where gsmtel1 Like:MAG");
    q.ParamByName("MAG").setAsString("0532%");
    q.open();
    q.setSQL("select * from arayanlar where tarih=:par1");
    q.ParamByName("par1").setAsDate(QDate(2015, 3, 5));
    q.open();
    q.setSQL("select * from arayanlar where rehberid=:par2 or rehberid=:par3 or telno=:par4");
    q.ParamByName("par2").setAsInteger(-12);
    q.ParamByName("par4").setAsString("");
    q.open();
    q.setSQL("select * from arayanlar where saat=:t and tarih<:dt and telno=:b");
    q.ParamByName("t").setAsTime(QTime(9, 5, 7));
    q.ParamByName("dt").setAsDateTime(QDateTime(QDate(2015, 3, 5), QTime(14, 5, 0)));
    q.ParamByName("b").setAsBoolean(true);
    q.open();
    const std::vector<QByteArray> expected = {
        "Select * from rehber where gsmtel1 Like'0532%'",
        "select * from arayanlar where tarih='2015-03-05'",
        "select * from arayanlar where rehberid=-12 or rehberid=NULL or telno=''",
        "select * from arayanlar where saat='09:05:07' and tarih<'2015-03-05 14:05:00' and "
        "telno='Y'"};
    EXPECT_EQ(statementsSinceMark(), expected);
}

TEST_F(DatasetTest, TextParametersAreEscaped) {
    const std::vector<QByteArray> texts = {
        "O'Brien", "a\\b", "iki\r\nsatır", QByteArray("n\0ul", 4), "\"tırnak\"", "%_"};
    for (const QByteArray &text : texts) {
        db.exec("DELETE FROM rehber");
        TZQuery writer(connection, u"ZQuery1"_s);
        writer.setSQL("select * from rehber");
        writer.open();
        writer.append();
        writer.fieldByName("adres").setAsString(text);
        writer.post();
        TZQuery q(connection, u"ZQuery2"_s);
        q.setSQL("select * from rehber where adres=:par1");
        q.ParamByName("par1").setAsString(text);
        q.open();
        EXPECT_EQ(q.recordCount(), 1) << text.toHex().toStdString();
        EXPECT_EQ(q.fieldByName("adres").asString(), text);
    }
}

TEST_F(DatasetTest, LocateComparesWholeValuesExactly) {
    addCustomer("Bir", "5321234567");
    addCustomer("Iki", " 5321234567");
    addCustomer("Uc", nullptr, "");
    addCustomer("Dort", "", "x");
    addCustomer("Bes", "05321234567");
    TZQuery q(connection, u"ZQuery1"_s);
    q.setSQL("select * from rehber");
    q.open();
    struct Case {
        const char *field, *value, *found; // found: the name, or nullptr for no match
    };
    const Case cases[] = {
        {"gsmtel1", "05321234567", "Bes"}, // not the one without 0 or with a blank
        {"gsmtel1", "", "Dort"},           // empty matches empty, never null
        {"gsmtel2", "", "Uc"},
        {"GSMTEL2", "X", nullptr}, // letter case counts
        {"gsmtel1", "0532123456", nullptr},
        {"adsoyad", "bes", nullptr},
    };
    for (const Case &c : cases) {
        q.first();
        const bool hit = q.locate(c.field, c.value);
        EXPECT_EQ(hit, c.found != nullptr) << c.field << "=" << c.value;
        if (c.found)
            EXPECT_EQ(q.fieldByName("adsoyad").asString(), c.found) << c.field << "=" << c.value;
        else
            EXPECT_EQ(q.fieldByName("adsoyad").asString(), "Bir"); // cursor stays
    }
    const qint64 id = q.fieldByName("Id").asInteger();
    q.last();
    EXPECT_TRUE(q.locate("id", QByteArray::number(id)));
    EXPECT_EQ(q.fieldByName("adsoyad").asString(), "Bir");
}

TEST_F(DatasetTest, SortFollowsTurkishOrderWithNullsFirstAndKeepsTheCurrentRow) {
    for (const char *name : {"zeki", "Çağ", "can", "İnce", "ılık", "Inci", "iz", "çam", "Can",
                             "dal", "ğ", "g", "h", "öz", "oz", "şu", "su", "ü", "u"})
        addCustomer(win(name), "1");
    db.exec("INSERT INTO rehber (adsoyad) VALUES (NULL)");
    TZQuery q(connection, u"ZQuery1"_s);
    q.setSQL("select * from rehber");
    q.open();
    q.locate("adsoyad", win("iz"));
    q.setSortedFields("adsoyad");
    EXPECT_EQ(q.fieldByName("adsoyad").asString(), win("iz"));
    std::vector<QByteArray> expected = {"<null>"};
    for (const char *name : {"can", "Can", "Çağ", "çam", "dal", "g", "ğ", "h", "ılık", "Inci",
                             "İnce", "iz", "oz", "öz", "su", "şu", "u", "ü", "zeki"})
        expected.push_back(win(name));
    EXPECT_EQ(column(q, "adsoyad"), expected);

    // The same value again does not reverse; " Desc" is dropped, not obeyed.
    q.setSortedFields("adsoyad");
    EXPECT_EQ(column(q, "adsoyad"), expected);
    q.setSortedFields(" adsoyad Desc ");
    EXPECT_EQ(column(q, "adsoyad"), expected);

    // A locate in a sorted dataset finds the first match in that order.
    db.exec("UPDATE rehber SET gsmtel1='7' WHERE adsoyad IN ('zeki', 'can')");
    q.refresh();
    ASSERT_TRUE(q.locate("gsmtel1", "7"));
    EXPECT_EQ(q.fieldByName("adsoyad").asString(), "can");
}

TEST_F(DatasetTest, SortSetWhileClosedTakesEffectAtOpen) {
    for (int id : {30, 4, 200})
        db.exec("INSERT INTO rehber (Id) VALUES (" + QByteArray::number(id) + ")");
    TZQuery q(connection, u"ZQuery1"_s);
    q.setSortedFields("Id");
    q.setSQL("select * from rehber");
    q.open();
    EXPECT_EQ(column(q, "Id"), (std::vector<QByteArray>{"4", "30", "200"}));
}

TEST_F(DatasetTest, RefreshReReadsAndReturnsToTheSameRow) {
    addCustomer("Ali", "1");
    addCustomer("Veli", "2");
    TZQuery q(connection, u"ZQuery2"_s);
    int refreshes = 0;
    q.AfterRefresh = [&](TZQuery &) {
        ++refreshes;
    };
    q.setSQL("select * from rehber");
    q.open();
    q.locate("adsoyad", "Veli");
    db.exec("INSERT INTO rehber (adsoyad) VALUES ('Ayse')");
    q.refresh();
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q.fieldByName("adsoyad").asString(), "Veli");
    EXPECT_EQ(refreshes, 1);

    // When the row changed on the server, the first row becomes current.
    db.exec("UPDATE rehber SET gsmtel1='9' WHERE adsoyad='Veli'");
    q.refresh();
    EXPECT_EQ(q.fieldByName("adsoyad").asString(), "Ali");
}
