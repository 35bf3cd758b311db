#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <memory>

struct st_mysql;
typedef struct st_mysql MYSQL;
class TestDatabase;
class TZConnection;

// The one database of a benchmark run: a fresh database on the private server, filled once
// with a large generated directory. Every benchmark connects to it the same way: TCP over
// loopback, latin5.
class BenchEnvironment {
public:
    static constexpr int kCustomers = 100000;
    static constexpr int kCalls = 200000;

    // Creates and fills the database; throws std::runtime_error when that fails.
    static void setUp();
    static void tearDown();
    static BenchEnvironment &get();

    QString databaseName() const;
    double loadSeconds() const { return m_loadSeconds; }
    QByteArray serverVersion() const { return m_serverVersion; }

    // A C API connection with the program's settings (latin5, TCP); the caller closes it.
    MYSQL *connectRaw() const;
    // A TZConnection with the same settings, connected.
    std::unique_ptr<TZConnection> connectStore() const;

    ~BenchEnvironment();

private:
    BenchEnvironment();
    std::unique_ptr<TestDatabase> m_database;
    double m_loadSeconds = 0;
    QByteArray m_serverVersion;
};

// Bytes the process has allocated from the heap and not freed (small blocks and mapped
// large blocks alike); -1 where the C library cannot tell.
long long heapInUse();
