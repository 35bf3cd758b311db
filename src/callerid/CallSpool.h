#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

// The calls that wait for the database: a text file of one line per event, each line
// appended and forced to the disk before the call counts as kept, so that a held call
// survives a crash or a restart of the program:
//
//     held 3 2026-12-10T14:05:01.123 05321234567   a call held: its id, arrival, number
//     unsure 3                                     its writing may have reached the database
//     done 3                                       it is in the call log
//
// The number is percent-encoded (it may hold any byte). A held call waits until its done
// line; an unsure one is looked for in the call log before it is written again. The file
// goes when no call waits. Lines that cannot be read are skipped and kept.
class CallSpool {
public:
    struct Call {
        quint64 id = 0;
        QDateTime arrived;
        QByteArray number;
        bool unsure = false;
    };

    // The spool kept at path (created when a call is first held).
    explicit CallSpool(QString path);

    const QString &path() const { return m_path; }
    // The calls that wait, in the order they were held.
    const std::vector<Call> &waiting() const { return m_waiting; }
    bool empty() const { return m_waiting.empty(); }

    // Each of these is on the disk when it returns; they throw Error
    // "Unable to write to " + path when the file cannot be written.
    void hold(const QDateTime &arrived, const QByteArray &number, bool unsure);
    void markUnsure(quint64 id);
    void markDone(quint64 id);

    // The calls that wait according to a spool file's text.
    struct Contents {
        std::vector<Call> waiting;
        quint64 lastId = 0;
        int unreadableLines = 0;
    };
    static Contents read(const QByteArray &text);

private:
    void append(const QByteArray &line);

    QString m_path;
    std::vector<Call> m_waiting;
    quint64 m_lastId = 0;
    bool m_keepFile = false;     // it holds lines that could not be read
    bool m_needsLineEnd = false; // the file ends inside a line (a write cut short)
};
