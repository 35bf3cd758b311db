#include "callerid/TCIDv5.h"

#include "callerid/CallerIdBackend.h"
#include "callerid/ModemBackend.h"
#include "callerid/NcidClient.h"
#include "platform/Error.h"

#include <QUrl>

namespace {

constexpr int ncidDefaultPort = 3333;

Error unusableAddress(const QString &address) {
    return Error(QStringLiteral("Caller-ID cihazının adresi kullanılamıyor: ") + address);
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
    connect(backend.get(), &CallerIdBackend::callerId, this, &TCIDv5::deliver);
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
    if (address.contains(QStringLiteral("://")))
        throw unusableAddress(address);
    return std::make_unique<ModemBackend>(address);
}

void TCIDv5::deliver(const CallerIdCall &call) {
    emit OnCallerID(call.deviceId, call.line, call.number, call.dateTime(), call.otherText());
}
