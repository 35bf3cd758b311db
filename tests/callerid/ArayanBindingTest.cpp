#include "callerid/arayanunit.h"
#include "platform/Error.h"
#include "support/StoreTest.h"
#include "support/Text.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Entry {
    QByteArray phone; // as the binding gives it: Windows-1254
    QString name;
};

struct FeedCase {
    const char *name;
    QByteArray document;
    std::vector<Entry> entries;
    const char *error = nullptr; // the start of LoadArayanlar's error, or of reading an entry
};

void PrintTo(const FeedCase &c, std::ostream *os) {
    *os << c.name;
}

QByteArray utf16le(const QString &text) {
    QByteArray bytes("\xFF\xFE");
    for (const QChar ch : text)
        bytes.append(char(ch.unicode() & 0xFF)).append(char(ch.unicode() >> 8));
    return bytes;
}

QByteArray entry(const QByteArray &id, const QByteArray &phone, const QByteArray &name) {
    return "<arayan><Id>" + id + "</Id><PhoneNumber>" + phone + "</PhoneNumber><AdSoyad>" + name +
           "</AdSoyad></arayan>";
}

QByteArray feed(const QByteArray &entries, const char *declaration = nullptr) {
    QByteArray d = declaration
                       ? "<?xml version=\"1.0\" encoding=\"" + QByteArray(declaration) + "\"?>\r\n"
                       : QByteArray();
    return d + "<arayanlar>\r\n" + entries + "\r\n</arayanlar>\r\n";
}

// The names in their 8-bit bytes, for documents that declare a Turkish 8-bit encoding.
const QByteArray kSukru8 = win("Şükrü Çağlayan");
const QByteArray kIrmak8 = win("Irmak Işık Öğüt");
const QString kSukru = u"Şükrü Çağlayan"_s;
const QString kIrmak = u"Irmak Işık Öğüt"_s;

