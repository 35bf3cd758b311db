#include "callerid/ModemCallerIdParser.h"

#include <gtest/gtest.h>

namespace {

struct Expected {
    const char *number, *name, *date, *time, *message;
};

struct Case {
    const char *label;
    QByteArray output; // what the modem writes, ending however the modem ends it
    std::vector<Expected> calls;
};

// Modem output as the makers' manuals and caller-ID projects show it.
const std::vector<Case> &cases() {
    static const std::vector<Case> table = {
        {"blanks around equals, between the rings",
         "\r\nRING\r\n\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5045551234\r\nNAME = JOHN DOE\r\n"
         "\r\nRING\r\n",
         {{"5045551234", "JOHN DOE", "0321", "1405", ""}}},
        {"no blanks around equals",
         "RING\r\nDATE=0321\r\nTIME=1405\r\nNMBR=5045551234\r\nNAME=JOHN DOE\r\nRING\r\n",
         {{"5045551234", "JOHN DOE", "0321", "1405", ""}}},
        {"each tag as a result of its own",
         "\r\nDATE = 0125\r\n\r\nTIME = 1419\r\n\r\nNMBR = 4075551212\r\n\r\nNAME = SMITH JOHN\r\n"
         "\r\nRING\r\n",
         {{"4075551212", "SMITH JOHN", "0125", "1419", ""}}},
        {"number only, before the first ring, line feeds only",
         "\nDATE = 1012\nTIME = 1405\nNMBR = 05321234567\n\nRING\n",
         {{"05321234567", "", "1012", "1405", ""}}},
        {"name before number",
         "\r\nNAME = AYSE KAYA\r\nNMBR = 02125551234\r\nDATE = 1012\r\nTIME = 0930\r\n\r\nRING\r\n",
         {{"02125551234", "AYSE KAYA", "1012", "0930", ""}}},
        {"private caller",
         "RING\r\n\r\nDATE = 1012\r\nTIME = 1405\r\nNMBR = P\r\nNAME = P\r\n\r\nRING\r\n",
         {{"Gizli Numara", "Gizli Numara", "1012", "1405", ""}}},
        {"out of area caller",
         "RING\r\n\r\nDATE = 1012\r\nTIME = 1405\r\nNMBR = O\r\nNAME = O\r\n\r\nRING\r\n",
         {{"Bölge Dışı", "Bölge Dışı", "1012", "1405", ""}}},
        {"anonymous caller",
         "RING\r\n\r\nDATE = 1012\r\nTIME = 1405\r\nNMBR = A\r\n\r\nRING\r\n",
         {{"Anonim Arama", "", "1012", "1405", ""}}},
        {"name withheld, no number tag",
         "RING\r\n\r\nDATE = 1012\r\nTIME = 1405\r\nNAME = O\r\n\r\nRING\r\n",
         {{"Bölge Dışı", "Bölge Dışı", "1012", "1405", ""}}},
        {"dialable directory number",
         "RING\r\n\r\nDATE = 1012\r\nTIME = 1405\r\nDDN_NMBR= 5551234567\r\nNAME = ACME\r\n\r\n",
         {{"5551234567", "ACME", "1012", "1405", ""}}},
        {"undecoded item beside the number",
         "\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5045551234\r\nMESG = 0F0141\r\n\r\nRING\r\n",
         {{"5045551234", "", "0321", "1405", "0F0141"}}},
        {"message waiting notice only", "\r\nMESG = 060142\r\n\r\n", {}},
        {"two calls, the second without a ring in between",
         "DATE = 1012\r\nTIME = 1405\r\nNMBR = 111\r\nDATE = 1012\r\nTIME = 1410\r\nNMBR = 222\r\n",
         {{"111", "", "1012", "1405", ""}, {"222", "", "1012", "1410", ""}}},
        {"results and noise around the block",
         "OK\r\n\x10\r\nRING\r\n\r\nDATE = 1012\r\nTIME = 1405\x11\r\nNMBR = 123\r\nOK\r\n",
         {{"123", "", "1012", "1405", ""}}},
        {"Turkish name in Windows-1254",
         "DATE = 1012\r\nTIME = 1405\r\nNMBR = 05321234567\r\nNAME = \xde"
         "EKER \xc7\x49\xc7\x45K\r\n",
         {{"05321234567", "ŞEKER ÇIÇEK", "1012", "1405", ""}}},
        {"last line without its end",
         "DATE = 1012\r\nTIME = 1405\r\nNMBR = 05321234567",
         {{"05321234567", "", "1012", "1405", ""}}},
    };
    return table;
}

QList<CallerIdCall> parseInPieces(const QByteArray &output, const QList<qsizetype> &cuts) {
    ModemCallerIdParser parser;
    QList<CallerIdCall> calls;
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        calls += parser.feed(output.mid(from, cut - from));
        from = cut;
    }
    calls += parser.feed(output.mid(from));
    calls += parser.flush();
    return calls;
}

