#include "store/TableInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TypeCase {
    const char *name;
    QByteArray declared;
    FieldType type;
    int size;
};

void PrintTo(const TypeCase &c, std::ostream *os) {
    *os << c.name;
}

class ClassifyColumnTypeTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ClassifyColumnTypeTest, GivesFieldTypeAndSize) {
    const TypeCase &c = GetParam();
    FieldType type = FieldType::Unknown;
    int size = -1;
    classifyColumnType(c.declared, type, size);
    EXPECT_EQ(type, c.type) << "got " << fieldTypeName(type).toStdString();
    EXPECT_EQ(size, c.size);
}

const TypeCase typeCases[] = {
    // Integers: the width in parentheses means nothing, UNSIGNED moves some up a class.
    {"TinyInt", "tinyint(4)", FieldType::SmallInt, 0},
    {"TinyIntOne", "tinyint(1)", FieldType::SmallInt, 0},
    {"TinyIntUnsigned", "tinyint(3) unsigned", FieldType::SmallInt, 0},
    {"SmallInt", "smallint(6)", FieldType::SmallInt, 0},
    {"SmallIntUnsigned", "smallint(5) unsigned", FieldType::Integer, 0},
    {"MediumInt", "mediumint(9)", FieldType::Integer, 0},
    {"MediumIntUnsigned", "mediumint(8) unsigned", FieldType::Integer, 0},
    {"Int", "int(11)", FieldType::Integer, 0},
    {"IntUnsigned", "int(10) unsigned", FieldType::LargeInt, 0},
    {"IntUnsignedZerofill", "int(10) unsigned zerofill", FieldType::LargeInt, 0},
    {"IntWithoutWidthUnsigned", "int unsigned", FieldType::LargeInt, 0},
    {"BigInt", "bigint(20)", FieldType::LargeInt, 0},
    {"BigIntUnsigned", "bigint(20) unsigned", FieldType::LargeInt, 0},
    {"UpperCase", "INT(11) UNSIGNED", FieldType::LargeInt, 0},
    {"Year", "year(4)", FieldType::SmallInt, 0},
    {"YearWithoutWidth", "year", FieldType::SmallInt, 0},

    // Decimals: integers up to 9 digits, 64-bit up to 18, numbers with a fraction float.
    {"DecimalNine", "decimal(9,0)", FieldType::Integer, 0},
    {"DecimalTen", "decimal(10,0)", FieldType::LargeInt, 0},
    {"DecimalEighteen", "decimal(18,0)", FieldType::LargeInt, 0},
    {"DecimalBeyondInt64", "decimal(19,0)", FieldType::Float, 0},
    {"DecimalWithFraction", "decimal(12,2)", FieldType::Float, 0},
    {"DecimalUnsigned", "decimal(5,0) unsigned", FieldType::Integer, 0},
    {"DecimalWithoutArguments", "decimal", FieldType::LargeInt, 0},
    {"Float", "float", FieldType::Float, 0},
    {"FloatWithArguments", "float(7,4)", FieldType::Float, 0},
    {"Double", "double", FieldType::Float, 0},
    {"DoubleUnsigned", "double(10,2) unsigned", FieldType::Float, 0},

    // Texts: size is the declared length.
    {"VarChar", "varchar(30)", FieldType::String, 30},
    {"Char", "char(11)", FieldType::String, 11},
    {"CharWithoutLength", "char", FieldType::String, 1},
    {"VarBinary", "varbinary(16)", FieldType::String, 16},
    {"YesNoEnumIsBoolean", "enum('Y','N')", FieldType::Boolean, 0},
    {"OtherOrderEnumIsText", "enum('N','Y')", FieldType::String, 1},
    {"LowerCaseYesNoIsText", "enum('y','n')", FieldType::String, 1},
    {"EnumLongestMember", "enum('a','bc')", FieldType::String, 2},
    {"EnumMemberWithQuoteAndComma", "enum('it''s','a,b)c')", FieldType::String, 5},
    {"SetJoinedLength", "set('x','y')", FieldType::String, 3},
    {"SetOfThree", "set('ab','c','def')", FieldType::String, 8},

    // Dates and times, with or without fractional seconds.
    {"Date", "date", FieldType::Date, 0},
    {"Time", "time", FieldType::Time, 0},
    {"TimeFraction", "time(3)", FieldType::Time, 0},
    {"DateTime", "datetime", FieldType::DateTime, 0},
    {"DateTimeFraction", "datetime(6)", FieldType::DateTime, 0},
    {"Timestamp", "timestamp", FieldType::DateTime, 0},

    // Large objects.
    {"TinyText", "tinytext", FieldType::Memo, 0},
    {"Text", "text", FieldType::Memo, 0},
    {"MediumText", "mediumtext", FieldType::Memo, 0},
    {"LongText", "longtext", FieldType::Memo, 0},
    {"TinyBlob", "tinyblob", FieldType::Blob, 0},
    {"Blob", "blob", FieldType::Blob, 0},
    {"LongBlob", "longblob", FieldType::Blob, 0},

    // Types outside the table read as text without a declared length.
    {"Bit", "bit(1)", FieldType::String, 0},
    {"Uuid", "uuid", FieldType::String, 0},
    {"Empty", "", FieldType::String, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, ClassifyColumnTypeTest, ::testing::ValuesIn(typeCases),
                         [](const ::testing::TestParamInfo<TypeCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(QuoteIdentifier, PlainNamesStayUnchanged) {
    for (const QByteArray name : {"rehber", "arayanlar", "gsmtel1", "Id", "cid602", "_x", "notu",
                                  "tarih", "saat", "adsoyad", "referansno"}) {
        EXPECT_EQ(quoteIdentifier(name), name);
    }
}

TEST(QuoteIdentifier, QuotesWhatMySqlWouldMisread) {
    const struct {
        QByteArray name;
        QByteArray quoted;
    } cases[] = {
        {"1abc", "`1abc`"}, // begins with a digit
        {"602", "`602`"},
        {"my-db", "`my-db`"}, // characters outside letters, digits and "_"
        {"a b", "`a b`"},
        {"a$b", "`a$b`"},
        {"\xfc\x6e\x76\x61\x6e", "`\xfc\x6e\x76\x61\x6e`"}, // a Turkish letter
        {"a`b", "`a``b`"},                                  // the quote itself is doubled
        {"select", "`select`"}, // the layer's own words, any letter case
        {"Order", "`Order`"},
        {"NUMBER", "`NUMBER`"},
        {"key", "`key`"},
        {"desc", "`desc`"}, // reserved words of the server
        {"Interval", "`Interval`"},
        {"current_date", "`current_date`"},
        {"database", "`database`"},
        {"rank", "`rank`"}, // reserved by MySQL
        {"", "``"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(quoteIdentifier(c.name), c.quoted) << c.name.constData();
}

TEST(QuoteIdentifier, NonReservedKeywordsStayUnchanged) {
    // Words the server knows but accepts as bare names.
    for (const QByteArray name : {"date", "time", "text", "status", "comment", "user", "name"})
        EXPECT_EQ(quoteIdentifier(name), name);
}

TEST(TableInfo, FindsColumnIgnoringLetterCase) {
    TableInfo table;
    table.name = "rehber";
    ColumnInfo id;
    id.name = "Id";
    ColumnInfo name;
    name.name = "adsoyad";
    table.columns = {id, name};

    ASSERT_NE(table.column("id"), nullptr);
    EXPECT_EQ(table.column("id"), &table.columns[0]);
    EXPECT_EQ(table.column("ID"), &table.columns[0]);
    EXPECT_EQ(table.column("ADSOYAD"), &table.columns[1]);
    EXPECT_EQ(table.column("ad"), nullptr);
    EXPECT_EQ(table.column(""), nullptr);
}

} // namespace
