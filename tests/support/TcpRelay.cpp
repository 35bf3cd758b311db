#include "TcpRelay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

sockaddr_in loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace

TcpRelay::TcpRelay(quint16 targetPort)
    : m_targetPort(targetPort) {
    if (::pipe(m_wake) != 0)
        throw std::runtime_error("pipe failed");
    listenNow();
    m_thread = std::thread([this] { run(); });
}

TcpRelay::~TcpRelay() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    const char byte = 0;
    [[maybe_unused]] const auto written = ::write(m_wake[1], &byte, 1);
    m_thread.join();
    closeAll();
    if (m_listener >= 0)
        ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

void TcpRelay::listenNow() {
    if (m_listener >= 0)
        return;
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address = loopback(m_port);
    if (::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0)
        throw std::runtime_error("the relay cannot listen");
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
    m_port = ntohs(address.sin_port);
}

void TcpRelay::closePair(size_t index) {
    ::close(m_pairs[index].client);
    ::close(m_pairs[index].server);
    m_pairs.erase(m_pairs.begin() + static_cast<long>(index));
}

void TcpRelay::closeAll() {
    while (!m_pairs.empty())
        closePair(m_pairs.size() - 1);
}

void TcpRelay::execute(std::function<void()> command) {
    std::unique_lock<std::mutex> lock(m_mutex);
    bool done = false;
    m_commands.push_back([&, command] {
        command();
        done = true;
    });
    const char byte = 0;
    [[maybe_unused]] const auto written = ::write(m_wake[1], &byte, 1);
    m_done.wait(lock, [&] { return done; });
}

void TcpRelay::stop() {
    execute([this] {
        closeAll();
        ::close(m_listener);
        m_listener = -1;
    });
}

void TcpRelay::start() {
    execute([this] { listenNow(); });
}

void TcpRelay::dropConnections() {
    execute([this] { closeAll(); });
}

void TcpRelay::dropAfterNextRequest() {
    execute([this] { m_dropAfterRequest = true; });
}

int TcpRelay::connectionCount() {
    int count = 0;
    execute([&] { count = static_cast<int>(m_pairs.size()); });
    return count;
}

bool TcpRelay::forward(int from, int to) {
    char buffer[16384];
    const ssize_t n = ::read(from, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    for (ssize_t sent = 0; sent < n;) {
        const ssize_t w = ::send(to, buffer + sent, static_cast<size_t>(n - sent), MSG_NOSIGNAL);
        if (w <= 0)
            return false;
        sent += w;
    }
    return true;
}

void TcpRelay::run() {
    for (;;) {
        std::vector<pollfd> fds;
        fds.push_back({m_wake[0], POLLIN, 0});
        fds.push_back({m_listener, static_cast<short>(m_listener >= 0 ? POLLIN : 0), 0});
        for (const Pair &pair : m_pairs) {
            fds.push_back({pair.client, POLLIN, 0});
            fds.push_back({pair.server, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0)
            continue;

        if (fds[0].revents & POLLIN) {
            char drain[64];
            [[maybe_unused]] const auto n = ::read(m_wake[0], drain, sizeof drain);
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop)
                return;
            for (auto &command : m_commands)
                command();
            m_commands.clear();
            m_done.notify_all();
            continue; // the sockets may have changed
        }
        for (size_t i = (fds.size() - 2) / 2; i-- > 0;) {
            const pollfd &client = fds[2 + 2 * i];
            const pollfd &server = fds[3 + 2 * i];
            bool open = true;
            if (client.revents & (POLLIN | POLLHUP | POLLERR)) {
                open = forward(client.fd, server.fd);
                if (open && m_dropAfterRequest) {
                    m_dropAfterRequest = false;
                    open = false;
                }
            }
            if (open && (server.revents & (POLLIN | POLLHUP | POLLERR)))
                open = forward(server.fd, client.fd);
            if (!open)
                closePair(i);
        }
        if (m_listener >= 0 && (fds[1].revents & POLLIN)) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client >= 0) {
                const int server = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in target = loopback(m_targetPort);
                if (::connect(server, reinterpret_cast<sockaddr *>(&target), sizeof target) == 0) {
                    m_pairs.push_back({client, server});
                } else {
                    ::close(client);
                    ::close(server);
                }
            }
        }
    }
}
