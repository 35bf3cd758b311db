#include "callerid/NcidLineParser.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Expected {
    const char *line, *number, *name, *date, *time, *message;
};

struct Case {
    const char *label;
    QString text;
    std::optional<Expected> call;
};

} // namespace

TEST(NcidLineParser, OnlyLiveIncomingCallLinesAreCalls) {
    const std::vector<Case> cases = {
        {"typical",
         QStringLiteral("CID: *DATE*10122026*TIME*1405*LINE*POTS*NMBR*05321234567*MESG*NONE*"
                        "NAME*NO NAME*"),
         Expected{"1", "05321234567", "", "10122026", "1405", ""}},
        {"fields in another order, unknown fields",
         QStringLiteral("CID: *NAME*AHMET YILMAZ*NMBR*05321234567*FNMBR*0532-123-45-67*LINE*2*"
                        "NTYPE*CELL*TIME*0930*DATE*10122026*MESG*NONE*CTRY*TR*"),
         Expected{"2", "05321234567", "AHMET YILMAZ", "10122026", "0930", ""}},
        {"numeric line with leading zeros",
         QStringLiteral("CID: *DATE*10122026*TIME*1405*LINE*0003*NMBR*123*MESG*NONE*NAME*X*"),
         Expected{"3", "123", "X", "10122026", "1405", ""}},
        {"old server line name",
         QStringLiteral("CID: *DATE*10122026*TIME*1405*LINE*-*NMBR*123*MESG*NONE*NAME*X*"),
         Expected{"1", "123", "X", "10122026", "1405", ""}},
        {"private",
         QStringLiteral(
             "CID: *DATE*10122026*TIME*1405*LINE*HOME*NMBR*PRIVATE*MESG*NONE*NAME*PRIVATE*"),
         Expected{"1", "Gizli Numara", "Gizli Numara", "10122026", "1405", ""}},
        {"out of area",
         QStringLiteral("CID: *DATE*10122026*TIME*1405*LINE*1*NMBR*O*MESG*NONE*NAME*OUT-OF-AREA*"),
         Expected{"1", "Bölge Dışı", "Bölge Dışı", "10122026", "1405", ""}},
        {"message kept",
         QStringLiteral("CID: *DATE*10122026*TIME*1405*LINE*1*NMBR*123*MESG*0F0141*NAME*NO NAME*"),
         Expected{"1", "123", "", "10122026", "1405", "0F0141"}},
        {"call waiting",
         QStringLiteral("WID: *DATE*10122026*TIME*1405*LINE*1*NMBR*555*MESG*NONE*NAME*B*"),
         Expected{"1", "555", "B", "10122026", "1405", ""}},
        {"Turkish name",
         QStringLiteral("CID: *DATE*10122026*TIME*1405*LINE*1*NMBR*1*MESG*NONE*NAME*ŞEKER ÇİÇEK*"),
         Expected{"1", "1", "ŞEKER ÇİÇEK", "10122026", "1405", ""}},
        {"no number field", QStringLiteral("CID: *DATE*10122026*TIME*1405*LINE*1*NAME*X*"),
         std::nullopt},
        {"history",
         QStringLiteral("CIDLOG: *DATE*10122026*TIME*1405*LINE*1*NMBR*123*MESG*NONE*NAME*X*"),
         std::nullopt},
        {"server hang-up",
         QStringLiteral("HUP: *DATE*10122026*TIME*1405*LINE*1*NMBR*123*MESG*NONE*NAME*X*"),
         std::nullopt},
        {"blocked",
         QStringLiteral("BLK: *DATE*10122026*TIME*1405*LINE*1*NMBR*123*MESG*NONE*NAME*X*"),
         std::nullopt},
        {"outgoing",
         QStringLiteral("OUT: *DATE*10122026*TIME*1405*LINE*1*NMBR*123*MESG*NONE*NAME*X*"),
         std::nullopt},
        {"smartphone",
         QStringLiteral("PID: *DATE*10122026*TIME*1405*LINE*1*NMBR*123*MESG*NONE*NAME*X*"),
         std::nullopt},
        {"ring count", QStringLiteral("CIDINFO: *LINE*1*RING*2*TIME*14:05:12*"), std::nullopt},
        {"message", QStringLiteral("MSG: CID: *NMBR*123*"), std::nullopt},
        {"notice", QStringLiteral("NOT: *DATE*10122026*TIME*1405*NMBR*123*"), std::nullopt},
        {"option", QStringLiteral("OPT: hangup-1"), std::nullopt},
        {"greeting", QStringLiteral("200 Server: ncidd (NCID) 1.7"), std::nullopt},
        {"end of start-up", QStringLiteral("300 End of server startup"), std::nullopt},
        {"empty", QString(), std::nullopt},
    };
    for (const Case &c : cases) {
        const auto call = ncid::parseCallLine(c.text);
        ASSERT_EQ(call.has_value(), c.call.has_value()) << c.label;
        if (!call)
            continue;
        EXPECT_EQ(call->line, QString::fromUtf8(c.call->line)) << c.label;
        EXPECT_EQ(call->number, QString::fromUtf8(c.call->number)) << c.label;
        EXPECT_EQ(call->name, QString::fromUtf8(c.call->name)) << c.label;
        EXPECT_EQ(call->date, QString::fromUtf8(c.call->date)) << c.label;
        EXPECT_EQ(call->time, QString::fromUtf8(c.call->time)) << c.label;
        EXPECT_EQ(call->message, QString::fromUtf8(c.call->message)) << c.label;
    }
}

