#pragma once

#include <QObject>
#include <QString>

#include <memory>

class CallerIdBackend;
struct CallerIdCall;

// The caller-ID device component. The settings value [CIDevice] Port chooses the device:
//
//   - a serial port (/dev/ttyACM0, /dev/ttyUSB0, /dev/serial/by-id/..., COM3): a
//     Hayes-style modem with caller ID (ModemBackend);
//   - ncid://host[:port] (port 3333 when left out): an NCID caller-ID server on the
//     network (NcidClient).
//
// StartDevice() throws Error when the address is empty or unusable, or the modem cannot be
// opened or set up. An NCID server that is down at start is no failure: the component
// connects as soon as the server is up, and again whenever the connection drops; until
// then the device model is empty, which the status bar shows as no device attached.
//
// Every call arrives as OnCallerID(DeviceID, Line, PhoneNumber, DateTime, OtherText):
// DeviceID is the port path or host:port, Line a whole number (1 for a single line),
// PhoneNumber the number as the device delivered it (a withheld number in words: "Gizli
// Numara", "Bölge Dışı", "Anonim Arama"), DateTime the device's own date and time as it
// wrote them, and OtherText the caller's listed name (and any undecoded message). OnSignalA
// is never raised.
class TCIDv5 : public QObject {
    Q_OBJECT
public:
    explicit TCIDv5(QObject *owner = nullptr);
    ~TCIDv5() override;

    // The settings value [CIDevice] Port; used by the next StartDevice().
    void setPort(const QString &address);
    QString port() const { return m_address; }

    void StartDevice();

    // "devicemodel": the device's model while it answers, empty otherwise; "serial": which
    // device it is (the port path, or host:port). Names compare without regard to case;
    // any other key gives an empty text. Cheap: it returns what the component knows.
    QString DeviceInfo(const QString &key);

    // The back end StartDevice() created, or null (for tests and diagnostics).
    CallerIdBackend *backend() const { return m_backend.get(); }

signals:
    void OnCallerID(const QString &DeviceID, const QString &Line, const QString &PhoneNumber,
                    const QString &DateTime, const QString &OtherText);
    void OnSignalA(const QString &Level1, const QString &Level2, const QString &Level3,
                   const QString &Level4, const QString &Level5, const QString &Level6,
                   const QString &Level7, const QString &Level8);

private:
    std::unique_ptr<CallerIdBackend> createBackend() const;
    void deliver(const CallerIdCall &call);

    QString m_address;
    std::unique_ptr<CallerIdBackend> m_backend;
};
