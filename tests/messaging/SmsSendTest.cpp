#include "SmsWindowFixture.h"

#include "callsim/SmsProvider.h"
#include "controls/ColorButton.h"
#include "messaging/SmsRequest.h"
#include "support/Click.h"
#include "support/LoopbackHttpServer.h"

#include <QPlainTextEdit>
#include <QTcpServer>

using namespace Qt::StringLiterals;

namespace {

// The SMS window in front of the simulator's provider on loopback.
class SmsSendTest : public SmsWindowTest {
protected:
    SmsSendTest() { settings.Url = provider.baseUrl(); }

    // Writes the message as the user types it and presses "SMS GÖNDER".
    void send(const QString &typed) {
        window().Memo1->setPlainText(typed);
        clickAndRun(window().ColorButton1);
    }

    std::vector<dialogs::Kind> kinds() const {
        std::vector<dialogs::Kind> k;
        for (const dialogs::Box &box : boxes.boxes)
            k.push_back(box.kind);
        return k;
    }

    SmsProvider sms;
    LoopbackHttpServer provider{[this](const HttpServerRequest &r) {
        return sms.answer(r);
    }};
};

using dialogs::Kind;

QString documentFor(const QString &message, const QString &number) {
    return u"<SingleTextSMS><UserName>5400000000</UserName><PassWord>40286153</PassWord>"
           u"<Action>2</Action><Mesgbody>"_s +
           message + u"</Mesgbody><Numbers>"_s + number +
           u"</Numbers><Originator>Zefiran</Originator><SDate></SDate></SingleTextSMS>"_s;
}

} // namespace

TEST_F(SmsSendTest, ConfirmedMessageReachesTheProviderIntactAndItsAnswerIsShown) {
    TForm2 &w = showFor(1);
    boxes.answer = QMessageBox::Yes;
    send(u"Fiyat < 100 & \"indirim\"\nŞükrü Öğün: çığ"_s);

    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(kinds(), (std::vector{Kind::Confirmation, Kind::Message, Kind::Message}));
    EXPECT_EQ(boxes.boxes[0].text, u"İşlemi Onaylıyor Musunuz ?"_s);
    EXPECT_EQ(boxes.boxes[0].caption, u"SMS GÖNDERİLECEK!"_s);
    EXPECT_EQ(boxes.boxes[1].text, u"00 SMS kabul edildi, kayıt no 1"_s);
    EXPECT_EQ(boxes.boxes[2].text, u"SMS Gönderme İşlemi Tamamlandı!"_s);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.ZQuery1.active());

    const QString document = documentFor(
        u"Fiyat &lt; 100 &amp; &quot;indirim&quot;\r\nŞükrü Öğün: çığ"_s, u"05321234567"_s);
    const std::vector<HttpServerRequest> requests = provider.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path(), "/api/mesaj_gonder");
    EXPECT_EQ(smsRequestData(requests[0]), document);
    EXPECT_TRUE(requests[0].query().contains("%C5%9E")); // Ş, two bytes of UTF-8
    EXPECT_EQ(requests[0].header("Content-type"), "content=text/html; charset=UTF-8");
    EXPECT_EQ(requests[0].body, document.toUtf8());

    const std::vector<ReceivedSms> received = sms.received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].number, u"05321234567"_s);
    EXPECT_EQ(received[0].message, u"Fiyat < 100 & \"indirim\"\nŞükrü Öğün: çığ"_s);

    // Shown again, the window starts from an empty message.
    boxes.boxes.clear();
    showFor(1);
    EXPECT_TRUE(w.Memo1->toPlainText().isEmpty());
}

TEST_F(SmsSendTest, NothingIsSentWithoutAMessageAYesOrAProvider) {
    TForm2 &w = showFor(1);
    boxes.answer = QMessageBox::Yes;
    send(QString());
    EXPECT_EQ(boxes.texts(),
              std::vector<QString>{u"Lütfen gönderilecek SMS mesajınızı oluşturunuz!"_s});

    boxes.boxes.clear();
    boxes.answer = QMessageBox::No;
    send(u"Merhaba"_s);
    EXPECT_EQ(kinds(), std::vector{Kind::Confirmation});
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.messageText(), u"Merhaba"_s);
    EXPECT_TRUE(provider.requests().empty());
}

