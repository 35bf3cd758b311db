#include "callerid/ModemBackend.h"

#include "platform/Error.h"

namespace {

// The commands that switch a modem's formatted caller-ID report on, most common first.
const char *const callerIdCommands[] = {"AT+VCID=1", "AT#CID=1", "AT%CCID=1", "AT#CC1", "AT*ID1"};

// An identification answer as one short text: "+GMM: 56K FAX" gives "56K FAX".
QString identityText(const QStringList &info) {
    QStringList parts;
    for (QString line : info) {
        if (line.startsWith(u'+') && line.indexOf(u':') > 0)
            line = line.mid(line.indexOf(u':') + 1);
        line = line.simplified();
        if (!line.isEmpty())
            parts.append(line);
    }
    return parts.join(u' ').left(80);
}

} // namespace

ModemBackend::ModemBackend(const QString &portName, QObject *parent)
    : CallerIdBackend(parent)
    , m_portName(portName) {
    m_commandTimer.setSingleShot(true);
    m_commandTimer.setTimerType(Qt::PreciseTimer);
    m_quietTimer.setSingleShot(true);
    connect(&m_commandTimer, &QTimer::timeout, this, [this] {
        if (m_command)
            complete(Reply::Timeout);
    });
    connect(&m_quietTimer, &QTimer::timeout, this, &ModemBackend::onQuiet);
    connect(&m_probeTimer, &QTimer::timeout, this, &ModemBackend::onProbe);
    connect(&m_retryTimer, &QTimer::timeout, this, &ModemBackend::onRetry);
    connect(&m_port, &QSerialPort::readyRead, this, &ModemBackend::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &ModemBackend::onPortError);
    setTiming(Timing());
}

ModemBackend::~ModemBackend() {
    m_port.disconnect(this);
    m_command.reset();
    if (m_port.isOpen())
        m_port.close();
}

void ModemBackend::setTiming(const Timing &timing) {
    m_timing = timing;
    m_quietTimer.setInterval(timing.quietEndMs);
    m_probeTimer.setInterval(timing.probeIntervalMs);
    m_retryTimer.setInterval(timing.retryIntervalMs);
}

void ModemBackend::start() {
    m_probeTimer.stop();
    m_retryTimer.stop();
    closePort();
    m_state = State::Closed;
    m_model.clear();

    QString failure;
    if (!openPort(&failure))
        return becomeDetached(); // not plugged in yet

    // The main window starts the device before its event loop runs: wait on the port.
    bool finished = false;
    Setup outcome = Setup::Silent;
    handshake([&](Setup result, const QString &why) {
        finished = true;
        outcome = result;
        failure = why;
    });
    const QDeadlineTimer overall(m_timing.startTimeoutMs);
    while (!finished) {
        if (overall.hasExpired() || !m_port.isOpen()) {
            m_command.reset();
            m_handshaking = false;
            outcome = m_port.isOpen() ? Setup::Silent : Setup::PortLost;
            break;
        }
        m_port.waitForReadyRead(20);
        if (m_command && m_command->deadline.hasExpired())
            complete(Reply::Timeout);
    }
    switch (outcome) {
    case Setup::Ready:
        return becomeLive();
    case Setup::Silent:
        return becomeSilent();
    case Setup::PortLost:
        return becomeDetached();
    case Setup::Refused:
        closePort();
        throw Error(failure);
    }
}

void ModemBackend::becomeLive() {
    m_state = State::Live;
    m_model = m_pendingModel;
    m_retryTimer.stop();
    m_lastTraffic.start();
    m_probeTimer.start();
}

void ModemBackend::becomeSilent() {
    m_state = State::Silent;
    m_model.clear();
    m_probeTimer.stop();
    m_retryTimer.start();
}

void ModemBackend::becomeDetached() {
    closePort();
    m_state = State::Detached;
    m_model.clear();
    m_probeTimer.stop();
    m_retryTimer.start();
}

bool ModemBackend::openPort(QString *failure) {
    m_port.setPortName(m_portName);
    if (!m_port.open(QIODevice::ReadWrite)) {
        *failure = QStringLiteral("Caller-ID modemi açılamadı: ") + m_portName +
                   QStringLiteral(" (") + m_port.errorString() + QLatin1Char(')');
        return false;
    }
    // USB modems ignore these; a modem on a real serial port follows the speed.
    m_port.setBaudRate(QSerialPort::Baud115200);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.clear();
    m_lines.clear();
    return true;
}

