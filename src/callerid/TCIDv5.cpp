#include "callerid/TCIDv5.h"

#include "callerid/CallerIdBackend.h"
#include "callerid/ModemBackend.h"
#include "callerid/NcidClient.h"
#include "platform/Error.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QUrl>

#include <utility>

namespace {

constexpr int ncidDefaultPort = 3333;

Error unusableAddress(const QString &address) {
    return Error(QStringLiteral("Caller-ID cihazının adresi kullanılamıyor: ") + address);
}

// A serial port's name that may name a modem now or later: an absolute path (a device
// that may not be plugged in yet), or a bare name that the serial port looks up among the
// system's devices (ttyUSB0, COM3). A relative path, a folder, or an existing file that
// is no device can never be one.
bool mayNameSerialPort(const QString &address) {
    if (address.contains(QStringLiteral("://")))
        return false;
    if (!address.startsWith(u'/'))
        return !address.contains(u'/');
    if (address.endsWith(u'/'))
        return false;
    const QFileInfo info(address);
    return !info.exists() || (!info.isFile() && !info.isDir());
}

} // namespace

TCIDv5::TCIDv5(QObject *owner)
    : QObject(owner) {}

TCIDv5::~TCIDv5() = default;

void TCIDv5::setPort(const QString &address) {
    m_address = address;
}

void TCIDv5::StartDevice() {
    m_backend.reset();
    std::unique_ptr<CallerIdBackend> backend = createBackend();
    connect(backend.get(), &CallerIdBackend::callerId, this, &TCIDv5::enqueue);
    backend->start();
    m_backend = std::move(backend);
}

QString TCIDv5::DeviceInfo(const QString &key) {
    if (!m_backend)
        return {};
    if (key.compare(u"devicemodel", Qt::CaseInsensitive) == 0)
        return m_backend->deviceModel();
    if (key.compare(u"serial", Qt::CaseInsensitive) == 0)
        return m_backend->deviceSerial();
    return {};
}

std::unique_ptr<CallerIdBackend> TCIDv5::createBackend() const {
    const QString address = m_address.trimmed();
    if (address.isEmpty())
        throw Error(QStringLiteral("Caller-ID cihazının adresi ayarlanmamış ([CIDevice] Port)."));

    if (address.startsWith(QStringLiteral("ncid://"), Qt::CaseInsensitive)) {
        const QUrl url(address, QUrl::StrictMode);
        const QString path = url.path();
        if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty() ||
            (!path.isEmpty() && path != u"/") || url.hasQuery() || url.hasFragment())
            throw unusableAddress(address);
        const int port = url.port(ncidDefaultPort);
        if (port <= 0 || port > 65535)
            throw unusableAddress(address);
        return std::make_unique<NcidClient>(url.host(), static_cast<quint16>(port));
    }
    if (!mayNameSerialPort(address))
        throw unusableAddress(address);
    return std::make_unique<ModemBackend>(address);
}

void TCIDv5::enqueue(const CallerIdCall &call) {
    // Runs inside the back end's read handler, which the port does not signal again until it
    // returns: the call is raised from the event loop instead.
    m_arrived.push_back({call, QDateTime::currentDateTime()});
    QMetaObject::invokeMethod(this, &TCIDv5::raiseNext, Qt::QueuedConnection);
}

void TCIDv5::raiseNext() {
    if (m_arrived.empty())
        return;
    const ArrivedCall next = std::move(m_arrived.front());
    m_arrived.pop_front();
    // A handler's box may raise later calls inside it; each sees its own time.
    const QDateTime outer = std::exchange(m_callArrived, next.arrived);
    const auto restore = qScopeGuard([&] { m_callArrived = outer; });
    const CallerIdCall &call = next.call;
    emit OnCallerID(call.deviceId, call.line, call.number, call.dateTime(), call.otherText());
}