TEST(NcidLineParser, StatusCodes) {
    EXPECT_EQ(ncid::statusCode(QStringLiteral("200 Server: ncidd")), 200);
    EXPECT_EQ(ncid::statusCode(QStringLiteral("300 End of server startup")), 300);
    EXPECT_EQ(ncid::statusCode(QStringLiteral("250")), 250);
    EXPECT_EQ(ncid::statusCode(QStringLiteral("2000 x")), 0);
    EXPECT_EQ(ncid::statusCode(QStringLiteral("CID: *NMBR*200*")), 0);
}

TEST(NcidLineParser, GatewayCallsRoundTripAndServerLinesStayParsable) {
    const QDateTime when(QDate(2026, 10, 12), QTime(14, 5));
    const QString gateway = ncid::formatGatewayCall(
        when, QStringLiteral("1"), QStringLiteral("05321234567"), QStringLiteral("A*B ...Ltd+++"));
    EXPECT_EQ(gateway, QStringLiteral("CALL: ###DATE10121405...CALLIN...LINE1...NMBR05321234567"
                                      "...NAMEA-B ..Ltd+++"));
    const auto parsed = ncid::parseGatewayCall(gateway);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->type, QStringLiteral("IN"));
    EXPECT_EQ(parsed->number, QStringLiteral("05321234567"));
    EXPECT_EQ(parsed->name, QStringLiteral("A-B ..Ltd"));
    EXPECT_EQ(parsed->dateTime, QStringLiteral("10121405"));

    // The older gateway form without a call type.
    const auto old = ncid::parseGatewayCall(
        QStringLiteral("CALL: ###DATE05111525...LINE1122...NMBR14075555000...NAMEJohn @ home+++"));
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->type, QString());
    EXPECT_EQ(old->line, QStringLiteral("1122"));
    EXPECT_EQ(old->name, QStringLiteral("John @ home"));
    EXPECT_FALSE(ncid::parseGatewayCall(QStringLiteral("CALLINFO: ###CANCEL...NMBR1+++")));

    const QString cid = ncid::formatCallLine(QStringLiteral("CID"), when, QStringLiteral("1"),
                                             QStringLiteral("0532*1"), QString());
    EXPECT_EQ(cid, QStringLiteral(
                       "CID: *DATE*10122026*TIME*1405*LINE*1*NMBR*0532-1*MESG*NONE*NAME*NO NAME*"));
    const auto call = ncid::parseCallLine(cid);
    ASSERT_TRUE(call.has_value());
    EXPECT_EQ(call->number, QStringLiteral("0532-1"));
    EXPECT_EQ(call->name, QString());
}
