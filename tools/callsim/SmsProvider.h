#pragma once

#include "callsim/HttpServer.h"

#include <QString>

#include <mutex>
#include <vector>

// One message as the SMS provider received it.
struct ReceivedSms {
    QString requestXml;     // the "data" key of the address, decoded from percent-encoded UTF-8
    QByteArray contentType; // the request's Content-type header
    QByteArray body;        // the request's body
    QString number;         // Numbers of the document
    QString message;        // Mesgbody of the document
};

// The decoded "data" key of a request's address; empty when it has none.
QString smsRequestData(const HttpServerRequest &request);

// The bulk-SMS provider of the simulator: GET /api/mesaj_gonder?data=<SingleTextSMS document>
// is taken and answered with a short text; a request without a readable document is refused
// with status 400 and what is wrong with it, any other path gets 404.
class SmsProvider {
public:
    static constexpr const char *kPath = "/api/mesaj_gonder";

    // Safe to call from the server's thread while another thread reads received().
    HttpServerResponse answer(const HttpServerRequest &request);
    std::vector<ReceivedSms> received() const;

private:
    mutable std::mutex m_mutex;
    std::vector<ReceivedSms> m_received;
};
