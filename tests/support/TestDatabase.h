#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

struct st_mysql;
typedef struct st_mysql MYSQL;

// A database of its own for one test, on the private server that `make test` starts
// (found through ZEFIRAN_TEST_DB_HOST, _PORT, _USER, _PASSWORD). It is created from
// db/schema.sql and dropped when the object goes.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    QString name() const { return m_name; }
    static QString host();
    static int port();
    static QString user();
    static QString password();

    // A C API connection to the test server with the program's settings (latin5, TCP),
    // opening database when it is not empty; the caller closes it.
    static MYSQL *connectRaw(const QByteArray &database);

    // Runs one statement on a connection of the test's own (latin5, like the program's).
    void exec(const QByteArray &statement);
    // Rows of a query; a null value is nullopt.
    using Row = std::vector<std::optional<QByteArray>>;
    std::vector<Row> query(const QByteArray &statement);
    // The first value of the first row.
    std::optional<QByteArray> scalar(const QByteArray &statement);

    // The statements a client connection sent, oldest first, read from the server's general
    // log (which scripts/with-test-db.sh switches on).
    std::vector<QByteArray> statementsOf(unsigned long connectionId);

private:
    QString m_name;
    MYSQL *m_handle = nullptr;
};
