#pragma once

#include "callerid/CallerIdCall.h"

#include <QObject>
#include <QString>

// A source of caller-ID events behind the device component: a modem on a serial port or
// an NCID server on the network. Everything runs on the thread that owns the object.
class CallerIdBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts watching for calls. Throws Error when the back end cannot start.
    virtual void start() = 0;

    // Cached state, cheap to ask: a non-empty model while the device answers.
    virtual QString deviceModel() const = 0;
    // Which device this is, for the user (the port path, or host:port).
    virtual QString deviceSerial() const = 0;

signals:
    void callerId(const CallerIdCall &call);
};
