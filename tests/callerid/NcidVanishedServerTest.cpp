// A server whose host vanishes without a word: no FIN, no RST, nothing more gets through.

#include "CallerIdTestUtil.h"

#include "callerid/NcidClient.h"
#include "callerid/NcidServer.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Moves the calling thread into a network namespace of its own, with only a loopback, for
// as long as the object lives; sockets made meanwhile stay in it. Needs root
// (CAP_SYS_ADMIN); failed() says why it could not.
class PrivateNetwork {
public:
    PrivateNetwork() {
        m_home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        if (m_home < 0) {
            m_failure = std::string("/proc/thread-self/ns/net: ") + std::strerror(errno);
            return;
        }
        if (::unshare(CLONE_NEWNET) != 0) {
            m_failure = std::string("unshare(CLONE_NEWNET): ") + std::strerror(errno);
            return;
        }
        m_entered = true;
        if (!setLoopbackUp(true))
            m_failure = "the private loopback cannot be brought up";
    }
    ~PrivateNetwork() {
        if (m_entered)
            ::setns(m_home, CLONE_NEWNET);
        if (m_home >= 0)
            ::close(m_home);
    }
    PrivateNetwork(const PrivateNetwork &) = delete;
    PrivateNetwork &operator=(const PrivateNetwork &) = delete;

    const std::string &failed() const { return m_failure; }

    // Down, the loopback drops every packet and tells no socket: to the client, its server
    // has vanished.
    bool setLoopbackUp(bool up) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        ifreq request{};
        std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
        bool ok = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
        if (up)
            request.ifr_flags |= IFF_UP;
        else
            request.ifr_flags &= ~IFF_UP;
        ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
        ::close(fd);
        return ok;
    }

private:
    int m_home = -1;
    bool m_entered = false;
    std::string m_failure;
};

int tcpOption(qintptr socket, int level, int option) {
    int value = -1;
    socklen_t size = sizeof value;
    if (::getsockopt(static_cast<int>(socket), level, option, &value, &size) != 0)
        return -1;
    return value;
}

} // namespace

// The times the program runs with: a vanished server is noticed within about a minute.
TEST(NcidClientKeepAlive, TheConnectionIsProbedWithShortTimes) {
    NcidServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    NcidClient client(QStringLiteral("127.0.0.1"), server.port());
    client.start();
    ASSERT_TRUE(waitUntil([&] { return !client.deviceModel().isEmpty(); }));

    const qintptr socket = client.socketDescriptor();
    EXPECT_EQ(tcpOption(socket, SOL_SOCKET, SO_KEEPALIVE), 1);
    const int idle = tcpOption(socket, IPPROTO_TCP, TCP_KEEPIDLE);
    const int interval = tcpOption(socket, IPPROTO_TCP, TCP_KEEPINTVL);
    const int probes = tcpOption(socket, IPPROTO_TCP, TCP_KEEPCNT);
    EXPECT_EQ(idle, client.keepAlive().idleSeconds);
    EXPECT_EQ(interval, client.keepAlive().intervalSeconds);
    EXPECT_EQ(probes, client.keepAlive().probes);
    EXPECT_LE(idle + interval * probes, 60);
}

// With the server's packets dropped, the client notices by keep-alive alone (the server
// keeps its end open and sends nothing), shows no device, and connects again once the
// server can be reached.
TEST(NcidClientKeepAlive, AServerThatVanishesIsNoticedAndConnectedToAgain) {
    PrivateNetwork network;
    if (!network.failed().empty())
        GTEST_SKIP() << "a vanished host is played in a private network namespace, which needs "
                        "root: "
                     << network.failed();

    NcidServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    NcidClient client(QStringLiteral("127.0.0.1"), server.port());
    client.setReconnectInterval(100);
    TcpKeepAlive quick;
    quick.idleSeconds = 1;
    quick.intervalSeconds = 1;
    quick.probes = 2;
    client.setKeepAlive(quick);
    QSignalSpy calls(&client, &NcidClient::callerId);
    client.start();
    ASSERT_TRUE(waitUntil([&] { return !client.deviceModel().isEmpty(); }));

    ASSERT_TRUE(network.setLoopbackUp(false));
    ASSERT_TRUE(waitUntil([&] { return client.deviceModel().isEmpty(); },
                          (quick.detectionSeconds() + 10) * 1000));
    EXPECT_EQ(server.clientCount(), 1); // the server never saw the connection end

    ASSERT_TRUE(network.setLoopbackUp(true));
    ASSERT_TRUE(waitUntil([&] { return !client.deviceModel().isEmpty(); }, 10000));
    server.announceCall(QStringLiteral("05321234567"));
    ASSERT_TRUE(waitUntil([&] { return calls.size() == 1; }));
    EXPECT_EQ(calls.at(0).at(0).value<CallerIdCall>().number, QStringLiteral("05321234567"));
}
