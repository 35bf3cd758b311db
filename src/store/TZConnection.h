#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "store/TableInfo.h"

struct st_mysql;
typedef struct st_mysql MYSQL;
class TZQuery;

// The one database connection of the program, over MariaDB Connector/C. Its properties
// take effect at the next connect.
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

    void connect();
    // Closes every dataset of the connection, then the connection.
    void disconnect();
    bool connected() const { return m_handle != nullptr; }

    // Runs a statement that returns no rows; returns the number of affected rows.
    quint64 executeDirect(const QByteArray &statement);
    // The first row of a statement's result; a null value is nullopt.
    std::vector<std::optional<QByteArray>> selectRow(const QByteArray &statement);

    // What the layer knows of a table, asked from the server once per table while the
    // connection stays open. Null when the table does not exist.
    const TableInfo *tableInfo(const QByteArray &table);

    // Escapes text for a quoted literal with the open connection's character set.
    QByteArray escape(const QByteArray &text);

    MYSQL *handle() const { return m_handle; }

    // The error of the last failed client call: "SQL Error: " + the client's message.
    [[noreturn]] void throwLastError();

private:
    friend class TZQuery;
    void attach(TZQuery *dataset);
    void detach(TZQuery *dataset);

    MYSQL *m_handle = nullptr;
    std::vector<TZQuery *> m_datasets;
    std::map<QByteArray, std::unique_ptr<TableInfo>> m_tables; // null entry: table missing
};
