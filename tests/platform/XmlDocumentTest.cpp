#include "platform/XmlDocument.h"
#include "platform/Error.h"
#include "support/LoopbackHttpServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

QByteArray utf16(const QString &text, bool bigEndian) {
    QByteArray bytes;
    for (const QChar ch : text) {
        const char hi = char(ch.unicode() >> 8), lo = char(ch.unicode() & 0xFF);
        bytes.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
    }
    return bytes;
}

// The document's first element's text, as the program reads it.
QString firstText(const QByteArray &bytes) {
    XmlDocument document;
    document.loadXml(bytes);
    return document.documentElement().child(u"n"_s).text();
}

QString loadError(const std::function<void()> &load) {
    try {
        load();
    } catch (const Error &e) {
        return e.text();
    }
    return u"(no error)"_s;
}

struct EncodingCase {
    const char *name;
    QByteArray bytes;
    QString expected;
};

void PrintTo(const EncodingCase &c, std::ostream *os) {
    *os << c.name;
}

class XmlEncoding : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(XmlEncoding, TextsReachTheProgramAsTheDocumentDeclaresThem) {
    EXPECT_EQ(firstText(GetParam().bytes), GetParam().expected);
}

const QString kTurkish = u"Ğüşİıçö ĞÜŞ"_s;
const QByteArray kTurkish8 = "\xD0\xFC\xFE\xDD\xFD\xE7\xF6 \xD0\xDC\xDE"; // both Turkish sets
const QString kTurkishDoc = u"<a><n>"_s + kTurkish + u"</n></a>"_s;

INSTANTIATE_TEST_SUITE_P(
    Documents, XmlEncoding,
    ::testing::Values(
        EncodingCase{"utf8_without_declaration", kTurkishDoc.toUtf8(), kTurkish},
        EncodingCase{"utf8_declared",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + kTurkishDoc.toUtf8(), kTurkish},
        EncodingCase{"utf8_bom", "\xEF\xBB\xBF" + kTurkishDoc.toUtf8(), kTurkish},
        EncodingCase{
            "utf16le_bom",
            "\xFF\xFE" +
                utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"_s + kTurkishDoc, false),
            kTurkish},
        EncodingCase{"utf16be_bom", "\xFE\xFF" + utf16(kTurkishDoc, true), kTurkish},
        EncodingCase{"utf16le_without_bom",
                     utf16(u"<?xml version=\"1.0\" encoding=\"utf-16\"?>"_s + kTurkishDoc, false),
                     kTurkish},
        EncodingCase{"iso_8859_9",
                     "<?xml version=\"1.0\" encoding=\"iso-8859-9\"?><a><n>" + kTurkish8 +
                         "\x80</n></a>",
                     kTurkish + QChar(0x80)}, // 0x80 is a control in ISO-8859-9
        EncodingCase{"windows_1254_single_quotes",
                     "<?xml version='1.0' encoding='windows-1254'?><a><n>" + kTurkish8 +
                         "\x80</n></a>",
                     kTurkish + u"€"_s},
        EncodingCase{"latin5_alias",
                     "<?xml version=\"1.0\" encoding=\"LATIN5\"?><a><n>" + kTurkish8 + "</n></a>",
                     kTurkish},
        EncodingCase{"iso_8859_1",
                     "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a><n>\xD0\xFC\xFE</n></a>",
                     u"Ðüþ"_s},
        EncodingCase{"character_references_and_predefined_entities",
                     "<a><n>&#x11E;&#305;&lt;&amp;&gt;&quot;&apos;</n></a>", u"Ğı<&>\"'"_s}),
    [](const ::testing::TestParamInfo<EncodingCase> &info) {
        return std::string(info.param.name);
    });

