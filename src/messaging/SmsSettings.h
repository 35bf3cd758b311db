#pragma once

#include <QString>

// Section [Sms] of the settings file: the SMS provider, the account there, and the
// business's addresses that the messages carry. A key that is missing or empty keeps the
// value below; an empty Url means that no provider is set and nothing is sent.
struct SmsSettings {
    QString Url;                                     // the provider, http://host[:port]
    QString UserName = QStringLiteral("5400000000"); // the account at the provider
    QString Password = QStringLiteral("40286153");
    QString Originator = QStringLiteral("Zefiran");             // the sender shown on the phone
    QString WebAddress = QStringLiteral("www.zefiran.com.tr");  // in the message header
    QString SupportHost = QStringLiteral("www.zefiran.com.tr"); // its /destek page
};
