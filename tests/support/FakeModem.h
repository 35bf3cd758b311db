#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// The modem's side of a pseudo-terminal: the back end opens slavePath() as its serial
// port; a thread answers its AT commands the way a real modem does (echo until ATE0,
// "OK"/"ERROR" results between CR LF pairs), and the test writes what the modem reports
// with send().
class FakeModem {
public:
    FakeModem() {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        termios raw{};
        tcgetattr(m_slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_slave, TCSANOW, &raw);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_path = QString::fromLocal8Bit(name);
        // A USRobotics-like modem.
        m_replies.insert("AT+GMI", "\r\nU.S. Robotics\r\n\r\nOK\r\n");
        m_replies.insert("AT+GMM", "\r\nUSR5637 56K Faxmodem\r\n\r\nOK\r\n");
        m_replies.insert("AT+VCID=1", "\r\nOK\r\n");
        m_thread = std::thread([this] { run(); });
    }
    ~FakeModem() { unplug(); }
    FakeModem(const FakeModem &) = delete;
    FakeModem &operator=(const FakeModem &) = delete;

    QString slavePath() const { return m_path; }

    // What the modem answers to a command (upper case, without CR); unknown ones get ERROR.
    void setReply(const QByteArray &command, const QByteArray &answer) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_replies.insert(command, answer);
    }
    // A modem that is switched off reads nothing and answers nothing.
    void setSilent(bool silent) { m_silent = silent; }

    void send(const QByteArray &bytes) { writeAll(bytes); }

    QList<QByteArray> commands() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_commands;
    }

    // The USB cable pulled: the pseudo-terminal goes away.
    void unplug() {
        if (m_master < 0)
            return;
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_master);
        ::close(m_slave);
        m_master = m_slave = -1;
    }

private:
    void run() {
        QByteArray pending;
        while (!m_stop) {
            pollfd fd{m_master, POLLIN, 0};
            if (::poll(&fd, 1, 20) <= 0 || !(fd.revents & POLLIN))
                continue;
            char buffer[256];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0 || m_silent)
                continue;
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] == '\r') {
                    answer(pending.trimmed().toUpper());
                    pending.clear();
                } else if (buffer[i] != '\n') {
                    pending.append(buffer[i]);
                }
            }
        }
    }

    void answer(const QByteArray &command) {
        if (command.isEmpty())
            return;
        QByteArray reply;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_commands.append(command);
            if (command == "AT" || command.startsWith("ATE0") || command.startsWith("ATE1"))
                reply = "\r\nOK\r\n";
            reply = m_replies.value(command, reply.isEmpty() ? QByteArray("\r\nERROR\r\n") : reply);
        }
        if (m_echo)
            writeAll(command + "\r");
        if (command.startsWith("ATE0"))
            m_echo = false;
        writeAll(reply);
    }

    void writeAll(QByteArray bytes) {
        while (!bytes.isEmpty() && m_master >= 0) {
            const ssize_t n = ::write(m_master, bytes.constData(), bytes.size());
            if (n > 0)
                bytes.remove(0, n);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    mutable std::mutex m_mutex;
    QHash<QByteArray, QByteArray> m_replies;
    QList<QByteArray> m_commands;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_silent{false};
    std::atomic<bool> m_echo{true};
    std::thread m_thread;
};

// A stable device name (like /dev/serial/by-id/...) for whichever terminal a modem gets: it
// names nothing until a modem is plugged in, and nothing again once it is unplugged.
class ModemSocket {
public:
    ModemSocket()
        : m_path(m_dir.filePath(QStringLiteral("modem"))) {}

    QString path() const { return m_path; }

    bool plug(const FakeModem &modem) {
        QFile::remove(m_path);
        return QFile::link(modem.slavePath(), m_path);
    }
    void unplug() { QFile::remove(m_path); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};
