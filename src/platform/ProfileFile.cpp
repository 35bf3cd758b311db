#include "platform/ProfileFile.h"

#include "platform/Cp1254.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

bool isBlank(QChar ch) {
    switch (ch.unicode()) {
    case u' ':
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x1A: // DOS end-of-file mark
        return true;
    default:
        return false;
    }
}

QStringView trimmed(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

struct Entry {
    enum Kind { Nothing, Section, Key };
    Kind kind = Nothing;
    QStringView name;
    QStringView value;
    bool hasValue = false;
};

Entry parseLine(QStringView line) {
    line = trimmed(line);
    if (line.isEmpty())
        return {};
    if (line.front() == u'[') {
        const qsizetype close = line.lastIndexOf(u']');
        if (close > 0)
            return {Entry::Section, line.mid(1, close - 1), {}, false};
        // A "[" without "]" is no section header: the line is read as a key.
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return {Entry::Key, line, {}, false};
    return {Entry::Key, trimmed(line.left(equals)), trimmed(line.mid(equals + 1)), true};
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

ProfileFile ProfileFile::load(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromBytes(file.readAll());
}

ProfileFile ProfileFile::fromBytes(const QByteArray &bytes) {
    ProfileFile profile;
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        profile.m_encoding = Encoding::Utf8;
        text = QStringDecoder(QStringDecoder::Utf8)(bytes.mid(3));
    } else if (bytes.startsWith("\xFF\xFE")) {
        profile.m_encoding = Encoding::Utf16LE;
        text = QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
    } else if (bytes.startsWith("\xFE\xFF")) {
        profile.m_encoding = Encoding::Utf16BE;
        text = QStringDecoder(QStringDecoder::Utf16BE)(bytes.mid(2));
    } else {
        text = cp1254::toUnicode(bytes);
    }
    if (text.isEmpty())
        return profile;
    profile.m_lines = text.split(u'\n');
    if (text.endsWith(u'\n'))
        profile.m_lines.removeLast();
    for (QString &line : profile.m_lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return profile;
}

qsizetype ProfileFile::findSection(QStringView section) const {
    if (section.isEmpty())
        return -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Entry entry = parseLine(m_lines[i]);
        if (entry.kind == Entry::Section && sameName(entry.name, section))
            return i;
    }
    return -1;
}

qsizetype ProfileFile::findKey(qsizetype sectionLine, QStringView key) const {
    for (qsizetype i = sectionLine + 1; i < m_lines.size(); ++i) {
        const Entry entry = parseLine(m_lines[i]);
        if (entry.kind == Entry::Section)
            break;
        if (entry.kind == Entry::Key && sameName(entry.name, key))
            return i;
    }
    return -1;
}

qsizetype ProfileFile::sectionEnd(qsizetype sectionLine) const {
    qsizetype i = sectionLine + 1;
    while (i < m_lines.size() && parseLine(m_lines[i]).kind != Entry::Section)
        ++i;
    return i;
}

QString ProfileFile::value(const QString &section, const QString &key) const {
    const qsizetype sectionLine = findSection(trimmed(section));
    if (sectionLine < 0)
        return {};
    const qsizetype keyLine = findKey(sectionLine, trimmed(key));
    if (keyLine < 0)
        return {};
    QStringView value = parseLine(m_lines[keyLine]).value;
    if (value.size() >= 2 && (value.front() == u'\'' || value.front() == u'"') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value.left(kMaxValueLength).toString();
}

void ProfileFile::setValue(const QString &section, const QString &key, const QString &value) {
    const QString keyLine = key + u'=' + value;
    const qsizetype sectionLine = findSection(trimmed(section));
    if (sectionLine < 0) {
        if (!m_lines.isEmpty() && !trimmed(m_lines.last()).isEmpty())
            m_lines.append(QString());
        m_lines.append(u'[' + section + u']');
        m_lines.append(keyLine);
        return;
    }
    const qsizetype existing = findKey(sectionLine, trimmed(key));
    if (existing >= 0) {
        m_lines[existing] = keyLine;
        return;
    }
    qsizetype end = sectionEnd(sectionLine);
    while (end > sectionLine + 1 && trimmed(m_lines[end - 1]).isEmpty())
        --end;
    m_lines.insert(end, keyLine);
}

QByteArray ProfileFile::toBytes() const {
    QString text;
    for (const QString &line : m_lines)
        text += line + QLatin1String("\r\n");
    switch (m_encoding) {
    case Encoding::Utf8:
        return "\xEF\xBB\xBF" + QStringEncoder(QStringEncoder::Utf8)(text);
    case Encoding::Utf16LE:
        return "\xFF\xFE" + QStringEncoder(QStringEncoder::Utf16LE)(text);
    case Encoding::Utf16BE:
        return "\xFE\xFF" + QStringEncoder(QStringEncoder::Utf16BE)(text);
    case Encoding::Cp1254:
        break;
    }
    return cp1254::fromUnicode(text);
}

void ProfileFile::save(const QString &path, QFileDevice::Permissions newFilePermissions) const {
    const bool isNew = !QFile::exists(path);
    QSaveFile file(path);
    const QByteArray bytes = toBytes();
    if (!file.open(QIODevice::WriteOnly) ||
        (isNew && newFilePermissions && !file.setPermissions(newFilePermissions)) ||
        file.write(bytes) != bytes.size() || !file.commit())
        throw Error(QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
}
