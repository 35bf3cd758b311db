#include "callerid/CallKeeper.h"

#include "callerid/CallRegistration.h"
#include "store/SqlError.h"
#include "store/TZConnection.h"
#include "store/TZQuery.h"

namespace {

constexpr int kProbeIntervalMs = 3000;
constexpr int kProbeTimeoutMs = 5000;

} // namespace

CallKeeper::CallKeeper(TZQuery &ZQuery1, TZQuery &ZQuery3, const QString &spoolPath,
                       QObject *parent)
    : QObject(parent)
    , m_directory(ZQuery1)
    , m_calls(ZQuery3)
    , m_spool(spoolPath) {
    m_probeTimeout.setSingleShot(true);
    m_probeTimeout.setInterval(kProbeTimeoutMs);
    connect(&m_probeTimeout, &QTimer::timeout, &m_probe, &QTcpSocket::abort);
    connect(&m_probe, &QTcpSocket::connected, this, [this] {
        m_probeTimeout.stop();
        m_probe.abort();
        writeHeldCalls();
    });
    connect(&m_probe, &QTcpSocket::errorOccurred, this, [this] {
        m_probeTimeout.stop();
        m_probe.abort();
    });
}

QString CallKeeper::holdingText() {
    return QStringLiteral("Veritabanına ulaşılamıyor: gelen çağrılar veritabanı bağlantısı "
                          "gelince kaydedilecek.");
}

QString CallKeeper::writtenText(int calls) {
    return QStringLiteral("Bekletilen %1 çağrı veritabanına kaydedildi.").arg(calls);
}

// The datasets a registration needs: a start without the database leaves them closed.
void CallKeeper::makeReady() {
    if (!m_directory.active())
        m_directory.open();
    if (!m_calls.active())
        m_calls.open();
}

QByteArray CallKeeper::hold(const QByteArray &number, const QDateTime &arrived,
                            const SqlError &error) {
    // The caller is still known from the directory's rows in memory.
    QByteArray name;
    if (m_directory.active() && m_directory.state() == DataSetState::Browse)
        name = findCaller(m_directory, number).name;
    try {
        m_spool.hold(arrived, number, error.statementMayHaveRun());
    } catch (const Error &spoolError) {
        throw Error(error.text() + QLatin1Char('\n') + spoolError.text());
    }
    m_lastCallHeld = true;
    if (!m_toldHolding) {
        m_toldHolding = true;
        if (tell)
            tell(holdingText());
    }
    return name;
}

void CallKeeper::pause(const QString &error) {
    m_paused = true;
    if (report)
        report(error);
}

QByteArray CallKeeper::registerCall(const QByteArray &number, const QDateTime &arrived) {
    m_lastCallHeld = false;
    m_paused = false; // a new call tries the held ones again
    try {
        // Older calls first, so that the log keeps the order the calls came in.
        writeHeld();
    } catch (const SqlError &e) {
        if (e.databaseUnreachable())
            return hold(number, arrived, SqlError(e.text(), e.code(), false));
        pause(e.text());
    } catch (const Error &e) {
        pause(e.text());
    }

    try {
        makeReady();
        const Caller caller = findCaller(m_directory, number);
        m_calls.append();
        try {
            fillCallRow(m_calls, caller, number, arrived);
            m_calls.post();
        } catch (...) {
            // Left in insert mode, the row would be posted again by the next call's append:
            // a row the server refuses would stop every later call, and a held call, or a feed
            // call that comes back at the next poll, would be logged twice.
            if (m_calls.state() == DataSetState::Insert)
                m_calls.cancel();
            throw;
        }
        return caller.name;
    } catch (const SqlError &e) {
        if (!e.databaseUnreachable())
            throw;
        return hold(number, arrived, e);
    }
}

void CallKeeper::writeHeld() {
    if (m_spool.empty())
        return;
    makeReady();
    while (!m_spool.empty()) {
        const CallSpool::Call call = m_spool.waiting().front();
        if (call.unsure && callIsLogged(m_calls, call.number, call.arrived)) {
            m_spool.markDone(call.id); // it reached the log before its answer was lost
            ++m_writtenSinceHolding;
            continue;
        }
        // From here until its done line a crash leaves it unsure.
        m_spool.markUnsure(call.id);
        const Caller caller = findCaller(m_directory, call.number);
        m_calls.append();
        try {
            fillCallRow(m_calls, caller, call.number, call.arrived);
            m_calls.post();
        } catch (...) {
            if (m_calls.state() == DataSetState::Insert)
                m_calls.cancel();
            throw;
        }
        m_spool.markDone(call.id);
        ++m_writtenSinceHolding;
    }
    const int written = m_writtenSinceHolding;
    m_writtenSinceHolding = 0;
    m_toldHolding = false;
    if (tell)
        tell(writtenText(written));
    emit heldCallsWritten(written);
}

void CallKeeper::writeHeldCalls() {
    if (m_spool.empty() || m_paused)
        return;
    // The user's place in the directory stays where it was.
    const int directoryRow = m_directory.active() ? m_directory.currentRow() : -1;
    try {
        writeHeld();
    } catch (const SqlError &e) {
        if (!e.databaseUnreachable())
            pause(e.text());
    } catch (const Error &e) {
        pause(e.text());
    }
    if (directoryRow >= 0 && m_directory.active() && m_directory.state() == DataSetState::Browse)
        m_directory.moveTo(directoryRow);
}

void CallKeeper::tick() {
    if (m_spool.empty() || m_paused || m_probe.state() != QAbstractSocket::UnconnectedState)
        return;
    if (m_sinceProbe.isValid() && m_sinceProbe.elapsed() < kProbeIntervalMs)
        return;
    probe();
}

// Whether the server's port takes a connection, asked without blocking: opening the
// database connection itself would hold the window while a server that is off is looked
// for.
void CallKeeper::probe() {
    m_sinceProbe.start();
    const TZConnection &connection = m_calls.connection();
    m_probeTimeout.start();
    m_probe.connectToHost(connection.HostName,
                          static_cast<quint16>(connection.Port == 0 ? 3306 : connection.Port));
}
