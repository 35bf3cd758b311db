#pragma once

#include "messaging/SmsSettings.h"

#include <QString>

// The provider's request for one message: a SingleTextSMS document, carried both in the
// address (percent-encoded UTF-8 in the query key "data") and as the body of a GET.

// A message longer than this costs two.
constexpr int kSingleSmsLength = 160;

// The message's length as the provider counts it: each character one, a line break (CR LF)
// two.
int smsLength(const QString &message);

// The request document: no declaration, no white space between elements. Every value is
// escaped as XML text, so that a "&" or "<" in the message cannot break the document and no
// text can add elements (another Numbers, say) to it.
QString smsRequestXml(const SmsSettings &account, const QString &message, const QString &number);

// The provider's address with the path "/api/mesaj_gonder" and "?data=" + the document in
// percent-encoded UTF-8. providerUrl is scheme, host and port; a trailing "/" is dropped.
QString smsRequestAddress(const QString &providerUrl, const QString &requestXml);

// Why providerUrl cannot be used (in the user's words), or empty when it can: it must be an
// http or https address with a host.
QString providerUrlProblem(const QString &providerUrl);

// The request's header, exactly as the provider expects it.
extern const QString kSmsContentTypeName;  // "Content-type"
extern const QString kSmsContentTypeValue; // "content=text/html; charset=UTF-8"
