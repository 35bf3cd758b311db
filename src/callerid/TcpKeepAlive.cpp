#include "callerid/TcpKeepAlive.h"

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace {

bool setOption(qintptr socketDescriptor, int level, int option, int value) {
#ifdef Q_OS_WIN
    const DWORD word = static_cast<DWORD>(value);
    return ::setsockopt(static_cast<SOCKET>(socketDescriptor), level, option,
                        reinterpret_cast<const char *>(&word), sizeof word) == 0;
#else
    return ::setsockopt(static_cast<int>(socketDescriptor), level, option, &value, sizeof value) ==
           0;
#endif
}

} // namespace

bool applyTcpKeepAlive(qintptr socketDescriptor, const TcpKeepAlive &keepAlive) {
    if (socketDescriptor < 0)
        return false;
    bool ok = setOption(socketDescriptor, SOL_SOCKET, SO_KEEPALIVE, 1);
#if defined(TCP_KEEPIDLE)
    ok = setOption(socketDescriptor, IPPROTO_TCP, TCP_KEEPIDLE, keepAlive.idleSeconds) && ok;
#elif defined(TCP_KEEPALIVE) // macOS names the idle time so
    ok = setOption(socketDescriptor, IPPROTO_TCP, TCP_KEEPALIVE, keepAlive.idleSeconds) && ok;
#else
    ok = false;
#endif
#if defined(TCP_KEEPINTVL) && defined(TCP_KEEPCNT)
    ok = setOption(socketDescriptor, IPPROTO_TCP, TCP_KEEPINTVL, keepAlive.intervalSeconds) && ok;
    ok = setOption(socketDescriptor, IPPROTO_TCP, TCP_KEEPCNT, keepAlive.probes) && ok;
#else
    ok = false;
#endif
    return ok;
}