class FeedDocument : public ::testing::TestWithParam<FeedCase> {
protected:
    QString write(const QByteArray &bytes) {
        const QString path = m_dir.filePath(u"feed.xml"_s);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

private:
    QTemporaryDir m_dir;
};

TEST_P(FeedDocument, IsReadThroughTheBinding) {
    const FeedCase &c = GetParam();
    try {
        const TXMLArayanlarType callers = LoadArayanlar(write(c.document));
        std::vector<Entry> read;
        for (int i = 0; i < callers.Count(); ++i)
            read.push_back({callers.Items(i).PhoneNumber(), callers.Items(i).AdSoyad()});
        ASSERT_EQ(c.error, nullptr) << "no error";
        ASSERT_EQ(read.size(), c.entries.size());
        for (size_t i = 0; i < read.size(); ++i) {
            EXPECT_EQ(read[i].phone, c.entries[i].phone) << i;
            EXPECT_EQ(read[i].name, c.entries[i].name) << i;
        }
    } catch (const Error &e) {
        ASSERT_NE(c.error, nullptr) << e.text().toStdString();
        EXPECT_TRUE(e.text().startsWith(QString::fromUtf8(c.error))) << e.text().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FeedDocument,
    ::testing::Values(
        FeedCase{"three_entries",
                 feed(entry("1", "05321112233", "Ali") + entry("2", "05324445566", "Veli") +
                      entry("3", "02125556677", "Ayşe Kaya"_ba)),
                 {{"05321112233", u"Ali"_s},
                  {"05324445566", u"Veli"_s},
                  {"02125556677", u"Ayşe Kaya"_s}}},
        FeedCase{"sentinel", feed(entry("0", "1234", "")), {{"1234", QString()}}},
        FeedCase{"no_entries", feed(""), {}},
        FeedCase{"other_children_do_not_count",
                 feed(entry("1", "1", "A") + "<bilgi>x</bilgi>" + entry("2", "2", "B")),
                 {{"1", u"A"_s}, {"2", u"B"_s}}},
        FeedCase{"capital_a_items_are_no_items",
                 feed("<Arayan><Id>1</Id><PhoneNumber>05321112233</PhoneNumber></Arayan>"),
                 {}},
        FeedCase{"capital_document_element",
                 "<Arayanlar>" + entry("1", "05321112233", "Ali") + "</Arayanlar>",
                 {},
                 "The document element is 'Arayanlar', not 'arayanlar'"},
        FeedCase{"document_element_in_a_namespace",
                 "<arayanlar xmlns=\"urn:x\">" + entry("1", "1", "A") + "</arayanlar>",
                 {},
                 "The document element is 'arayanlar', not 'arayanlar' in no namespace"},
        FeedCase{"missing_and_empty_children",
                 feed("<arayan><Id>4</Id><PhoneNumber>0532</PhoneNumber></arayan>"
                      "<arayan><PhoneNumber/><AdSoyad></AdSoyad></arayan>"),
                 {{"0532", QString()}, {"", QString()}}},
        FeedCase{"mixed_content",
                 feed(entry("1", "0532<b>1</b>", "Ali")),
                 {},
                 "Element does not contain a single text node"},
        FeedCase{"comment_in_a_name",
                 feed(entry("1", "0532", "Ali<!-- x -->")),
                 {},
                 "Element does not contain a single text node"},
        FeedCase{"cdata_number",
                 feed(entry("1", "<![CDATA[0532]]>", "Ali")),
                 {},
                 "Element does not contain a single text node"},
        FeedCase{
            "iso_8859_9",
            feed(entry("1", "05321112233", kSukru8) + entry("2", "0532", kIrmak8), "ISO-8859-9"),
            {{"05321112233", kSukru}, {"0532", kIrmak}}},
        FeedCase{
            "windows_1254", feed(entry("1", "0532", kSukru8), "windows-1254"), {{"0532", kSukru}}},
        FeedCase{"utf8", feed(entry("1", "0532", kIrmak.toUtf8()), "UTF-8"), {{"0532", kIrmak}}},
        FeedCase{"utf16",
                 utf16le(QString::fromUtf8(feed(entry("1", "0532", kSukru.toUtf8()) +
                                                    entry("2", "0533", kIrmak.toUtf8()),
                                                "UTF-16"))),
                 {{"0532", kSukru}, {"0533", kIrmak}}},
        FeedCase{"turkish_letters_in_a_number_become_8_bit",
                 feed(entry("1", u"0532 Ş"_s.toUtf8(), "A")),
                 {{win("0532 Ş"), u"A"_s}}},
        FeedCase{"truncated",
                 feed(entry("1", "0532", "Ali")).left(40),
                 {},
                 "The document is not well-formed XML"},
        FeedCase{"html_page",
                 "<!DOCTYPE html><html><head><title>500</title></head><body><p>Hata<br></p>"
                 "</body></html>",
                 {},
                 "The document is not well-formed XML"},
        FeedCase{"doctype_with_an_entity",
                 "<!DOCTYPE arayanlar [<!ENTITY n \"05321112233\">]>" +
                     feed(entry("1", "&n;", "Ali")),
                 {},
                 "The document's type declaration declares entities"}),
    [](const ::testing::TestParamInfo<FeedCase> &info) { return std::string(info.param.name); });

TEST(ArayanBinding, MissingChildrenAreAddedToTheDocumentInMemory) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"feed.xml"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<arayanlar><arayan><Id>7</Id></arayan></arayanlar>");
    file.close();

    const TXMLArayanlarType callers = LoadArayanlar(path);
    const TXMLArayanType caller = callers.Items(0);
    EXPECT_TRUE(caller.node().child(u"AdSoyad"_s).isNull());
    EXPECT_EQ(caller.AdSoyad(), QString());
    EXPECT_EQ(caller.PhoneNumber(), QByteArray());
    EXPECT_FALSE(caller.node().child(u"AdSoyad"_s).isNull());
    EXPECT_FALSE(caller.node().child(u"PhoneNumber"_s).isNull());
    EXPECT_EQ(caller.Id(), 7);
}

TEST(ArayanBinding, IdIsAnInteger) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"feed.xml"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<arayanlar><arayan><Id> 42 </Id></arayan><arayan><Id>4x</Id></arayan>"
               "<arayan/></arayanlar>");
    file.close();
    const TXMLArayanlarType callers = LoadArayanlar(path);
    EXPECT_EQ(callers.Items(0).Id(), 42);
    EXPECT_ERROR_TEXT(callers.Items(1).Id(), u"'4x' is not a valid integer value"_s);
    EXPECT_ERROR_TEXT(callers.Items(2).Id(), u"'' is not a valid integer value"_s);
    EXPECT_ERROR_TEXT(callers.Items(3), u"List index out of bounds (3)"_s);
}

TEST(ArayanBinding, ItemsAreAddedAndInsertedInPlace) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"feed.xml"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<arayanlar><arayan><Id>1</Id></arayan><x/><arayan><Id>3</Id></arayan>"
               "</arayanlar>");
    file.close();
    TXMLArayanlarType callers = LoadArayanlar(path);
    callers.Insert(1).setId(2);
    TXMLArayanType last = callers.Add();
    last.setId(4);
    last.setPhoneNumber(u"0532"_s);
    last.setAdSoyad(u"Şule"_s);
    ASSERT_EQ(callers.Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(callers.Items(i).Id(), i + 1);
    EXPECT_EQ(callers.node().children(u"arayan"_s).size(), 4u);
    EXPECT_EQ(callers.Items(3).AdSoyad(), u"Şule"_s);
    EXPECT_ERROR_TEXT(callers.Insert(6), u"List index out of bounds (6)"_s);
}

} // namespace
