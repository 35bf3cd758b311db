#include "callerid/ModemCallerIdParser.h"

#include <QRegularExpression>

namespace {

struct Tag {
    QString name;
    QString value;
};

std::optional<Tag> parseTag(const QByteArray &line) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(DATE|TIME|DDN_NMBR|NMBR|NAME|MESG)\\s*[=:]\\s*(.*?)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(callerid::decodeDeviceText(line));
    if (!match.hasMatch())
        return std::nullopt;
    return Tag{match.captured(1).toUpper(), match.captured(2)};
}

} // namespace

QList<CallerIdCall> ModemCallerIdParser::feed(const QByteArray &bytes) {
    QList<CallerIdCall> calls;
    for (const QByteArray &line : m_lines.feed(bytes)) {
        if (auto call = feedLine(line))
            calls.append(*call);
    }
    return calls;
}

std::optional<CallerIdCall> ModemCallerIdParser::feedLine(const QByteArray &line) {
    if (line.trimmed().isEmpty())
        return std::nullopt; // modems put empty lines around every result
    const auto tag = parseTag(line);
    if (!tag)
        return finish(); // RING or another result ends the block

    std::optional<QString> *slot = nullptr;
    if (tag->name == u"DATE")
        slot = &m_block.date;
    else if (tag->name == u"TIME")
        slot = &m_block.time;
    else if (tag->name == u"NMBR")
        slot = &m_block.number;
    else if (tag->name == u"DDN_NMBR")
        slot = &m_block.ddnNumber;
    else if (tag->name == u"NAME")
        slot = &m_block.name;
    else
        slot = &m_block.message;

    std::optional<CallerIdCall> ended;
    if (slot->has_value())
        ended = finish(); // the same tag again: the next call's block begins
    *slot = tag->value;
    return ended;
}

QList<CallerIdCall> ModemCallerIdParser::flush() {
    QList<CallerIdCall> calls;
    if (auto ended = feedLine(m_lines.takePartial()))
        calls.append(*ended);
    if (auto last = finish())
        calls.append(*last);
    return calls;
}

bool ModemCallerIdParser::pending() const {
    return !m_block.empty() || isTagLine(m_lines.partial());
}

bool ModemCallerIdParser::isTagLine(const QByteArray &line) {
    return parseTag(line).has_value();
}

std::optional<CallerIdCall> ModemCallerIdParser::finish() {
    Block block;
    std::swap(block, m_block);
    if (!block.number && !block.ddnNumber && !block.name)
        return std::nullopt;

    CallerIdCall call;
    call.date = block.date.value_or(QString());
    call.time = block.time.value_or(QString());
    call.message = block.message.value_or(QString());

    QString number = block.number.value_or(QString());
    if (number.isEmpty())
        number = block.ddnNumber.value_or(QString());
    const QString name = block.name.value_or(QString());
    if (const QString withheld = callerid::withheldText(number); !withheld.isEmpty())
        number = withheld;
    else if (number.isEmpty())
        number = callerid::withheldText(name);
    call.number = number;
    const QString withheldName = callerid::withheldText(name);
    call.name = withheldName.isEmpty() ? name : withheldName;
    return call;
}
