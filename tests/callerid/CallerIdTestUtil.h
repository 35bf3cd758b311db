#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTest>

#include <functional>

// Runs the event loop until the condition holds or the time is up; returns the condition.
inline bool waitUntil(const std::function<bool()> &condition, int milliseconds = 5000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

// A loopback port that nothing listens on right now.
inline quint16 freeLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}
