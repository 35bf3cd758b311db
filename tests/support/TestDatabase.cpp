#include "TestDatabase.h"

#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>
#include <mysql.h>

#include <atomic>
#include <stdexcept>
#include <unistd.h>

namespace {

QString env(const char *name) {
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty())
        throw std::runtime_error(std::string(name) +
                                 " is not set: run the tests with `make test`, which starts "
                                 "the private database server");
    return value;
}

} // namespace

MYSQL *TestDatabase::connectRaw(const QByteArray &database) {
    MYSQL *handle = mysql_init(nullptr);
    mysql_options(handle, MYSQL_SET_CHARSET_NAME, "latin5");
    const unsigned int tcp = MYSQL_PROTOCOL_TCP;
    mysql_options(handle, MYSQL_OPT_PROTOCOL, &tcp);
    if (!mysql_real_connect(handle, TestDatabase::host().toUtf8().constData(),
                            TestDatabase::user().toUtf8().constData(),
                            TestDatabase::password().toUtf8().constData(),
                            database.isEmpty() ? nullptr : database.constData(),
                            static_cast<unsigned>(TestDatabase::port()), nullptr, 0)) {
        const std::string message = mysql_error(handle);
        mysql_close(handle);
        throw std::runtime_error("cannot connect to the test server: " + message);
    }
    return handle;
}

namespace {

void run(MYSQL *handle, const QByteArray &statement) {
    if (mysql_real_query(handle, statement.constData(), statement.size()) != 0)
        throw std::runtime_error("statement failed: " + statement.toStdString() + ": " +
                                 mysql_error(handle));
    if (MYSQL_RES *result = mysql_store_result(handle))
        mysql_free_result(result);
}

std::vector<QByteArray> schemaStatements() {
    QFile file(QStringLiteral(ZEFIRAN_SOURCE_DIR "/db/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read db/schema.sql");
    QByteArray text;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (!line.trimmed().startsWith("--"))
            text += line + '\n';
    std::vector<QByteArray> statements;
    for (const QByteArray &part : text.split(';'))
        if (!part.trimmed().isEmpty())
            statements.push_back(part.trimmed());
    return statements;
}

} // namespace

QString TestDatabase::host() {
    return env("ZEFIRAN_TEST_DB_HOST");
}
int TestDatabase::port() {
    return env("ZEFIRAN_TEST_DB_PORT").toInt();
}
QString TestDatabase::user() {
    return env("ZEFIRAN_TEST_DB_USER");
}
QString TestDatabase::password() {
    return qEnvironmentVariable("ZEFIRAN_TEST_DB_PASSWORD");
}

TestDatabase::TestDatabase() {
    static std::atomic<int> counter{0};
    m_name = QStringLiteral("t%1_%2_%3")
                 .arg(getpid())
                 .arg(counter++)
                 .arg(QRandomGenerator::global()->bounded(1000000));
    MYSQL *admin = connectRaw({});
    try {
        run(admin, "CREATE DATABASE " + m_name.toLatin1() +
                       " CHARACTER SET latin5 COLLATE latin5_turkish_ci");
    } catch (...) {
        mysql_close(admin);
        throw;
    }
    mysql_close(admin);
    m_handle = connectRaw(m_name.toLatin1());
    for (const QByteArray &statement : schemaStatements())
        run(m_handle, statement);
}

TestDatabase::~TestDatabase() {
    if (m_handle) {
        try {
            run(m_handle, "DROP DATABASE " + m_name.toLatin1());
        } catch (const std::exception &e) {
            ADD_FAILURE() << e.what();
        }
        mysql_close(m_handle);
    }
}

void TestDatabase::exec(const QByteArray &statement) {
    run(m_handle, statement);
}

std::vector<TestDatabase::Row> TestDatabase::query(const QByteArray &statement) {
    if (mysql_real_query(m_handle, statement.constData(), statement.size()) != 0)
        throw std::runtime_error("query failed: " + statement.toStdString() + ": " +
                                 mysql_error(m_handle));
    MYSQL_RES *result = mysql_store_result(m_handle);
    std::vector<Row> rows;
    if (!result)
        return rows;
    const unsigned int columns = mysql_num_fields(result);
    while (MYSQL_ROW values = mysql_fetch_row(result)) {
        const unsigned long *lengths = mysql_fetch_lengths(result);
        Row row;
        for (unsigned int c = 0; c < columns; ++c) {
            if (values[c])
                row.emplace_back(QByteArray(values[c], static_cast<qsizetype>(lengths[c])));
            else
                row.emplace_back(std::nullopt);
        }
        rows.push_back(std::move(row));
    }
    mysql_free_result(result);
    return rows;
}

std::optional<QByteArray> TestDatabase::scalar(const QByteArray &statement) {
    const auto rows = query(statement);
    if (rows.empty() || rows.front().empty())
        return std::nullopt;
    return rows.front().front();
}

std::vector<QByteArray> TestDatabase::statementsOf(unsigned long connectionId) {
    std::vector<QByteArray> statements;
    for (const Row &row : query("SELECT argument FROM mysql.general_log WHERE thread_id = " +
                                QByteArray::number(static_cast<qulonglong>(connectionId)) +
                                " AND command_type = 'Query' ORDER BY event_time"))
        statements.push_back(row.front().value_or(QByteArray()));
    return statements;
}
