#pragma once

#include <QByteArray>
#include <QString>

// One incoming call as a caller-ID back end reports it, before it becomes the device
// component's OnCallerID event.
struct CallerIdCall {
    QString deviceId;                   // which device saw it (port path, or host:port)
    QString line = QStringLiteral("1"); // the telephone line, always a whole number
    QString number;                     // as delivered; a withheld number says so in words
    QString name;                       // the caller's listed name, when the network sent one
    QString date;                       // as the device wrote it (MMDD, or MMDDYYYY from NCID)
    QString time;                       // as the device wrote it (HHMM)
    QString message;                    // anything else the device reported, e.g. MESG data

    // The DateTime text of the event: the device's date and time as it wrote them.
    QString dateTime() const;
    // The OtherText of the event: the name, followed by the message when there is one.
    QString otherText() const;
};

namespace callerid {

// The words shown for a number or name that the network withholds: the caller-ID codes
// "P" (private), "O" (out of area, unavailable) and "A" (anonymous), and NCID's spelled-out
// forms of them. Returns an empty text for anything else.
QString withheldText(const QString &code);

// A line number for the event: a whole number stays (without leading zeros); a line name
// that is not a number ("POTS", "-", "HOME", empty) is line 1.
QString lineNumber(const QString &lineName);

// Text from a device: UTF-8 when the bytes are valid UTF-8, otherwise Windows-1254.
// Control characters are dropped.
QString decodeDeviceText(const QByteArray &bytes);

} // namespace callerid
