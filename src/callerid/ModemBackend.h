#pragma once

#include "callerid/CallerIdBackend.h"
#include "callerid/LineSplitter.h"
#include "callerid/ModemCallerIdParser.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

// A Hayes-style modem with caller ID on a serial port.
//
// Setting the modem up: AT, ATE0V1 (no echo, word results), AT+GMI and AT+GMM (or ATI) for
// the model, then AT+VCID=1 to switch caller ID on, or, when the modem answers ERROR, the
// older forms AT#CID=1, AT%CCID=1, AT#CC1 and AT*ID1.
//
// start() opens the port and sets the modem up, waiting on the port itself for a few
// seconds at most (no event loop needed). It throws Error only when the modem answers but
// refuses caller ID. A port that cannot be opened (a USB modem not plugged in yet) is opened
// again every few seconds, and a modem that does not answer (an external modem switched
// off) is set up again every few seconds, until it answers; meanwhile the model is empty.
//
// Afterwards everything runs on the event loop. The caller-ID blocks the modem writes
// become calls (see ModemCallerIdParser); a block ends at the next RING or other result,
// or after a short quiet spell. While the line is quiet the modem is asked "AT" now and
// then; a modem that stops answering loses its model and is set up again once it answers.
// A port that fails (a USB modem unplugged) is closed and opened again until the device is
// back.
class ModemBackend : public CallerIdBackend {
    Q_OBJECT
public:
    struct Timing {
        int commandTimeoutMs = 1500; // one command's answer
        int startTimeoutMs = 10000;  // the whole set-up
        int quietEndMs = 1000;       // a caller-ID block ends after this much silence
        int probeIntervalMs = 15000; // how often the modem is checked
        int probeQuietMs = 10000;    // ... once the line has been quiet this long
        int retryIntervalMs = 3000;  // how often a missing port is opened again, or a
                                     // silent modem set up again
    };

    explicit ModemBackend(const QString &portName, QObject *parent = nullptr);
    ~ModemBackend() override;

    void start() override;
    QString deviceModel() const override { return m_model; }
    QString deviceSerial() const override { return m_portName; }

    void setTiming(const Timing &timing);

private:
    enum class State { Closed, Live, Silent, Detached };
    enum class Reply { Ok, Error, Timeout, Failed };
    enum class Setup { Ready, Silent, PortLost, Refused };
    struct Command {
        QByteArray text;
        QStringList info;
        QDeadlineTimer deadline;
        bool numericResults = false;
        std::function<void(Reply, const QStringList &)> done;
    };
    using Finished = std::function<void(Setup outcome, const QString &failure)>;

    bool openPort(QString *failure);
    void closePort();
    void becomeLive();
    void becomeSilent();
    void becomeDetached();

    void send(const QByteArray &text, std::function<void(Reply, const QStringList &)> done,
              bool numericResults = false);
    void complete(Reply reply);
    void checkCommandTimeout();

    void handshake(Finished finished);
    void handshakeAttention(int triesLeft, Finished finished);
    void handshakeSetup(Finished finished);
    void handshakeIdentify(Finished finished);
    void handshakeCallerId(int index, Finished finished);

    void onReadyRead();
    void onLine(const QByteArray &line);
    void onPortError(QSerialPort::SerialPortError error);
    void onQuiet();
    void onProbe();
    void onRetry();
    void onRetryFinished(Setup outcome);
    void emitCall(const CallerIdCall &call);

    QString m_portName;
    Timing m_timing;
    QSerialPort m_port;
    State m_state = State::Closed;
    QString m_model;
    QString m_pendingModel;
    QStringList m_identity;
    LineSplitter m_lines;
    ModemCallerIdParser m_parser;
    std::optional<Command> m_command;
    bool m_handshaking = false;
    QTimer m_commandTimer;
    QTimer m_quietTimer;
    QTimer m_probeTimer;
    QTimer m_retryTimer;
    QElapsedTimer m_lastTraffic;
};
