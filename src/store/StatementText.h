#pragma once

#include <QByteArray>

#include <vector>

// A statement as it is sent, split at its parameter markers.
//
// When the text has no colon it is kept unchanged (no markers). Otherwise it is rebuilt
// from its MySQL tokens: comments dropped, every run of white space folded to one blank,
// the result trimmed; a colon followed by a word or by a name in single or double quotes
// is a marker, "::" is one literal colon.
struct StatementTemplate {
    // pieces.size() == markers.size() + 1; the statement is
    // pieces[0] + value(markers[0]) + pieces[1] + ... + pieces.back().
    std::vector<QByteArray> pieces;
    // For each marker, the index of its parameter in paramNames.
    std::vector<int> markers;
    // Parameter names in order of first appearance; a name used twice (letter case
    // ignored) is one parameter.
    std::vector<QByteArray> paramNames;

    // The statement with every marker written as "?".
    QByteArray withQuestionMarks() const;
};

// Throws Error("Incorrect token followed by \":\"") for a colon followed by anything but a
// word or a quoted name (a blank, a number, a name in backticks, a symbol, the end of the
// text, or one of the words AND OR NOT XOR LIKE IS NULL TRUE FALSE in any letter case).
StatementTemplate parseStatement(const QByteArray &text);
