#include "store/StatementText.h"

#include "platform/Error.h"

#include <QString>

// The statement is scanned with MySQL's lexical rules, byte by byte (the text is
// Windows-1254, one byte per character):
//   - '...' and "..." strings: a backslash takes the next byte with it, a doubled quote
//     stays inside the string;
//   - `...` names: a doubled grave accent stays inside the name;
//   - comments: "#" to the end of the line, "-- " (two dashes followed by a blank, a
//     control character or the end) to the end of the line, "/* ... */" (also the
//     "/*! ... */" form);
//   - words: letters, digits, "_", "$" and every byte from 0x80 up;
//   - white space: blank, tab, line feed, carriage return, vertical tab, form feed.
// Strings and names are copied unchanged. A comment counts as white space: it separates
// the tokens on either side of it, so "a/*x*/b" becomes "a b", never "ab".

namespace {

[[noreturn]] void throwIncorrectToken() {
    throw Error(QStringLiteral("Incorrect token followed by \":\""));
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '_' || c == '$' ||
           u >= 0x80;
}

// Words that cannot name a parameter: a colon before them is an error.
bool isOperatorWord(const QByteArray &word) {
    static const char *const words[] = {"AND", "OR",   "NOT",  "XOR",  "LIKE",
                                        "IS",  "NULL", "TRUE", "FALSE"};
    for (const char *w : words) {
        if (word.compare(QByteArray(w), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The end (one past the closing quote) of the quoted text that starts at begin, or -1 when
// the quote is never closed. Backslash escapes apply to single and double quotes only.
qsizetype quotedEnd(const QByteArray &text, qsizetype begin) {
    const char quote = text.at(begin);
    const bool backslashEscapes = quote != '`';
    const qsizetype n = text.size();
    qsizetype i = begin + 1;
    while (i < n) {
        const char c = text.at(i);
        if (backslashEscapes && c == '\\') {
            i += 2;
        } else if (c == quote) {
            if (i + 1 < n && text.at(i + 1) == quote)
                i += 2;
            else
                return i + 1;
        } else {
            ++i;
        }
    }
    return -1;
}

// The content of a closed quoted text without its quotes: a doubled quote is one quote, a
// backslash gives the byte after it.
QByteArray unquote(const QByteArray &text, qsizetype begin, qsizetype end) {
    const char quote = text.at(begin);
    QByteArray out;
    for (qsizetype i = begin + 1; i < end - 1; ++i) {
        const char c = text.at(i);
        if (c == '\\' && i + 1 < end - 1) {
            out += text.at(++i);
        } else if (c == quote) {
            out += c; // the first of a doubled quote
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Two dashes start a comment only when a blank, a control character or the end follows.
bool startsDashComment(const QByteArray &text, qsizetype i) {
    if (text.at(i) != '-' || i + 1 >= text.size() || text.at(i + 1) != '-')
        return false;
    if (i + 2 >= text.size())
        return true;
    const auto next = static_cast<unsigned char>(text.at(i + 2));
    return next == ' ' || next < 0x20 || next == 0x7f;
}

class Builder {
public:
    explicit Builder(StatementTemplate &result)
        : m_result(result) {
        m_result.pieces.emplace_back();
    }

    // White space or a comment: at most one blank, and none at either end.
    void space() { m_pendingBlank = true; }

    void append(const char *data, qsizetype size) {
        flushBlank();
        m_result.pieces.back().append(data, size);
    }
    void append(char c) { append(&c, 1); }

    void marker(const QByteArray &name) {
        flushBlank();
        int index = -1;
        for (std::size_t k = 0; k < m_result.paramNames.size(); ++k) {
            if (m_result.paramNames[k].compare(name, Qt::CaseInsensitive) == 0) {
                index = static_cast<int>(k);
                break;
            }
        }
        if (index < 0) {
            index = static_cast<int>(m_result.paramNames.size());
            m_result.paramNames.push_back(name);
        }
        m_result.markers.push_back(index);
        m_result.pieces.emplace_back();
    }

private:
    void flushBlank() {
        if (m_pendingBlank && m_started)
            m_result.pieces.back().append(' ');
        m_pendingBlank = false;
        m_started = true;
    }

    StatementTemplate &m_result;
    bool m_pendingBlank = false;
    bool m_started = false;
};

} // namespace

QByteArray StatementTemplate::withQuestionMarks() const {
    QByteArray out;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (k > 0)
            out += '?';
        out += pieces[k];
    }
    return out;
}

StatementTemplate parseStatement(const QByteArray &text) {
    StatementTemplate result;
    if (!text.contains(':')) {
        result.pieces.push_back(text);
        return result;
    }

    Builder out(result);
    const qsizetype n = text.size();
    const char *data = text.constData();
    qsizetype i = 0;
    while (i < n) {
        const char c = data[i];
        if (isSpace(c)) {
            while (i < n && isSpace(data[i]))
                ++i;
            out.space();
        } else if (c == '\'' || c == '"' || c == '`') {
            // An unclosed string runs to the end and goes to the server as written.
            qsizetype end = quotedEnd(text, i);
            if (end < 0)
                end = n;
            out.append(data + i, end - i);
            i = end;
        } else if (c == '#' || startsDashComment(text, i)) {
            while (i < n && data[i] != '\n')
                ++i;
            out.space();
        } else if (c == '/' && i + 1 < n && data[i + 1] == '*') {
            const qsizetype close = text.indexOf("*/", i + 2);
            if (close < 0) {
                // Unclosed: left for the server to report rather than quietly cut off.
                out.append(data + i, n - i);
                i = n;
            } else {
                i = close + 2;
                out.space();
            }
        } else if (c == ':') {
            if (i + 1 >= n)
                throwIncorrectToken();
            const char next = data[i + 1];
            if (next == ':') {
                out.append(':');
                i += 2;
            } else if (next == '\'' || next == '"') {
                const qsizetype end = quotedEnd(text, i + 1);
                if (end < 0)
                    throwIncorrectToken();
                const QByteArray name = unquote(text, i + 1, end);
                if (name.isEmpty())
                    throwIncorrectToken();
                out.marker(name);
                i = end;
            } else if (isWordChar(next) && !isDigit(next)) {
                qsizetype end = i + 1;
                while (end < n && isWordChar(data[end]))
                    ++end;
                const QByteArray name = text.mid(i + 1, end - i - 1);
                if (isOperatorWord(name))
                    throwIncorrectToken();
                out.marker(name);
                i = end;
            } else {
                throwIncorrectToken();
            }
        } else if (isWordChar(c)) {
            qsizetype end = i + 1;
            while (end < n && isWordChar(data[end]))
                ++end;
            out.append(data + i, end - i);
            i = end;
        } else {
            out.append(c);
            ++i;
        }
    }
    return result;
}
