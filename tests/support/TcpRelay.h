#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A loopback relay in front of a server: every connection made to port() is passed through
// to the target port byte for byte, until the test cuts it. It runs in a thread of its own,
// since the client library blocks the test's thread while it waits for an answer.
class TcpRelay {
public:
    explicit TcpRelay(quint16 targetPort);
    ~TcpRelay();
    TcpRelay(const TcpRelay &) = delete;
    TcpRelay &operator=(const TcpRelay &) = delete;

    quint16 port() const { return m_port; }

    // Drops every relayed connection and refuses new ones, like a server that went away.
    void stop();
    // Takes connections on the same port again, like the server back up.
    void start();
    // Drops every relayed connection (new ones are taken), like a server that restarted.
    void dropConnections();
    // The next request a client sends reaches the server, and the connection is dropped at
    // once: the server runs the statement, the client never hears its answer.
    void dropAfterNextRequest();
    // The connections passed through now.
    int connectionCount();

private:
    struct Pair {
        int client;
        int server;
    };
    void run();
    void execute(std::function<void()> command); // in the relay's thread, waiting for it
    void listenNow();
    void closeAll();
    void closePair(size_t index);
    bool forward(int from, int to);

    quint16 m_targetPort;
    quint16 m_port = 0;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    std::vector<Pair> m_pairs;
    bool m_dropAfterRequest = false;

    std::mutex m_mutex;
    std::condition_variable m_done;
    std::vector<std::function<void()>> m_commands;
    bool m_stop = false;
    std::thread m_thread;
};
