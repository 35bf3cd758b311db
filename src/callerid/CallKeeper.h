#pragma once

#include "callerid/CallSpool.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

class SqlError;
class TZQuery;

// Registers every call, and keeps those that the database cannot take now: a call whose
// registration fails because the database cannot be reached is held in the call spool and
// written later with its own date and time, in the order the calls came, each exactly once,
// also after a restart of the program. Every other error of a registration reaches the
// caller as before.
//
// Held calls are written before any newer call, as soon as the database answers again: at
// the next call, when the connection has come back (writeHeldCalls), or when the server's
// port answers a probe that the one-second tick starts now and then (tick).
class CallKeeper : public QObject {
    Q_OBJECT
public:
    CallKeeper(TZQuery &ZQuery1, TZQuery &ZQuery3, const QString &spoolPath,
               QObject *parent = nullptr);

    // What the user is told: once when calls begin to be held, once when they were written.
    std::function<void(const QString &)> tell;
    // An error that writing the held calls met, other than the database being away; writing
    // them waits for the next call then, so the error is shown once.
    std::function<void(const QString &)> report;

    // The registration step: the caller's name as arayankaydet gives it, also for a call that
    // was held (the directory's rows are in memory).
    QByteArray registerCall(const QByteArray &number, const QDateTime &arrived);
    // Whether the last call registered was held rather than written.
    bool lastCallHeld() const { return m_lastCallHeld; }

    bool holdsCalls() const { return !m_spool.empty(); }
    const CallSpool &spool() const { return m_spool; }

    // Writes the held calls now; quiet while the database cannot be reached.
    void writeHeldCalls();
    // From the timer's tick: probes the server now and then while calls are held, and writes
    // them when it answers.
    void tick();

    static QString holdingText();
    static QString writtenText(int calls);

signals:
    void heldCallsWritten(int calls);

private:
    // Throws the error that stopped it; returns normally when no call is held any more.
    void writeHeld();
    void makeReady();
    QByteArray hold(const QByteArray &number, const QDateTime &arrived, const SqlError &error);
    void pause(const QString &error);
    void probe();

    TZQuery &m_directory;
    TZQuery &m_calls;
    CallSpool m_spool;
    bool m_lastCallHeld = false;
    bool m_toldHolding = false;
    bool m_paused = false; // an error other than the database being away stopped the writing
    int m_writtenSinceHolding = 0;
    QTcpSocket m_probe;
    QTimer m_probeTimeout;
    QElapsedTimer m_sinceProbe;
};