TEST(XmlDocument, RefusesWhatItCannotReadFaithfully) {
    struct Case {
        const char *name;
        QByteArray bytes;
        const char *errorStart;
    } cases[] = {
        {"unknown encoding", "<?xml version=\"1.0\" encoding=\"koi8-r\"?><a/>",
         "The document's encoding is not supported: koi8-r"},
        {"malformed UTF-8", "<a><n>\xC4</n></a>", "The text is not valid UTF-8"},
        {"UTF-16 declared, single bytes written", "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>",
         "The document declares UTF-16"},
        {"truncated", "<arayanlar><arayan><Id>1</Id><Phone", "The document is not well-formed XML"},
        {"no element", "<?xml version=\"1.0\"?>", "The document is not well-formed XML"},
        {"HTML", "<html><body><p>Error<br></body></html>", "The document is not well-formed XML"},
        {"entity declarations",
         "<!DOCTYPE a [<!ENTITY x \"0532\"><!ENTITY big \"&x;&x;&x;\">]><a><n>&big;</n></a>",
         "The document's type declaration declares entities"},
        {"external entity",
         "<!DOCTYPE a [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><a><n>&x;</n></a>",
         "The document's type declaration declares entities"},
    };
    for (const Case &c : cases) {
        XmlDocument document;
        document.setDocumentElement(u"old"_s);
        EXPECT_TRUE(loadError([&] {
                        document.loadXml(c.bytes);
                    }).startsWith(QString::fromUtf8(c.errorStart)))
            << c.name << ": " << loadError([&] { document.loadXml(c.bytes); }).toStdString();
        EXPECT_TRUE(document.documentElement().isNull()) << c.name;
    }
}

TEST(XmlDocument, KeepsTheDocumentsNodesAsWrittenWithoutBlankTexts) {
    XmlDocument document;
    document.loadXml("<!DOCTYPE a SYSTEM \"a.dtd\">\n<a>\n  <n> x </n>\n  <N>capital</N>\n"
                     "  <m>one<b/>two</m>\n  <c><!--note-->text</c>\n  <d><![CDATA[<raw>]]></d>\n"
                     "  <e/>\n</a>");
    const XmlNode a = document.documentElement();
    EXPECT_EQ(a.name(), u"a"_s);
    EXPECT_EQ(a.childNodes().size(), 6u); // the indentation is not kept
    EXPECT_EQ(a.child(u"n"_s).text(), u" x "_s);
    EXPECT_EQ(a.child(u"N"_s).text(), u"capital"_s);
    EXPECT_EQ(a.children(u"n"_s).size(), 1u); // names compare exactly
    EXPECT_TRUE(a.child(u"A"_s).isNull());

    using Kind = XmlNode::Kind;
    const auto kinds = [](const XmlNode &node) {
        std::vector<Kind> k;
        for (const XmlNode &child : node.childNodes())
            k.push_back(child.kind());
        return k;
    };
    EXPECT_EQ(kinds(a.child(u"m"_s)), (std::vector{Kind::Text, Kind::Element, Kind::Text}));
    EXPECT_EQ(kinds(a.child(u"c"_s)), (std::vector{Kind::Comment, Kind::Text}));
    EXPECT_EQ(kinds(a.child(u"d"_s)), std::vector{Kind::CData});
    EXPECT_EQ(a.child(u"d"_s).childNodes().front().value(), u"<raw>"_s);
    EXPECT_TRUE(a.child(u"e"_s).childNodes().empty());
    EXPECT_EQ(a.child(u"e"_s).text(), QString());
}