void ModemBackend::closePort() {
    m_command.reset();
    m_commandTimer.stop();
    m_quietTimer.stop();
    if (m_port.isOpen())
        m_port.close();
    m_lines.clear();
}

void ModemBackend::send(const QByteArray &text,
                        std::function<void(Reply, const QStringList &)> done, bool numericResults) {
    Command command;
    command.text = text;
    command.deadline = QDeadlineTimer(m_timing.commandTimeoutMs);
    command.numericResults = numericResults;
    command.done = std::move(done);
    m_command = std::move(command);
    m_commandTimer.start(m_timing.commandTimeoutMs);
    m_port.write(text + '\r');
    m_port.flush();
}

void ModemBackend::complete(Reply reply) {
    if (!m_command)
        return;
    Command command = std::move(*m_command);
    m_command.reset();
    m_commandTimer.stop();
    command.done(reply, command.info);
}

void ModemBackend::handshake(Finished finished) {
    m_handshaking = true;
    m_pendingModel.clear();
    m_identity.clear();
    handshakeAttention(2, [this, finished](Setup outcome, const QString &why) {
        m_handshaking = false;
        finished(outcome, why);
    });
}

void ModemBackend::handshakeAttention(int triesLeft, Finished finished) {
    send(
        "AT",
        [this, triesLeft, finished](Reply reply, const QStringList &) {
            if (reply == Reply::Ok || reply == Reply::Error)
                handshakeSetup(finished);
            else if (reply == Reply::Timeout && triesLeft > 1)
                handshakeAttention(triesLeft - 1, finished);
            else if (reply == Reply::Timeout)
                finished(Setup::Silent,
                         QStringLiteral("Caller-ID modemi yanıt vermiyor: ") + m_portName);
            else
                finished(Setup::PortLost,
                         QStringLiteral("Caller-ID modemiyle bağlantı koptu: ") + m_portName);
        },
        true);
}

void ModemBackend::handshakeSetup(Finished finished) {
    // No echo, results as words.
    send("ATE0V1", [this, finished](Reply reply, const QStringList &) {
        if (reply == Reply::Ok || reply == Reply::Error)
            handshakeIdentify(finished);
        else if (reply == Reply::Timeout)
            finished(Setup::Silent,
                     QStringLiteral("Caller-ID modemi yanıt vermiyor: ") + m_portName);
        else
            finished(Setup::PortLost,
                     QStringLiteral("Caller-ID modemiyle bağlantı koptu: ") + m_portName);
    });
}

void ModemBackend::handshakeIdentify(Finished finished) {
    auto failed = [this, finished] {
        finished(Setup::PortLost,
                 QStringLiteral("Caller-ID modemiyle bağlantı koptu: ") + m_portName);
    };
    send("AT+GMI", [=](Reply reply, const QStringList &maker) {
        if (reply == Reply::Failed)
            return failed();
        m_identity = {reply == Reply::Ok ? identityText(maker) : QString()};
        send("AT+GMM", [=](Reply reply, const QStringList &model) {
            if (reply == Reply::Failed)
                return failed();
            m_identity.append(reply == Reply::Ok ? identityText(model) : QString());
            m_pendingModel = identityText(m_identity);
            if (!m_pendingModel.isEmpty())
                return handshakeCallerId(0, finished);
            send("ATI", [=](Reply reply, const QStringList &info) {
                if (reply == Reply::Failed)
                    return failed();
                m_pendingModel = reply == Reply::Ok ? identityText(info) : QString();
                if (m_pendingModel.isEmpty())
                    m_pendingModel = QStringLiteral("Modem");
                handshakeCallerId(0, finished);
            });
        });
    });
}

