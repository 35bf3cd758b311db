#pragma once

#include <QtGlobal>

// How soon a TCP connection notices a peer that has gone without a word (a cable pulled, a
// host switched off): after idleSeconds without traffic the system sends a probe, then one
// every intervalSeconds, and gives the connection up when that many probes in a row go
// unanswered. The system's own default waits about two hours before the first probe.
struct TcpKeepAlive {
    int idleSeconds = 20;
    int intervalSeconds = 5;
    int probes = 4;

    // The longest a vanished peer goes unnoticed after the last traffic.
    int detectionSeconds() const { return idleSeconds + intervalSeconds * probes; }
};

// Switches keep-alive on for the connected socket with these times. False when the system
// refuses one of them (it then keeps its own).
bool applyTcpKeepAlive(qintptr socketDescriptor, const TcpKeepAlive &keepAlive);
