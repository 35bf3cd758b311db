#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "store/SqlError.h"
#include "store/TableInfo.h"

struct st_mysql;
typedef struct st_mysql MYSQL;
class StatementResults;
class TZQuery;

// The one database connection of the program, over MariaDB Connector/C. Its properties
// take effect at the next connect.
//
// When the server goes away or the connection is lost, the connection stays open for the
// program: the statement that met the loss fails with its error, and the next statement
// opens the server connection again with the same values (AfterConnect does not run again,
// and the datasets keep their rows). A statement is sent once more only when it cannot have
// reached the server. A dataset still on the connection when it goes is closed and detached.
class TZConnection {
public:
    TZConnection();
    ~TZConnection();
    TZConnection(const TZConnection &) = delete;
    TZConnection &operator=(const TZConnection &) = delete;

    QString Protocol = QStringLiteral("mysql-5");
    QString HostName;
    int Port = 0; // 0: the default port 3306
    QString Database;
    QString Catalog;
    QString User;
    QString Password;

    // Runs after every successful connect, whatever started it; an error it throws
    // reaches the caller of connect, and the connection stays open.
    std::function<void()> AfterConnect;
    // Runs when a statement has opened a lost server connection again, before the statement
    // is sent. It runs inside that statement, so it must send none itself.
    std::function<void()> AfterReconnect;

    void connect();
    // Closes every dataset of the connection, then the connection.
    void disconnect();
    // Open for the program; it stays so while the server connection is lost.
    bool connected() const { return m_connected; }

    // Runs a statement and reads all its results; returns the rows it returned or changed.
    quint64 executeDirect(const QByteArray &statement);
    // The first row of a statement's result; a null value is nullopt.
    std::vector<std::optional<QByteArray>> selectRow(const QByteArray &statement);

    // What the layer knows of a table, asked from the server once per table while the
    // connection stays open. Null when the table does not exist.
    const TableInfo *tableInfo(const QByteArray &table);

    // Escapes text for a quoted literal with the open connection's character set.
    QByteArray escape(const QByteArray &text);

    // The id the last INSERT gave its row.
    quint64 lastInsertId() const;

    // The client handle of the server connection; null while it is lost or closed.
    MYSQL *handle() const { return m_handle; }

private:
    friend class TZQuery;
    friend class StatementResults;
    void attach(TZQuery *dataset);
    void detach(TZQuery *dataset);

    // Sends a statement on a live server connection; its results are read through the
    // returned object.
    StatementResults run(const QByteArray &statement);
    MYSQL *liveHandle();
    MYSQL *openHandle();
    void dropLostHandle();
    // "SQL Error: " + the client's message, with the client's error number.
    SqlError errorOf(MYSQL *handle, bool statementMayHaveRun) const;
    [[noreturn]] void fail(MYSQL *handle, bool statementMayHaveRun);

    MYSQL *m_handle = nullptr;
    bool m_connected = false;
    std::vector<TZQuery *> m_datasets;
    std::map<QByteArray, std::unique_ptr<TableInfo>> m_tables; // null entry: table missing
};
