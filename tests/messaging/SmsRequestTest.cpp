#include "messaging/SmsRequest.h"

#include <QUrl>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct Element {
    QString name;
    QString text;
};

// The elements of a document in order, each with its text, as an XML parser reads them.
std::vector<Element> parsed(const QString &xml) {
    std::vector<Element> elements;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement) {
            const QString name = reader.name().toString();
            elements.push_back(
                {name, name == u"SingleTextSMS" ? QString() : reader.readElementText()});
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return elements;
}

} // namespace

TEST(SmsRequest, DocumentHoldsTheAccountTheMessageAndTheNumber) {
    const SmsSettings account;
    EXPECT_EQ(smsRequestXml(account, u"Merhaba"_s, u"05321234567"_s),
              u"<SingleTextSMS><UserName>5400000000</UserName><PassWord>40286153</PassWord>"
              u"<Action>2</Action><Mesgbody>Merhaba</Mesgbody><Numbers>05321234567</Numbers>"
              u"<Originator>Zefiran</Originator><SDate></SDate></SingleTextSMS>"_s);
}

TEST(SmsRequest, EveryValueIsEscapedSoNoTextChangesTheDocument) {
    SmsSettings account;
    account.Password = u"p&ss<1>"_s;
    const QString message =
        u"Fiyat < 100 & \"indirim\"\r\nŞükrü</Mesgbody><Numbers>05550000000</Numbers><Mesgbody>"_s;
    const QString number = u"0532</Numbers><Numbers>0555"_s;
    const QString xml = smsRequestXml(account, message, number);

    EXPECT_TRUE(xml.contains(u"<Mesgbody>Fiyat &lt; 100 &amp; &quot;indirim&quot;\r\nŞükrü&lt;/"
                             u"Mesgbody&gt;"_s));
    const std::vector<Element> elements = parsed(xml);
    ASSERT_EQ(elements.size(), 8u);
    const char16_t *names[] = {u"SingleTextSMS", u"UserName", u"PassWord",   u"Action",
                               u"Mesgbody",      u"Numbers",  u"Originator", u"SDate"};
    for (size_t i = 0; i < elements.size(); ++i)
        EXPECT_EQ(elements[i].name, QString::fromUtf16(names[i]));
    EXPECT_EQ(elements[2].text, account.Password);
    // A parser reads the line break as LF; the document itself keeps CR LF (above).
    EXPECT_EQ(elements[4].text, QString(message).replace(u"\r\n"_s, u"\n"_s));
    EXPECT_EQ(elements[5].text, number);
}

TEST(SmsRequest, AddressCarriesTheDocumentAsPercentEncodedUtf8) {
    const QString xml = smsRequestXml(SmsSettings(), u"Ş & ğ #1?\r\nx=y"_s, u"05321234567"_s);
    for (const QString &provider : {u"http://127.0.0.1:8080"_s, u"http://127.0.0.1:8080/"_s}) {
        SCOPED_TRACE(provider.toStdString());
        const QString address = smsRequestAddress(provider, xml);
        const QString prefix = u"http://127.0.0.1:8080/api/mesaj_gonder?data="_s;
        ASSERT_TRUE(address.startsWith(prefix));
        const QString data = address.mid(prefix.size());
        for (const QChar c : {u' ', u'&', u'#', u'?', u'=', u'<', u'\r', u'\n', u'+'})
            EXPECT_FALSE(data.contains(c)) << "raw " << c.unicode();
        EXPECT_TRUE(data.contains(u"%C5%9E"_s)); // Ş in UTF-8, two bytes
        EXPECT_EQ(QString::fromUtf8(QByteArray::fromPercentEncoding(data.toLatin1())), xml);
        EXPECT_TRUE(QUrl(address, QUrl::StrictMode).isValid());
    }
}

TEST(SmsRequest, LengthCountsALineBreakAsTwo) {
    EXPECT_EQ(smsLength(QString()), 0);
    EXPECT_EQ(smsLength(u"Şükrü"_s), 5);
    EXPECT_EQ(smsLength(u"a\r\nb"_s), 4);
    EXPECT_EQ(smsLength(u"😀"_s), 1);
}

TEST(SmsRequest, ProviderAddressMustBeAnHttpAddressWithAHost) {
    struct Case {
        QString url;
        bool usable;
    };
    const Case cases[] = {
        {u"http://127.0.0.1:8080"_s, true},
        {u" https://sms.ornek.com.tr/ "_s, true},
        {u"http://sms.ornek.com.tr/v1"_s, true},
        {u""_s, false},
        {u"   "_s, false},
        {u"ftp://127.0.0.1"_s, false},
        {u"file:///etc/passwd"_s, false},
        {u"127.0.0.1:8080"_s, false},
        {u"http://"_s, false},
        {u"http://127.0.0.1/?a=1"_s, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.url.toStdString());
        const QString problem = providerUrlProblem(c.url);
        EXPECT_EQ(problem.isEmpty(), c.usable) << problem.toStdString();
        if (!c.usable) {
            EXPECT_TRUE(problem.contains(u"SMS gönderilmedi"_s));
        }
    }
}
