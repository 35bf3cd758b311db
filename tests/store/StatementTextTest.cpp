#include "store/StatementText.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct StatementCase {
    const char *name;
    QByteArray text;
    QByteArray expected;            // with every marker written as "?"
    std::vector<QByteArray> params; // in order of first appearance
    std::vector<int> markers;       // parameter index of each marker
};

void PrintTo(const StatementCase &c, std::ostream *os) {
    *os << c.name;
}

class StatementTextTest : public ::testing::TestWithParam<StatementCase> {};

TEST_P(StatementTextTest, RebuildsTextAndFindsParameters) {
    const StatementCase &c = GetParam();
    const StatementTemplate t = parseStatement(c.text);

    EXPECT_EQ(t.withQuestionMarks(), c.expected);
    EXPECT_EQ(t.paramNames, c.params);
    EXPECT_EQ(t.markers, c.markers);
    ASSERT_EQ(t.pieces.size(), t.markers.size() + 1);
}

const StatementCase statementCases[] = {
    // Without a colon the text goes out exactly as written.
    {"NoColonUnchanged",
     "select *  from t -- note\r\n where a = 1 /* x */ ",
     "select *  from t -- note\r\n where a = 1 /* x */ ",
     {},
     {}},
    {"EmptyText", "", "", {}, {}},

    // Markers.
    {"TheProgramsSearch",
     "Select * from rehber where gsmtel1 Like:MAG",
     "Select * from rehber where gsmtel1 Like?",
     {"MAG"},
     {0}},
    {"TheProgramsCallList",
     "select * from arayanlar where tarih=:par1",
     "select * from arayanlar where tarih=?",
     {"par1"},
     {0}},
    {"MarkerAtStartAndEnd", ":a=:b", "?=?", {"a", "b"}, {0, 1}},
    {"WordCharacters", "x=:_a$1 and y=:\xfe\xfd", "x=? and y=?", {"_a$1", "\xfe\xfd"}, {0, 1}},
    {"MarkerEndsAtSymbol", "f(:a,:b)+1", "f(?,?)+1", {"a", "b"}, {0, 1}},
    {"MarkerBeforeString", "a=:p'x'", "a=?'x'", {"p"}, {0}},
    {"OperatorWordsInsideLongerNames",
     "a=:ANDx or b=:null_ok or c=:isa",
     "a=? or b=? or c=?",
     {"ANDx", "null_ok", "isa"},
     {0, 1, 2}},
    {"DoubleQuotedName", "a=:\"a b\"", "a=?", {"a b"}, {0}},
    {"SingleQuotedName", "a=:'x'", "a=?", {"x"}, {0}},
    {"QuotedNameWithEscapes",
     "a=:'it''s' and b=:\"x\\\"y\"",
     "a=? and b=?",
     {"it's", "x\"y"},
     {0, 1}},
    {"QuotedNameMatchesWord", "a=:'MAG' or b=:mag", "a=? or b=?", {"MAG"}, {0, 0}},

    // One parameter per name, letter case ignored, first spelling kept.
    {"NameUsedTwice", "a=:p or b=:p", "a=? or b=?", {"p"}, {0, 0}},
    {"NameInOtherCase", "a=:Par or b=:pAR or c=:q", "a=? or b=? or c=?", {"Par", "q"}, {0, 0, 1}},

    // A doubled colon is one literal colon.
    {"DoubleColon", "select '1' :: x, :a", "select '1' : x, ?", {"a"}, {0}},
    {"DoubleColonThenMarker", "a:::b", "a:?", {"b"}, {0}},
    {"DoubleColonBeforeEquals", "set @v ::= :x", "set @v := ?", {"x"}, {0}},

    // Colons inside strings, names in grave accents and comments are no markers.
    {"ColonInSingleQuotes", "a=':x' and b=:y", "a=':x' and b=?", {"y"}, {0}},
    {"ColonInDoubleQuotes", "a=\":x\" and b=:y", "a=\":x\" and b=?", {"y"}, {0}},
    {"ColonInBackticks",
     "select `a:b` from t where c=:y",
     "select `a:b` from t where c=?",
     {"y"},
     {0}},
    {"ColonInDashComment",
     "select 1 -- :x\nfrom t where c=:y",
     "select 1 from t where c=?",
     {"y"},
     {0}},
    {"ColonInHashComment",
     "select 1 # :x\r\nfrom t where c=:y",
     "select 1 from t where c=?",
     {"y"},
     {0}},
    {"ColonInBlockComment", "select /* :x \n */ 1 where c=:y", "select 1 where c=?", {"y"}, {0}},
    {"ExecutableCommentDropped", "select /*!40001 :x */ 1, :y", "select 1, ?", {"y"}, {0}},
    {"ColonOnlyInString", "select 'a:b'  ,\t1", "select 'a:b' , 1", {}, {}},

    // Escapes that must not end a string early.
    {"BackslashQuote", "a='it\\':x' and b=:y", "a='it\\':x' and b=?", {"y"}, {0}},
    {"DoubledQuote", "a='it'':x' and b=:y", "a='it'':x' and b=?", {"y"}, {0}},
    {"BackslashDoubleQuote", "a=\"a\\\":x\" and b=:y", "a=\"a\\\":x\" and b=?", {"y"}, {0}},
    {"EscapedBackslashEndsString", "a='x\\\\' and b=:y", "a='x\\\\' and b=?", {"y"}, {0}},
    {"DoubledBacktick", "select `a``:b` from t, :y", "select `a``:b` from t, ?", {"y"}, {0}},
    {"BacktickIgnoresBackslash", "select `a\\` , :y", "select `a\\` , ?", {"y"}, {0}},
    {"UnclosedStringKept", "a=:y and b='x :z", "a=? and b='x :z", {"y"}, {0}},
    {"UnclosedCommentKept", "a=:y /* :z", "a=? /* :z", {"y"}, {0}},

    // When to read two dashes as a comment.
    {"DashesWithoutBlankAreMinus", "a=1--:x", "a=1--?", {"x"}, {0}},
    {"DashesBeforeTab", "a=:x --\t:y\nb", "a=? b", {"x"}, {0}},
    {"DashesAtEnd", "a=:x --", "a=?", {"x"}, {0}},

    // White space folded, comments dropped, ends trimmed.
    {"WhiteSpaceFolded",
     "  select\t*\r\n\r\n from  t\n where a =\t:x  \n",
     "select * from t where a = ?",
     {"x"},
     {0}},
    {"CommentSeparatesTokens",
     "select/*c*/a from t where b=:x",
     "select a from t where b=?",
     {"x"},
     {0}},
    {"CommentBetweenBlanksIsOneBlank", "a /* c */ = :x", "a = ?", {"x"}, {0}},
    {"LeadingAndTrailingComments", "/* head */ a=:x -- tail", "a=?", {"x"}, {0}},
    {"BlanksInsideStringsKept", "a='x  \t y' and b=:p", "a='x  \t y' and b=?", {"p"}, {0}},
};

