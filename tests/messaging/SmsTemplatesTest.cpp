#include "messaging/SmsTemplates.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Compose = ComposedMessage (*)(const TemplateInput &);

const QString kHeader = u"05400000000 www.zefiran.com.tr"_s;

// A customer with an offer that is valid until 20 March, looked at on 10 March.
TemplateInput customer() {
    TemplateInput in;
    in.name = u"Ayşe Yılmaz"_s;
    in.email = u"ayse@ornek.com.tr"_s;
    in.header = kHeader;
    in.offer.exists = true;
    in.offer.kargotakip = u"MNG-2026-0042"_s;
    in.offer.tarih = QDate(2026, 3, 5);
    in.offer.gecerlitar = QDate(2026, 3, 20);
    in.offer.toplam = 12500.5;
    in.offer.indirim = 500;
    in.account = {u"Zefiran Bilişim Ltd."_s, u"123-4567890"_s, u"TR120001000200030004000506"_s};
    in.today = QDate(2026, 3, 10);
    in.supportHost = u"www.zefiran.com.tr"_s;
    in.locale = QLocale(QLocale::Turkish, QLocale::Turkey);
    return in;
}

TemplateInput withoutHeader() {
    TemplateInput in = customer();
    in.header.clear();
    return in;
}

TemplateInput withoutOffer() {
    TemplateInput in = customer();
    in.offer = OfferFacts();
    return in;
}

TemplateInput withDiscount(double discount) {
    TemplateInput in = customer();
    in.offer.indirim = discount;
    return in;
}

TemplateInput lookedAtOn(const QDate &today) {
    TemplateInput in = customer();
    in.today = today;
    return in;
}

struct Case {
    const char *name;
    Compose compose;
    TemplateInput input;
    QString text;
    QString refusal;
};

const QString kOfferSent =
    u"Sayın Ayşe Yılmaz;\r\nRestoran Sistemiyle ilgili ürün fiyat teklifimiz "
    u"ayse@ornek.com.tr adresinize gönderilmiş olup 20.03.2026 tarihine "
    u"kadar geçerlidir."_s;
const QString kCargo = u"Sayın Ayşe Yılmaz;\r\nSiparişinize ait ürünler hazırlanarak MNG "
                       u"Kargo-Üsküdar Şubesine teslim edilmiştir.\r\nKargo Takip-Fatura "
                       u"No:MNG-2026-0042"_s;
const QString kPrice = u"Sayın Ayşe Yılmaz;\r\nRestoran Sistemiyle ilgili ürünlerin güncel toplam "
                       u"fiyatı ₺12.500,50 dir."_s;
const QString kPriceValid = u"Fiyat teklifimiz 20.03.2026 tarihine kadar geçerlidir.\r\n"_s;
const QString kReminder = u"Sayın Ayşe Yılmaz;\r\nRestoran Sistemiyle ilgili 5.03.2026 tarihinde "
                          u"gönderdiğimiz ürün fiyat teklifimizin 20.03.2026 gününe kadar geçerli "
                          u"olduğunu hatırlatırız."_s;

std::vector<Case> cases() {
    TemplateInput noAccount = customer();
    noAccount.account = BankAccountFacts();
    return {
        {"offer sent, header on a new last line",
         offerSentText,
         customer(),
         kOfferSent + u"\r\n"_s + kHeader,
         {}},
        {"offer sent, no header", offerSentText, withoutHeader(), kOfferSent, {}},
        {"offer sent, no offer", offerSentText, withoutOffer(), {}, kNoOfferMessage},

        {"bank account",
         bankAccountText,
         customer(),
         u"Sayın Ayşe Yılmaz\r\nÖdemenizi 123-4567890 nolu hesaba yapabilirsiniz.\r\n(IBAN "
         u"TR120001000200030004000506 Zefiran Bilişim Ltd.) Teşekkürler."_s,
         {}},
        {"bank account, none in the table",
         bankAccountText,
         noAccount,
         u"Sayın Ayşe Yılmaz\r\nÖdemenizi  nolu hesaba yapabilirsiniz.\r\n(IBAN  ) Teşekkürler."_s,
         {}},

        {"cargo, header on a new last line",
         cargoTrackingText,
         customer(),
         kCargo + u"\r\n"_s + kHeader,
         {}},
        {"cargo, no header", cargoTrackingText, withoutHeader(), kCargo, {}},

        {"price with a discount, header last",
         priceOfferText,
         customer(),
         kPrice + u"Size özel Toplam ₺500,00 İndirim yapılmıştır.\r\n"_s + kPriceValid + kHeader,
         {}},
        {"price without a discount, no header",
         priceOfferText,
         [] {
             TemplateInput in = withDiscount(0);
             in.header.clear();
             return in;
         }(),
         kPrice + kPriceValid,
         {}},
        {"price with a negative discount",
         priceOfferText,
         withDiscount(-10),
         kPrice + kPriceValid + kHeader,
         {}},
        {"price, no offer: zero amounts and the zero date",
         priceOfferText,
         withoutOffer(),
         u"Sayın Ayşe Yılmaz;\r\nRestoran Sistemiyle ilgili ürünlerin güncel toplam fiyatı ₺0,00 "
         u"dir.Fiyat teklifimiz 30.12.1899 tarihine kadar geçerlidir.\r\n"_s +
             kHeader,
         {}},

        {"reminder, header right after the sentence",
         offerReminderText,
         customer(),
         kReminder + kHeader,
         {}},
        {"reminder on the last valid day, no header",
         offerReminderText,
         [] {
             TemplateInput in = lookedAtOn(QDate(2026, 3, 20));
             in.header.clear();
             return in;
         }(),
         kReminder,
         {}},
        {"reminder the day after",
         offerReminderText,
         lookedAtOn(QDate(2026, 3, 21)),
         {},
         kOfferExpiredMessage},
        {"reminder, no offer", offerReminderText, withoutOffer(), {}, kOfferExpiredMessage},

        {"licence renewal",
         licenceRenewalText,
         withoutOffer(),
         u"LİSANS UYARI !\r\nYazılım lisansını yenileyerek 1 yıl süreyle güncelleme ve destek "
         u"almaya devam\r\netmek için ../../2018 tarihinden önce gerekli .... TL "
         u"ödemenizi\r\nGaranti Bankası TR00-0001-2000-3000-4000-500060 (TEMRİN KORALP) hesabına "
         u"yatırınız.\r\nwww.zefiran.com.tr/destek"_s,
         {}},
    };
}

} // namespace

TEST(SmsTemplates, BuildEachTemplateOrSayWhyNot) {
    for (const Case &c : cases()) {
        SCOPED_TRACE(c.name);
        const ComposedMessage message = c.compose(c.input);
        EXPECT_EQ(message.text, c.text);
        EXPECT_EQ(message.refusal, c.refusal);
    }
}

TEST(SmsTemplates, FormatsFollowTheLocale) {
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    EXPECT_EQ(shortDateText(QDate(2026, 12, 1), turkish), u"1.12.2026"_s);
    EXPECT_EQ(amountText(1234567.891, turkish), u"₺1.234.567,89"_s);

    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(shortDateText(QDate(2026, 12, 1), us), u"12/1/26"_s);
    EXPECT_EQ(amountText(1234.5, us), u"$1,234.50"_s);
}

TEST(SmsTemplates, NewHeaderIsThePhoneNumberAndTheWebAddress) {
    EXPECT_EQ(initialMessageHeader(u"www.ornek.com.tr"_s), u"05400000000 www.ornek.com.tr"_s);
}