TEST(XmlDocument, BuildsAndSavesUtf8WithoutDeclarationOrLineBreaks) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"out.xml"_s);
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older, longer file that must be replaced entirely");
    }
    XmlNode kept;
    {
        XmlDocument document;
        XmlNode root = document.setDocumentElement(u"rehber"_s);
        XmlNode row = root.appendChild(u"kayit"_s);
        row.appendChild(u"adsoyad"_s).setText(u"Şükrü <Öz> & Çağ"_s);
        row.appendChild(u"not"_s).setText(QString());
        row.setAttribute(u"no"_s, u"1\"2"_s);
        root.appendChild(u"kayit"_s).appendChild(u"adsoyad"_s).setText(u"İkinci"_s);
        document.save(path);
        kept = row;
    }
    const QByteArray expected = u"<rehber><kayit no=\"1&quot;2\"><adsoyad>Şükrü &lt;Öz&gt; &amp; "
                                "Çağ</adsoyad><not></not></kayit><kayit><adsoyad>İkinci</adsoyad>"
                                "</kayit></rehber>"_s.toUtf8();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), expected.toStdString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"out.xml"_s});
    // A node keeps its document alive after the document object is gone.
    EXPECT_EQ(kept.child(u"adsoyad"_s).text(), u"Şükrü <Öz> & Çağ"_s);

    // What was saved reads back the same (the empty text is no node then).
    XmlDocument again;
    again.load(path);
    EXPECT_EQ(again.xml().toStdString(),
              QString::fromUtf8(expected).replace(u"<not></not>"_s, u"<not/>"_s).toStdString());
}

TEST(XmlDocument, SetTextReplacesTextsAndNamesAreChecked) {
    XmlDocument document;
    document.loadXml("<a>one<b/>two<![CDATA[three]]></a>");
    XmlNode a = document.documentElement();
    a.setText(u"new"_s);
    EXPECT_EQ(document.xml().toStdString(), "<a><b/>new</a>");

    XmlNode second = document.setDocumentElement(u"z"_s);
    EXPECT_EQ(document.documentElement(), second);
    EXPECT_EQ(document.xml().toStdString(), "<z/>");
    for (const QString &bad : {QString(), u"1a"_s, u"a b"_s, u"a<b"_s}) {
        EXPECT_FALSE(loadError([&] { second.appendChild(bad); }) == u"(no error)"_s)
            << bad.toStdString();
    }
    EXPECT_EQ(document.xml().toStdString(), "<z/>");
}

TEST(XmlDocument, SaveFailureNamesTheFileAndLeavesNothing) {
    QTemporaryDir dir;
    XmlDocument document;
    document.setDocumentElement(u"a"_s);
    const QString path = dir.filePath(u"missing-folder/out.xml"_s);
    EXPECT_TRUE(loadError([&] { document.save(path); }).startsWith(u"Cannot write "_s + path));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(XmlDocument, LoadsFilesAndHttpAddresses) {
    LoopbackHttpServer server([](const HttpServerRequest &request) {
        if (request.path() == "/doc.xml")
            return std::optional(HttpServerResponse{
                200,
                "text/xml",
                "<?xml version=\"1.0\" encoding=\"windows-1254\"?><a><n>\xDE</n></a>",
                {}});
        return std::optional(HttpServerResponse{
            500, "text/html", "<!DOCTYPE html><html><body>Internal error</body></html>", {}});
    });
    XmlDocument document;
    document.load(server.baseUrl() + u"doc.xml"_s);
    EXPECT_EQ(document.documentElement().child(u"n"_s).text(), u"Ş"_s);
    EXPECT_EQ(server.requests().front().method, QByteArray("GET"));

    EXPECT_EQ(loadError([&] { document.load(server.baseUrl() + u"broken.xml"_s); }),
              u"The server answered with HTTP status 500"_s);
    EXPECT_TRUE(document.documentElement().isNull());

    QTemporaryDir dir;
    const QString path = dir.filePath(u"doc.xml"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<a><n>file</n></a>");
    file.close();
    document.load(path);
    EXPECT_EQ(document.documentElement().child(u"n"_s).text(), u"file"_s);
    document.load(u"file://"_s + path);
    EXPECT_EQ(document.documentElement().child(u"n"_s).text(), u"file"_s);

    EXPECT_TRUE(loadError([&] {
                    document.load(dir.filePath(u"none.xml"_s));
                }).startsWith(u"Cannot open "_s));
    EXPECT_EQ(loadError([&] { document.load(u"ftp://127.0.0.1/doc.xml"_s); }),
              u"Not an address the program can load: ftp://127.0.0.1/doc.xml"_s);
}

} // namespace