void expectCalls(const QList<CallerIdCall> &calls, const std::vector<Expected> &expected,
                 const std::string &where) {
    ASSERT_EQ(calls.size(), static_cast<qsizetype>(expected.size())) << where;
    for (size_t i = 0; i < expected.size(); ++i) {
        const CallerIdCall &call = calls.at(static_cast<qsizetype>(i));
        EXPECT_EQ(call.number, QString::fromUtf8(expected[i].number)) << where;
        EXPECT_EQ(call.name, QString::fromUtf8(expected[i].name)) << where;
        EXPECT_EQ(call.date, QString::fromUtf8(expected[i].date)) << where;
        EXPECT_EQ(call.time, QString::fromUtf8(expected[i].time)) << where;
        EXPECT_EQ(call.message, QString::fromUtf8(expected[i].message)) << where;
        EXPECT_EQ(call.line, QStringLiteral("1")) << where;
    }
}

} // namespace

TEST(ModemCallerIdParser, ReadsRealModemBlocksHoweverTheReadsSplitThem) {
    for (const Case &c : cases()) {
        const QByteArray output(c.output);
        expectCalls(parseInPieces(output, {}), c.calls, std::string(c.label) + ", whole");
        for (qsizetype cut = 1; cut < output.size(); ++cut)
            expectCalls(parseInPieces(output, {cut}), c.calls,
                        std::string(c.label) + ", cut at " + std::to_string(cut));
        QList<qsizetype> everyByte;
        for (qsizetype cut = 1; cut < output.size(); ++cut)
            everyByte.append(cut);
        expectCalls(parseInPieces(output, everyByte), c.calls,
                    std::string(c.label) + ", byte by byte");
    }
}

TEST(ModemCallerIdParser, ABlockEndsAtARingAndIsPendingUntilThen) {
    ModemCallerIdParser parser;
    EXPECT_FALSE(parser.pending());
    EXPECT_TRUE(parser.feed("\r\nRING\r\n\r\nDATE = 1012\r\nNMB").isEmpty());
    EXPECT_TRUE(parser.pending());
    EXPECT_TRUE(parser.feed("R = 123\r\n").isEmpty());
    EXPECT_TRUE(parser.pending());
    const QList<CallerIdCall> calls = parser.feed("\r\nRING\r\n");
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls.at(0).number, QStringLiteral("123"));
    EXPECT_EQ(calls.at(0).dateTime(), QStringLiteral("1012"));
    EXPECT_FALSE(parser.pending());
    EXPECT_TRUE(parser.flush().isEmpty());
}

TEST(ModemCallerIdParser, EventTextsJoinDateTimeAndNameWithMessage) {
    CallerIdCall call;
    call.date = QStringLiteral("1012");
    call.time = QStringLiteral("1405");
    call.name = QStringLiteral("JOHN");
    call.message = QStringLiteral("0F0141");
    EXPECT_EQ(call.dateTime(), QStringLiteral("1012 1405"));
    EXPECT_EQ(call.otherText(), QStringLiteral("JOHN / 0F0141"));
    call.name.clear();
    EXPECT_EQ(call.otherText(), QStringLiteral("0F0141"));
}