TEST_F(SmsSendTest, WithoutAProviderAddressItSaysSoAndKeepsTheMessage) {
    for (const QString &url : {QString(), u"sms.ornek.com.tr"_s}) {
        SCOPED_TRACE(url.toStdString());
        boxes.boxes.clear();
        settings.Url = url;
        TForm2 w(
            connection, directory, [] { return u"Ad"_s; }, [] { return QString(); }, settings);
        ASSERT_TRUE(directory.locate("Id", "1"));
        w.show();
        boxes.answer = QMessageBox::Yes;
        w.Memo1->setPlainText(u"Merhaba"_s);
        clickAndRun(w.ColorButton1);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].kind, Kind::Message);
        EXPECT_TRUE(boxes.boxes[0].text.contains(u"[Sms]"_s));
        EXPECT_TRUE(boxes.boxes[0].text.contains(u"SMS gönderilmedi"_s));
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.messageText(), u"Merhaba"_s);
    }
    EXPECT_TRUE(provider.requests().empty());
}

TEST_F(SmsSendTest, BeyondOneHundredSixtyCharactersAWarningComesFirst) {
    struct Case {
        const char *name;
        QString typed;
        bool warned;
    };
    const Case cases[] = {
        {"160 characters", QString(160, u'a'), false},
        {"161 characters", QString(161, u'a'), true},
        {"159 and a line break, which counts two", QString(158, u'a') + u"\nb"_s, true},
        {"158 and a line break", QString(157, u'a') + u"\nb"_s, false},
    };
    showFor(1);
    boxes.answer = QMessageBox::No;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        boxes.boxes.clear();
        send(c.typed);
        std::vector<QString> expected;
        if (c.warned)
            expected.push_back(u"UYARI : Max.160 Karakter sınırını aştınız!\nMesaj için 2 SMS "
                               u"Düşülecek..."_s);
        expected.push_back(u"İşlemi Onaylıyor Musunuz ?"_s);
        EXPECT_EQ(boxes.texts(), expected);
    }

    // After the warning the message is still sent.
    boxes.boxes.clear();
    boxes.answer = QMessageBox::Yes;
    send(QString(200, u'x'));
    ASSERT_EQ(sms.received().size(), 1u);
    EXPECT_EQ(sms.received()[0].message, QString(200, u'x'));
}

TEST_F(SmsSendTest, EmptyNumberIsSentAndTheProvidersRefusalShownLikeAnyAnswer) {
    showFor(2); // no second mobile number
    TForm2 &w = window();
    w.ComboBox2->setCurrentIndex(1);
    boxes.answer = QMessageBox::Yes;
    send(u"Merhaba"_s);

    const std::vector<HttpServerRequest> requests = provider.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(smsRequestData(requests[0]), documentFor(u"Merhaba"_s, QString()));
    EXPECT_EQ(boxes.texts(),
              (std::vector<QString>{u"İşlemi Onaylıyor Musunuz ?"_s, u"HATA: Numbers boş"_s,
                                    u"SMS Gönderme İşlemi Tamamlandı!"_s}));
    EXPECT_FALSE(w.isVisible());
}

TEST_F(SmsSendTest, ProviderDownEndsWithTheWindowClosedAndThenTheError) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    settings.Url = u"http://127.0.0.1:%1"_s.arg(closed.serverPort());
    closed.close();
    TForm2 &w = showFor(1);

    std::vector<std::pair<dialogs::Box, bool>> seen; // each box, and whether the window showed
    dialogs::setResponder([&](const dialogs::Box &box) {
        seen.emplace_back(box, w.isVisible());
        return QMessageBox::Yes;
    });
    send(u"Merhaba"_s);

    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].first.kind, Kind::Confirmation);
    EXPECT_EQ(seen[1].first.kind, Kind::Message);
    EXPECT_EQ(seen[1].first.text, QString()); // no answer came
    EXPECT_EQ(seen[2].first.text, u"SMS Gönderme İşlemi Tamamlandı!"_s);
    EXPECT_TRUE(seen[2].second);
    EXPECT_EQ(seen[3].first.kind, Kind::Error);
    EXPECT_FALSE(seen[3].second);
    EXPECT_FALSE(seen[3].first.text.isEmpty());
    EXPECT_FALSE(w.ZQuery1.active());
}
