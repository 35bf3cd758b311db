#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

// A text file in the Windows profile (INI) format, read the way the Windows profile
// functions read it:
// - lines end in LF or CRLF; blanks (and a DOS end-of-file mark) around a line are dropped;
// - a line starting with "[" and holding a "]" opens a section named by the text between
//   the "[" and the last "]";
// - any other line is a key: the name before the first "=" and the value after it, blanks
//   around both dropped; a line without "=" (a comment, say) is a key without a value;
// - section and key names are compared without regard to letter case; a lookup takes the
//   first section of that name and the first key of that name in it; lines before the
//   first section belong to no section;
// - a value in one pair of matching single or double quotes loses them, and is cut to
//   2 047 characters; a missing section, key or value reads as the empty text.
// The file is 8-bit Windows-1254 text; a file that starts with a UTF-8 or UTF-16 byte order
// mark is read in that encoding, as Windows does.
class ProfileFile {
public:
    static constexpr int kMaxValueLength = 2047;

    ProfileFile() = default;

    // The profile in path; a file that is missing or cannot be read gives an empty profile.
    static ProfileFile load(const QString &path);
    static ProfileFile fromBytes(const QByteArray &bytes);

    QString value(const QString &section, const QString &key) const;

    // Sets the value of the first key of that name in the first section of that name,
    // adding the key at the end of the section, or the section at the end of the file,
    // when they are missing. Every other line stays as it was.
    void setValue(const QString &section, const QString &key, const QString &value);

    // The file's text with CRLF line ends, in the encoding it was read in.
    QByteArray toBytes() const;

    // Replaces the file at path with this profile in one step. Throws Error
    // "Unable to write to " + path when the file cannot be written.
    // Writes the profile to path through a temporary file, so that a failure leaves any old
    // file whole. A new file gets the given permissions (the system's default when none).
    void save(const QString &path, QFileDevice::Permissions newFilePermissions = {}) const;

private:
    enum class Encoding { Cp1254, Utf8, Utf16LE, Utf16BE };

    // Index of the first line of the first section named section (its header), or -1.
    qsizetype findSection(QStringView section) const;
    // Index of the first key named key in the section whose header is at sectionLine, or -1.
    qsizetype findKey(qsizetype sectionLine, QStringView key) const;
    // Index just past the section whose header is at sectionLine.
    qsizetype sectionEnd(qsizetype sectionLine) const;

    QStringList m_lines; // without line ends
    Encoding m_encoding = Encoding::Cp1254;
};
