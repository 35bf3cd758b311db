#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// The six message templates of the SMS window, as plain functions of what they read. Line
// breaks are CR LF; dates are written in the locale's short date format, amounts in its
// currency format with 2 decimals.

// What the templates read of the current offer (a row of teklif). Without an offer every
// value reads as a null field does: empty text, 0, and the zero date 30 December 1899.
struct OfferFacts {
    bool exists = false;
    QString kargotakip;
    QDate tarih = QDate(1899, 12, 30);
    QDate gecerlitar = QDate(1899, 12, 30);
    double toplam = 0;
    double indirim = 0;
};

// What template 2 reads of the current bank account (a row of banka).
struct BankAccountFacts {
    QString hesapadi;
    QString hesapno;
    QString iban;
};

struct TemplateInput {
    QString name;   // the customer card's name edit
    QString email;  // the customer card's e-mail edit
    QString header; // the message header, a signature line
    OfferFacts offer;
    BankAccountFacts account;
    QDate today;
    QString supportHost;
    QLocale locale;
};

// A template's text, or the message that says why it was not built (then text is empty).
struct ComposedMessage {
    QString text;
    QString refusal;
};

extern const QString kNoOfferMessage;      // "Müşteriye ait teklif bulunamadı!"
extern const QString kOfferExpiredMessage; // "Teklifin geçerlilik süresi bitmiştir!"

// 1: the offer was sent by e-mail; refused when the customer has no offer.
ComposedMessage offerSentText(const TemplateInput &in);
// 2: the bank account to pay to.
ComposedMessage bankAccountText(const TemplateInput &in);
// 3: the offer's cargo tracking or invoice number.
ComposedMessage cargoTrackingText(const TemplateInput &in);
// 4: the offer's total, its discount when there is one, and how long it holds.
ComposedMessage priceOfferText(const TemplateInput &in);
// 5: a reminder of the offer; refused once its last valid day has passed.
ComposedMessage offerReminderText(const TemplateInput &in);
// 6: the annual licence renewal, with blanks the user fills in.
ComposedMessage licenceRenewalText(const TemplateInput &in);

// The message header a new window starts with: a phone number and the web address.
QString initialMessageHeader(const QString &webAddress);

QString shortDateText(const QDate &date, const QLocale &locale);
QString amountText(double amount, const QLocale &locale);