INSTANTIATE_TEST_SUITE_P(Cases, StatementTextTest, ::testing::ValuesIn(statementCases),
                         [](const ::testing::TestParamInfo<StatementCase> &info) {
                             return std::string(info.param.name);
                         });

struct BadMarkerCase {
    const char *name;
    QByteArray text;
};

void PrintTo(const BadMarkerCase &c, std::ostream *os) {
    *os << c.name;
}

class BadMarkerTest : public ::testing::TestWithParam<BadMarkerCase> {};

TEST_P(BadMarkerTest, FailsWithIncorrectToken) {
    const BadMarkerCase &c = GetParam();
    try {
        parseStatement(c.text);
        FAIL() << "no error for " << c.text.constData();
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Incorrect token followed by \":\""));
    }
}

const BadMarkerCase badMarkerCases[] = {
    {"Blank", "a = : x"},
    {"Tab", "a = :\tx"},
    {"Number", "a = :1"},
    {"NumberThenLetters", "a = :1abc"},
    {"Backticks", "a = :`x`"},
    {"And", "a = :AND"},
    {"Like", "a = :like"},
    {"Null", "a = :Null"},
    {"Or", "a = :or"},
    {"Not", "a = :nOt"},
    {"Xor", "a = :XOR"},
    {"Is", "a = :is"},
    {"True", "a = :True"},
    {"False", "a = :FALSE"},
    {"Parenthesis", "a = :(x)"},
    {"ColonEquals", "set @v := 1"},
    {"AtTheEnd", "a = :"},
    {"AfterDoubleColon", "a = :::"},
    {"UnclosedQuotedName", "a = :'x"},
    {"EmptyQuotedName", "a = :''"},
    {"AfterValidMarker", "a = :x and b = : y"},
};

INSTANTIATE_TEST_SUITE_P(Cases, BadMarkerTest, ::testing::ValuesIn(badMarkerCases),
                         [](const ::testing::TestParamInfo<BadMarkerCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(StatementTemplate, PiecesSurroundEachMarker) {
    const StatementTemplate t = parseStatement("Select * from rehber where gsmtel1 Like:MAG");
    const std::vector<QByteArray> pieces = {"Select * from rehber where gsmtel1 Like", ""};
    EXPECT_EQ(t.pieces, pieces);

    const StatementTemplate u = parseStatement(" a = :x ,\n:y-- c");
    const std::vector<QByteArray> upieces = {"a = ", " , ", ""};
    EXPECT_EQ(u.pieces, upieces);
}

} // namespace