void ModemBackend::handshakeCallerId(int index, Finished finished) {
    send(callerIdCommands[index], [this, index, finished](Reply reply, const QStringList &) {
        if (reply == Reply::Ok)
            return finished(Setup::Ready, {});
        if (reply == Reply::Failed)
            return finished(Setup::PortLost,
                            QStringLiteral("Caller-ID modemiyle bağlantı koptu: ") + m_portName);
        if (index + 1 < static_cast<int>(std::size(callerIdCommands)))
            return handshakeCallerId(index + 1, finished);
        finished(Setup::Refused,
                 QStringLiteral("Caller-ID modemi arayan numara gösterimini açmadı: ") +
                     m_portName);
    });
}

void ModemBackend::onReadyRead() {
    const QByteArray data = m_port.readAll();
    if (data.isEmpty())
        return;
    m_lastTraffic.start();
    for (const QByteArray &line : m_lines.feed(data))
        onLine(line);
    if (m_parser.pending() || ModemCallerIdParser::isTagLine(m_lines.partial()))
        m_quietTimer.start();
    else
        m_quietTimer.stop();
}

void ModemBackend::onLine(const QByteArray &line) {
    if (auto call = m_parser.feedLine(line))
        emitCall(*call);
    if (!m_command)
        return;
    const QString text = callerid::decodeDeviceText(line).trimmed();
    if (text.isEmpty())
        return;
    const bool numeric = m_command->numericResults;
    if (text == u"OK" || (numeric && text == u"0")) {
        complete(Reply::Ok);
    } else if (text == u"ERROR" || text.startsWith(QStringLiteral("+CME ERROR")) ||
               text == u"NO CARRIER" || (numeric && text == u"4")) {
        complete(Reply::Error);
    } else if (text.compare(QLatin1String(m_command->text), Qt::CaseInsensitive) == 0 ||
               text.startsWith(QStringLiteral("RING")) || ModemCallerIdParser::isTagLine(line)) {
        // The modem's echo, or the line ringing in the middle of a command.
    } else {
        m_command->info.append(text);
    }
}

void ModemBackend::onQuiet() {
    const QByteArray rest = m_lines.takePartial();
    if (!rest.isEmpty())
        onLine(rest);
    for (const CallerIdCall &call : m_parser.flush())
        emitCall(call);
}

void ModemBackend::onPortError(QSerialPort::SerialPortError error) {
    if (!m_port.isOpen())
        return; // open() failures are reported by openPort()
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::WriteError && error != QSerialPort::PermissionError &&
        error != QSerialPort::DeviceNotFoundError)
        return; // TimeoutError comes from every wait that saw no data
    // The device has gone: report a block that was complete, then let go of the port.
    for (const CallerIdCall &call : m_parser.flush())
        emitCall(call);
    m_model.clear();
    if (m_command)
        complete(Reply::Failed);
    closePort();
    if (m_state == State::Live || m_state == State::Silent)
        becomeDetached();
}

void ModemBackend::onProbe() {
    if (m_state != State::Live || m_command || m_handshaking || !m_port.isOpen())
        return;
    if (m_lastTraffic.isValid() && m_lastTraffic.elapsed() < m_timing.probeQuietMs)
        return; // never talk into a call that is coming in
    send("AT", [this](Reply reply, const QStringList &) {
        if (reply == Reply::Timeout && m_state == State::Live)
            becomeSilent();
    });
}

void ModemBackend::onRetry() {
    if (m_command || m_handshaking)
        return;
    if (m_state == State::Detached) {
        QString failure;
        if (!openPort(&failure))
            return; // still not there
    } else if (m_state != State::Silent) {
        return;
    }
    // A modem that answers again may have been switched off and lost its settings.
    handshake([this](Setup outcome, const QString &) { onRetryFinished(outcome); });
}

void ModemBackend::onRetryFinished(Setup outcome) {
    if (m_state != State::Detached && m_state != State::Silent)
        return;
    switch (outcome) {
    case Setup::Ready:
        return becomeLive();
    case Setup::Silent:
        // A port that opens but answers nothing: keep it open and ask again.
        if (m_state == State::Detached)
            becomeSilent();
        return;
    case Setup::PortLost:
    case Setup::Refused:
        // Refused: perhaps another device on the port; it is asked again when it comes back.
        becomeDetached();
        return;
    }
}

void ModemBackend::emitCall(const CallerIdCall &call) {
    CallerIdCall event = call;
    event.deviceId = m_portName;
    event.line = QStringLiteral("1");
    emit callerId(event);
}
