#include "BenchEnvironment.h"

#include "DemoData.h"
#include "store/TZConnection.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>

#include <mysql.h>

#include <stdexcept>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
BenchEnvironment *g_environment = nullptr;
}

BenchEnvironment::BenchEnvironment()
    : m_database(std::make_unique<TestDatabase>()) {
    QElapsedTimer timer;
    timer.start();
    demodata::Settings settings;
    settings.customers = kCustomers;
    settings.calls = kCalls;
    settings.days = 365;
    settings.latestCallToday = QTime(23, 59, 59); // every call counts
    settings.offers = 0;
    settings.rowsPerStatement = 1000;
    m_database->exec("START TRANSACTION");
    const demodata::Counts counts = demodata::generate(
        settings, [this](const QByteArray &statement) { m_database->exec(statement); });
    m_database->exec("COMMIT");
    m_database->exec("ANALYZE TABLE rehber, arayanlar");
    m_loadSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;

    const auto rows = m_database->scalar("SELECT COUNT(*) FROM rehber");
    const auto calls = m_database->scalar("SELECT COUNT(*) FROM arayanlar");
    if (!rows || rows->toInt() != kCustomers || !calls || calls->toInt() != kCalls ||
        counts.customers != kCustomers || counts.calls != kCalls)
        throw std::runtime_error("the generated directory did not load completely");
    const QByteArray absent = demodata::quoted(demodata::absentNumber());
    const auto holders =
        m_database->scalar("SELECT COUNT(*) FROM rehber WHERE gsmtel1 = " + absent +
                           " OR gsmtel2 = " + absent + " OR firmatel = " + absent);
    if (!holders || holders->toInt() != 0)
        throw std::runtime_error("the number meant to be absent is in the directory");
    m_serverVersion = m_database->scalar("SELECT VERSION()").value_or(QByteArray());
}

BenchEnvironment::~BenchEnvironment() = default;

void BenchEnvironment::setUp() {
    if (!g_environment)
        g_environment = new BenchEnvironment();
}

void BenchEnvironment::tearDown() {
    delete g_environment;
    g_environment = nullptr;
}

BenchEnvironment &BenchEnvironment::get() {
    return *g_environment;
}

QString BenchEnvironment::databaseName() const {
    return m_database->name();
}

MYSQL *BenchEnvironment::connectRaw() const {
    return TestDatabase::connectRaw(databaseName().toUtf8());
}

std::unique_ptr<TZConnection> BenchEnvironment::connectStore() const {
    auto connection = std::make_unique<TZConnection>();
    connection->HostName = TestDatabase::host();
    connection->Port = TestDatabase::port();
    connection->User = TestDatabase::user();
    connection->Password = TestDatabase::password();
    connection->Database = databaseName();
    connection->connect();
    return connection;
}

long long heapInUse() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
#else
    return -1;
#endif
}
