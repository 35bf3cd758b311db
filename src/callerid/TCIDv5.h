#pragma once

#include "callerid/CallerIdCall.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <deque>
#include <memory>

class CallerIdBackend;

// The caller-ID device component. The settings value [CIDevice] Port chooses the device:
//
//   - a serial port (/dev/ttyACM0, /dev/ttyUSB0, /dev/serial/by-id/..., COM3): a
//     Hayes-style modem with caller ID (ModemBackend);
//   - ncid://host[:port] (port 3333 when left out): an NCID caller-ID server on the
//     network (NcidClient).
//
// StartDevice() throws Error when the address is empty or can never name a device (a
// relative path, an existing file or folder that is no device, another scheme), or when
// the modem answers but refuses caller ID. A device that is not there yet is no failure: a
// modem port that is missing or a modem that does not answer is opened and set up as soon
// as it appears or answers, an NCID server that is down is connected to as soon as it is
// up, and both again whenever the link drops; until then the device model is empty, which
// the status bar shows as no device attached.
//
// Every call arrives as OnCallerID(DeviceID, Line, PhoneNumber, DateTime, OtherText):
// DeviceID is the port path or host:port, Line a whole number (1 for a single line),
// PhoneNumber the number as the device delivered it (a withheld number in words: "Gizli
// Numara", "Bölge Dışı", "Anonim Arama"), DateTime the device's own date and time as it
// wrote them, and OtherText the caller's listed name (and any undecoded message). OnSignalA
// is never raised.
//
// A call is raised from the event loop, never from inside the back end's read handler, one
// event per call in the order the calls arrived. So a handler that opens a modal box does not
// hold the device up: the box's event loop goes on reading the device and raising the later
// calls. callArrived() tells a handler when its call reached the PC.
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

    // While OnCallerID is being raised: the PC's time at which that call reached the
    // component. Invalid outside OnCallerID.
    QDateTime callArrived() const { return m_callArrived; }

    // The back end StartDevice() created, or null (for tests and diagnostics).
    CallerIdBackend *backend() const { return m_backend.get(); }

signals:
    void OnCallerID(const QString &DeviceID, const QString &Line, const QString &PhoneNumber,
                    const QString &DateTime, const QString &OtherText);
    void OnSignalA(const QString &Level1, const QString &Level2, const QString &Level3,
                   const QString &Level4, const QString &Level5, const QString &Level6,
                   const QString &Level7, const QString &Level8);

private:
    struct ArrivedCall {
        CallerIdCall call;
        QDateTime arrived;
    };

    std::unique_ptr<CallerIdBackend> createBackend() const;
    void enqueue(const CallerIdCall &call);
    void raiseNext();

    QString m_address;
    std::unique_ptr<CallerIdBackend> m_backend;
    std::deque<ArrivedCall> m_arrived; // reported by the back end, not yet raised
    QDateTime m_callArrived;
};
