#include "messaging/SmsTemplates.h"

using namespace Qt::StringLiterals;

namespace {

const QString kCrLf = u"\r\n"_s;

QString salutation(const TemplateInput &in) {
    return u"Sayın "_s + in.name + u";"_s + kCrLf;
}

ComposedMessage text(const QString &t) {
    return {t, QString()};
}

ComposedMessage refused(const QString &message) {
    return {QString(), message};
}

} // namespace

const QString kNoOfferMessage = u"Müşteriye ait teklif bulunamadı!"_s;
const QString kOfferExpiredMessage = u"Teklifin geçerlilik süresi bitmiştir!"_s;

QString shortDateText(const QDate &date, const QLocale &locale) {
    return locale.toString(date, QLocale::ShortFormat);
}

QString amountText(double amount, const QLocale &locale) {
    return locale.toCurrencyString(amount, locale.currencySymbol(), 2);
}

QString initialMessageHeader(const QString &webAddress) {
    return u"05400000000 "_s + webAddress;
}

ComposedMessage offerSentText(const TemplateInput &in) {
    if (!in.offer.exists)
        return refused(kNoOfferMessage);
    QString t = salutation(in) + u"Restoran Sistemiyle ilgili ürün fiyat teklifimiz "_s + in.email +
                u" adresinize gönderilmiş olup "_s + shortDateText(in.offer.gecerlitar, in.locale) +
                u" tarihine kadar geçerlidir."_s;
    if (!in.header.isEmpty())
        t += kCrLf + in.header;
    return text(t);
}

ComposedMessage bankAccountText(const TemplateInput &in) {
    return text(u"Sayın "_s + in.name + kCrLf + u"Ödemenizi "_s + in.account.hesapno +
                u" nolu hesaba yapabilirsiniz."_s + kCrLf + u"(IBAN "_s + in.account.iban + u" "_s +
                in.account.hesapadi + u") "_s + u"Teşekkürler."_s);
}

ComposedMessage cargoTrackingText(const TemplateInput &in) {
    QString t = salutation(in) +
                u"Siparişinize ait ürünler hazırlanarak MNG Kargo-Üsküdar Şubesine teslim "
                u"edilmiştir."_s +
                kCrLf + u"Kargo Takip-Fatura No:"_s + in.offer.kargotakip;
    if (!in.header.isEmpty())
        t += kCrLf + in.header;
    return text(t);
}

ComposedMessage priceOfferText(const TemplateInput &in) {
    QString t = salutation(in) + u"Restoran Sistemiyle ilgili ürünlerin güncel toplam fiyatı "_s +
                amountText(in.offer.toplam, in.locale) + u" dir."_s;
    if (in.offer.indirim > 0)
        t += u"Size özel Toplam "_s + amountText(in.offer.indirim, in.locale) +
             u" İndirim yapılmıştır."_s + kCrLf;
    t += u"Fiyat teklifimiz "_s + shortDateText(in.offer.gecerlitar, in.locale) +
         u" tarihine kadar geçerlidir."_s + kCrLf + in.header;
    return text(t);
}

ComposedMessage offerReminderText(const TemplateInput &in) {
    if (in.today > in.offer.gecerlitar)
        return refused(kOfferExpiredMessage);
    return text(salutation(in) + u"Restoran Sistemiyle ilgili "_s +
                shortDateText(in.offer.tarih, in.locale) +
                u" tarihinde gönderdiğimiz ürün fiyat teklifimizin "_s +
                shortDateText(in.offer.gecerlitar, in.locale) +
                u" gününe kadar geçerli olduğunu hatırlatırız."_s + in.header);
}

ComposedMessage licenceRenewalText(const TemplateInput &in) {
    return text(
        u"LİSANS UYARI !"_s + kCrLf +
        u"Yazılım lisansını yenileyerek 1 yıl süreyle güncelleme ve destek almaya devam"_s + kCrLf +
        u"etmek için ../../2018 tarihinden önce gerekli .... TL ödemenizi"_s + kCrLf +
        u"Garanti Bankası TR00-0001-2000-3000-4000-500060 (TEMRİN KORALP) hesabına yatırınız."_s +
        kCrLf + in.supportHost + u"/destek"_s);
}
