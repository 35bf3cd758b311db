#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

namespace {

struct ReadCase {
    const char *name;
    QByteArray file;
    QString section;
    QString key;
    QString expected;
};

void PrintTo(const ReadCase &c, std::ostream *os) {
    *os << c.name;
}

QString s(const char *utf8) {
    return QString::fromUtf8(utf8);
}

QByteArray utf16le(const char16_t *text) {
    QByteArray bytes;
    for (; *text; ++text)
        bytes.append(char(*text & 0xFF)).append(char(*text >> 8));
    return bytes;
}

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, ReadsLikeTheWindowsProfileFunctions) {
    const ReadCase &c = GetParam();
    EXPECT_EQ(ProfileFile::fromBytes(c.file).value(c.section, c.key), c.expected);
}

const QString kMySql = s("MySql");
const QString kServer = s("ServerName");

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    ::testing::Values(
        ReadCase{"crlf", "[MySql]\r\nServerName=db1\r\nport=3306\r\n", kMySql, kServer, s("db1")},
        ReadCase{"lf", "[MySql]\nServerName=db1\nport=3306\n", kMySql, s("port"), s("3306")},
        ReadCase{"no_final_line_end", "[MySql]\nServerName=db1", kMySql, kServer, s("db1")},
        ReadCase{"names_ignore_case", "[MYSQL]\nservername=db1\n", kMySql, kServer, s("db1")},
        ReadCase{"lookup_names_trimmed", "[MySql]\nServerName=db1\n", s(" MySql "),
                 s("\tServerName "), s("db1")},
        ReadCase{"blanks_around_name_and_value", "  [MySql]  \r\n  ServerName \t=   db 1 \t \r\n",
                 kMySql, kServer, s("db 1")},
        ReadCase{"single_quotes", "[MySql]\nServerName='db1'\n", kMySql, kServer, s("db1")},
        ReadCase{"quotes_inside_blanks", "[MySql]\nServerName=  'abc'  \n", kMySql, kServer,
                 s("abc")},
        ReadCase{"double_quotes", "[MySql]\nServerName=\"db1\"\n", kMySql, kServer, s("db1")},
        ReadCase{"blanks_inside_quotes_kept", "[MySql]\nServerName=\" db1 \"\n", kMySql, kServer,
                 s(" db1 ")},
        ReadCase{"only_one_pair_dropped", "[MySql]\nServerName=''db1''\n", kMySql, kServer,
                 s("'db1'")},
        ReadCase{"opening_quote_only", "[MySql]\nServerName='db1\n", kMySql, kServer, s("'db1")},
        ReadCase{"closing_quote_only", "[MySql]\nServerName=db1'\n", kMySql, kServer, s("db1'")},
        ReadCase{"mismatched_quotes", "[MySql]\nServerName='db1\"\n", kMySql, kServer, s("'db1\"")},
        ReadCase{"lone_quote", "[MySql]\nServerName='\n", kMySql, kServer, s("'")},
        ReadCase{"empty_quotes", "[MySql]\nServerName=\"\"\n", kMySql, kServer, QString()},
        ReadCase{"equals_in_value", "[MySql]\npass=a=b\n", kMySql, s("pass"), s("a=b")},
        ReadCase{"empty_value", "[MySql]\nServerName=\nport=1\n", kMySql, kServer, QString()},
        ReadCase{"missing_key", "[MySql]\nport=1\n", kMySql, kServer, QString()},
        ReadCase{"missing_section", "[Printing]\nServerName=db1\n", kMySql, kServer, QString()},
        ReadCase{"empty_file", "", kMySql, kServer, QString()},
        ReadCase{"key_of_next_section_not_seen", "[MySql]\nport=1\n[Other]\nServerName=db1\n",
                 kMySql, kServer, QString()},
        ReadCase{"keys_before_any_section_belong_to_none", "ServerName=db1\n[MySql]\nport=1\n",
                 kMySql, kServer, QString()},
        ReadCase{"first_section_of_the_name_only", "[MySql]\nport=1\n[mysql]\nServerName=db2\n",
                 kMySql, kServer, QString()},
        ReadCase{"first_key_of_the_name", "[MySql]\nServerName=db1\nservername=db2\n", kMySql,
                 kServer, s("db1")},
        ReadCase{"comment_line_is_no_key", "[MySql]\n;ServerName=old\nServerName=new\n", kMySql,
                 kServer, s("new")},
        ReadCase{"lines_without_equals_and_blank_lines",
                 "\r\n[MySql]\r\n\r\njust a line\r\n   \r\nServerName=db1\r\n", kMySql, kServer,
                 s("db1")},
        ReadCase{"header_with_trailing_comment", "[MySql] ; database\nServerName=db1\n", kMySql,
                 kServer, s("db1")},
        ReadCase{"bracket_without_close_is_a_key_line", "[MySql]\n[Other\nServerName=db1\n", kMySql,
                 kServer, s("db1")},
        ReadCase{"dos_end_of_file_mark", "[MySql]\r\nServerName=db1\r\n\x1A", kMySql, kServer,
                 s("db1")},
        ReadCase{"windows_1254_text", "[MobilDevice]\nimeino=\xFE\xF0\xDD\xFD\n", s("MobilDevice"),
                 s("imeino"), s("şğİı")},
        ReadCase{"utf8_byte_order_mark", "\xEF\xBB\xBF[MySql]\nServerName=\xC5\x9F\n", kMySql,
                 kServer, s("ş")},
        ReadCase{"utf16le_byte_order_mark", utf16le(u"\uFEFF[MySql]\nServerName=db1\n"), kMySql,
                 kServer, s("db1")},
        ReadCase{"value_of_2047_kept", "[MySql]\npass=" + QByteArray(2047, 'x') + "\n", kMySql,
                 s("pass"), QString(2047, u'x')},
        ReadCase{"value_of_2048_cut_to_2047", "[MySql]\npass=" + QByteArray(2048, 'x') + "y\n",
                 kMySql, s("pass"), QString(2047, u'x')},
        ReadCase{"quotes_dropped_before_the_cut", "[MySql]\npass='" + QByteArray(2047, 'x') + "'\n",
                 kMySql, s("pass"), QString(2047, u'x')}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ProfileWrite, NewFileGetsSectionsAndKeysInOrderWithCrlf) {
    ProfileFile profile;
    profile.setValue(s("MySql"), s("ServerName"), s("localhost"));
    profile.setValue(s("MySql"), s("port"), s("3306"));
    profile.setValue(s("Printing"), s("PrintOK"), QString());
    profile.setValue(s("Empty"), s("quoted"), s("'şey'"));
    EXPECT_EQ(profile.toBytes(), QByteArray("[MySql]\r\nServerName=localhost\r\nport=3306\r\n\r\n"
                                            "[Printing]\r\nPrintOK=\r\n\r\n"
                                            "[Empty]\r\nquoted='\xFE"
                                            "ey'\r\n"));
}

