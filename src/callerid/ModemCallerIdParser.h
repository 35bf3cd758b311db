#pragma once

#include "callerid/CallerIdCall.h"
#include "callerid/LineSplitter.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Reads the formatted caller-ID report of a Hayes-style modem (AT+VCID=1, AT#CID=1 and
// their kin). The modem writes one tag line per item, in any order, e.g.
//
//     RING
//
//     DATE = 1012
//     TIME = 1405
//     NMBR = 05321234567
//     NAME = AHMET YILMAZ
//
//     RING
//
// Tags: DATE (MMDD), TIME (HHMM), NMBR (the number, or P / O / A for a private, out of
// area or anonymous caller), DDN_NMBR (the dialable number some modems send instead),
// NAME (the listed name, or P / O / A) and MESG (data the modem did not decode). Blanks
// around "=" vary between makers and some modems write ":" instead. A block ends at the
// next line that is not a tag (RING, OK, ...), when a tag repeats (a new block begins), or
// when the caller says the line has been quiet (flush()). A block makes a call when it
// holds a number or a name; a block without either (a message-waiting notice is sent as
// MESG alone) is dropped.
class ModemCallerIdParser {
public:
    // Feeds raw bytes from the port, split anywhere; returns the calls of the blocks that
    // ended.
    QList<CallerIdCall> feed(const QByteArray &bytes);

    // Feeds one line (without its end). Returns the call of a block that this line ended.
    std::optional<CallerIdCall> feedLine(const QByteArray &line);

    // Ends the block in progress, including a tag line still waiting for its end.
    QList<CallerIdCall> flush();

    // True while a block has begun and not ended.
    bool pending() const;

    // True for a line that is one of the tags above.
    static bool isTagLine(const QByteArray &line);

private:
    struct Block {
        std::optional<QString> date, time, number, ddnNumber, name, message;
        bool empty() const { return !date && !time && !number && !ddnNumber && !name && !message; }
    };

    std::optional<CallerIdCall> finish();

    LineSplitter m_lines;
    Block m_block;
};
