#pragma once

#include "callerid/CallerIdCall.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// The lines of the NCID network caller-ID protocol (text lines over TCP, port 3333 by
// default). A server greets a client with a "200 ..." line, may send its options ("OPT:")
// and its call history ("CIDLOG:", "HUPLOG:", ... lines, then "250 End of call log" or
// another 25x line), and ends its start-up with "300 End of server startup". Afterwards
// each incoming call arrives as one line of field pairs in any order:
//
//     CID: *DATE*10122026*TIME*1405*LINE*POTS*NMBR*05321234567*MESG*NONE*NAME*NO NAME*
//
// "WID:" is the same for a call waiting on a busy line. Every other line (messages,
// notices, hang-ups by the server, blocked, outgoing and smartphone calls, ring counts)
// is no incoming call here.
namespace ncid {

// The call an incoming-call line ("CID:" or "WID:") reports; nothing for any other line,
// and nothing for a call line without the NMBR field.
std::optional<CallerIdCall> parseCallLine(const QString &line);

// The field pairs after a line's type, in their order: "*DATE*1012*NMBR*123*" gives
// (DATE, 1012), (NMBR, 123).
QList<QPair<QString, QString>> fieldPairs(const QString &body);

// The code of a numbered status line ("200 ...", "300 End of server startup"), or 0.
int statusCode(const QString &line);

// A call line as a server writes it: type "CID" for a live call, "CIDLOG" for history.
// Date and time are written as MMDDYYYY and HHMM.
QString formatCallLine(const QString &type, const QDateTime &when, const QString &line,
                       const QString &number, const QString &name);

// A call as an NCID gateway hands it to the server:
//     CALL: ###DATE10121405...CALLIN...LINE1...NMBR05321234567...NAMEAHMET YILMAZ+++
QString formatGatewayCall(const QDateTime &when, const QString &line, const QString &number,
                          const QString &name);

struct GatewayCall {
    QString type;     // IN, OUT, ...; empty when the gateway sent none (an incoming call)
    QString dateTime; // MMDDhhmm as sent
    QString line;
    QString number;
    QString name;
};

// Reads a gateway's "CALL:" line; nothing for any other line.
std::optional<GatewayCall> parseGatewayCall(const QString &line);

// A field value made safe for a line of field pairs: no '*', no line ends.
QString fieldValue(const QString &text);

} // namespace ncid