TEST(ProfileWrite, ExistingLinesStayAndKeysJoinTheirSection) {
    ProfileFile profile = ProfileFile::fromBytes("; settings\n[mysql]\nSERVERNAME = old \n"
                                                 "other line\n\n[Printing]\nPrintOK=e\n");
    profile.setValue(s("MySql"), s("ServerName"), s("new"));
    profile.setValue(s("MySql"), s("port"), s("3306"));
    profile.setValue(s("CIDevice"), s("DeviceID"), s("7"));
    EXPECT_EQ(profile.toBytes(), QByteArray("; settings\r\n[mysql]\r\nServerName=new\r\n"
                                            "other line\r\nport=3306\r\n\r\n"
                                            "[Printing]\r\nPrintOK=e\r\n\r\n"
                                            "[CIDevice]\r\nDeviceID=7\r\n"));
    EXPECT_EQ(profile.value(s("MySql"), s("port")), s("3306"));
}

TEST(ProfileWrite, KeepsTheEncodingOfAUtf8File) {
    ProfileFile profile = ProfileFile::fromBytes("\xEF\xBB\xBF[A]\nk=\xC5\x9F\n");
    profile.setValue(s("A"), s("m"), s("ğ"));
    EXPECT_EQ(profile.toBytes(), QByteArray("\xEF\xBB\xBF[A]\r\nk=\xC5\x9F\r\nm=\xC4\x9F\r\n"));
}

} // namespace
