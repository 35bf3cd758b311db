#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <functional>

// A made-up but realistic customer directory: customers with Turkish names, phone numbers
// in the form the caller-ID device delivers them, groups and referrals, calls, offers with
// their lines and the bank accounts. Texts are Windows-1254 bytes, written as multi-row
// INSERT statements for a connection whose character set is latin5.
//
// The numbers come from a fixed start value, so the same settings give the same data.
namespace demodata {

struct Settings {
    int customers = 300;
    // Calls are spread over this many days, the last one being `today`.
    int days = 21;
    // Total number of calls; -1: a business's usual number per day for the directory's size.
    int calls = -1;
    // Number of offers; -1: about one customer in five has one.
    int offers = -1;
    QDate today = QDate::currentDate();
    // No call of `today` is later than this (by default: no call from the future).
    QTime latestCallToday = QTime::currentTime();
    int rowsPerStatement = 500;
};

struct Counts {
    int customers = 0;
    int calls = 0;
    int knownCalls = 0; // calls whose number is in the directory
    int offers = 0;
    int offerLines = 0;
    int accounts = 0;
};

// Receives each statement, ending with ';' and without a line break.
using StatementSink = std::function<void(const QByteArray &statement)>;

// Sends the INSERT statements of the whole directory to sink: rehber (with Id 1..customers,
// so the table must be empty), arayanlar, teklif, teklifler, banka.
Counts generate(const Settings &settings, const StatementSink &sink);

// Values the generated groups and referrals are taken from (besides null and empty).
QStringList groupValues();
QStringList referralValues();

// A well-formed mobile number that the generator never gives to anyone.
QByteArray absentNumber();

// bytes as a quoted SQL literal for a latin5 connection: quote, backslash, line breaks,
// NUL and Ctrl-Z escaped with a backslash.
QByteArray quoted(const QByteArray &bytes);

} // namespace demodata
