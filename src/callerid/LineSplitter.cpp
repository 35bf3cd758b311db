#include "callerid/LineSplitter.h"

QList<QByteArray> LineSplitter::feed(const QByteArray &bytes) {
    QList<QByteArray> lines;
    for (const char ch : bytes) {
        if (ch == '\n' && m_afterCr) {
            // The LF of a CR LF pair: the line already ended at the CR.
            m_afterCr = false;
            continue;
        }
        m_afterCr = ch == '\r';
        if (ch == '\r' || ch == '\n') {
            if (!m_discarding)
                lines.append(m_partial);
            m_partial.clear();
            m_discarding = false;
            continue;
        }
        if (m_discarding)
            continue;
        if (m_partial.size() >= m_max) {
            m_partial.clear();
            m_discarding = true;
            continue;
        }
        m_partial.append(ch);
    }
    return lines;
}

QByteArray LineSplitter::takePartial() {
    QByteArray rest;
    rest.swap(m_partial);
    return rest;
}

void LineSplitter::clear() {
    m_partial.clear();
    m_afterCr = false;
    m_discarding = false;
}
