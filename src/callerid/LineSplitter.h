#pragma once

#include <QByteArray>
#include <QList>

// Cuts a byte stream into lines however the reads split it. A line ends at CR, LF or
// CR LF; the ends are not part of the line. Empty lines are returned too (modems put them
// around every result). A line that grows past the limit without an end is dropped up to
// its end, so that a device sending garbage cannot fill the memory.
class LineSplitter {
public:
    explicit LineSplitter(qsizetype maxLineLength = 4096)
        : m_max(maxLineLength) {}

    QList<QByteArray> feed(const QByteArray &bytes);

    // The bytes after the last line end.
    QByteArray partial() const { return m_partial; }
    QByteArray takePartial();
    void clear();

private:
    qsizetype m_max;
    QByteArray m_partial;
    bool m_afterCr = false;
    bool m_discarding = false;
};
