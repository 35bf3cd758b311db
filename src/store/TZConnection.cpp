#include "store/TZConnection.h"

#include "platform/Cp1254.h"
#include "platform/Error.h"
#include "store/TZQuery.h"

#include <mysql.h>

#include <algorithm>

namespace {

// The client's message as the user reads it: the server words it in the connection's
// character set, Windows-1254 for the bytes it quotes from the data.
QString clientMessage(MYSQL *handle) {
    return cp1254::toUnicode(QByteArray(mysql_error(handle))).trimmed();
}

struct Result {
    explicit Result(MYSQL_RES *r)
        : res(r) {}
    ~Result() {
        if (res)
            mysql_free_result(res);
    }
    Result(const Result &) = delete;
    Result &operator=(const Result &) = delete;
    MYSQL_RES *res;
};

QByteArray column(MYSQL_ROW row, const unsigned long *lengths, unsigned int index) {
    if (!row[index])
        return {};
    return QByteArray(row[index], static_cast<qsizetype>(lengths[index]));
}

bool isNullColumn(MYSQL_ROW row, unsigned int index) {
    return row[index] == nullptr;
}

} // namespace

TZConnection::TZConnection() = default;

TZConnection::~TZConnection() {
    // Datasets outlive nothing: detach them so they do not call back into a dead connection.
    if (m_handle)
        mysql_close(m_handle);
}

void TZConnection::attach(TZQuery *dataset) {
    m_datasets.push_back(dataset);
}

void TZConnection::detach(TZQuery *dataset) {
    m_datasets.erase(std::remove(m_datasets.begin(), m_datasets.end(), dataset), m_datasets.end());
}

void TZConnection::connect() {
    if (m_handle)
        return;
    if (Protocol != QLatin1String("mysql-5"))
        throw Error(QStringLiteral("Requested database driver was not found"));

    MYSQL *handle = mysql_init(nullptr);
    if (!handle)
        throw Error(QStringLiteral("Cannot connect to SQL server"));
    const unsigned int timeout = 0;
    mysql_options(handle, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    // The tables hold Windows-1254 bytes in the single-byte Turkish set; talking the same
    // set carries them unchanged both ways.
    mysql_options(handle, MYSQL_SET_CHARSET_NAME, "latin5");
    // Host and port are always a TCP address, also for "localhost".
    const unsigned int tcp = MYSQL_PROTOCOL_TCP;
    mysql_options(handle, MYSQL_OPT_PROTOCOL, &tcp);

    const QByteArray host = HostName.toUtf8();
    const QByteArray user = cp1254::fromUnicode(User);
    const QByteArray password = cp1254::fromUnicode(Password);
    const QByteArray database = cp1254::fromUnicode(Database);
    const unsigned int port = Port == 0 ? 3306u : static_cast<unsigned int>(Port);
    if (!mysql_real_connect(handle, host.constData(), user.constData(), password.constData(),
                            database.isEmpty() ? nullptr : database.constData(), port, nullptr,
                            0)) {
        const unsigned int code = mysql_errno(handle);
        const QString message = clientMessage(handle);
        mysql_close(handle);
        if (code != 0 && !message.isEmpty())
            throw Error(QStringLiteral("SQL Error: ") + message);
        throw Error(QStringLiteral("Cannot connect to SQL server"));
    }
    m_handle = handle;
    if (AfterConnect)
        AfterConnect();
}

void TZConnection::disconnect() {
    if (!m_handle)
        return;
    // A dataset's close may not touch this list, but copy it to be safe.
    const std::vector<TZQuery *> datasets = m_datasets;
    for (TZQuery *dataset : datasets)
        dataset->close();
    mysql_close(m_handle);
    m_handle = nullptr;
    m_tables.clear();
}

void TZConnection::throwLastError() {
    throw Error(QStringLiteral("SQL Error: ") + clientMessage(m_handle));
}

quint64 TZConnection::executeDirect(const QByteArray &statement) {
    connect();
    if (mysql_real_query(m_handle, statement.constData(),
                         static_cast<unsigned long>(statement.size())) != 0)
        throwLastError();
    const quint64 affected = mysql_affected_rows(m_handle);
    // Drain a result the statement may have returned, or the next statement is out of sync.
    Result drained(mysql_store_result(m_handle));
    return affected;
}

std::vector<std::optional<QByteArray>> TZConnection::selectRow(const QByteArray &statement) {
    connect();
    if (mysql_real_query(m_handle, statement.constData(),
                         static_cast<unsigned long>(statement.size())) != 0)
        throwLastError();
    Result result(mysql_store_result(m_handle));
    std::vector<std::optional<QByteArray>> values;
    if (!result.res)
        return values;
    if (MYSQL_ROW row = mysql_fetch_row(result.res)) {
        const unsigned long *lengths = mysql_fetch_lengths(result.res);
        for (unsigned int c = 0; c < mysql_num_fields(result.res); ++c)
            values.push_back(isNullColumn(row, c) ? std::nullopt
                                                  : std::optional(column(row, lengths, c)));
    }
    return values;
}

QByteArray TZConnection::escape(const QByteArray &text) {
    connect();
    QByteArray out(text.size() * 2 + 1, Qt::Uninitialized);
    const unsigned long length = mysql_real_escape_string(m_handle, out.data(), text.constData(),
                                                          static_cast<unsigned long>(text.size()));
    out.truncate(static_cast<qsizetype>(length));
    return out;
}

const TableInfo *TZConnection::tableInfo(const QByteArray &table) {
    if (auto known = m_tables.find(table); known != m_tables.end())
        return known->second.get();
    connect();

    const QByteArray database = quoteIdentifier(cp1254::fromUnicode(Database));
    const QByteArray qualified = database + '.' + quoteIdentifier(table);
    auto query = [this](const QByteArray &statement) {
        if (mysql_real_query(m_handle, statement.constData(),
                             static_cast<unsigned long>(statement.size())) != 0)
            throwLastError();
        MYSQL_RES *result = mysql_store_result(m_handle);
        if (!result && mysql_errno(m_handle) != 0)
            throwLastError();
        return result;
    };

    {
        Result tables(query("SHOW TABLES FROM " + database + " LIKE '" + escape(table) + "'"));
        if (!tables.res || mysql_num_rows(tables.res) == 0) {
            m_tables.emplace(table, nullptr);
            return nullptr;
        }
    }

    auto info = std::make_unique<TableInfo>();
    info->name = table;
    {
        Result columns(query("SHOW COLUMNS FROM " + qualified + " LIKE '%'"));
        // Field, Type, Null, Key, Default, Extra
        while (MYSQL_ROW row = mysql_fetch_row(columns.res)) {
            const unsigned long *lengths = mysql_fetch_lengths(columns.res);
            ColumnInfo c;
            c.name = column(row, lengths, 0);
            c.declaredType = column(row, lengths, 1);
            classifyColumnType(c.declaredType, c.type, c.size);
            c.nullable = column(row, lengths, 2) == "YES";
            c.hasDefault = !isNullColumn(row, 4);
            c.defaultValue = column(row, lengths, 4);
            c.autoIncrement = column(row, lengths, 5).contains("auto_increment");
            info->columns.push_back(std::move(c));
        }
    }
    {
        Result keys(query("SHOW KEYS FROM " + qualified));
        // Table, Non_unique, Key_name, Seq_in_index, Column_name, ...
        while (MYSQL_ROW row = mysql_fetch_row(keys.res)) {
            const unsigned long *lengths = mysql_fetch_lengths(keys.res);
            if (column(row, lengths, 2).startsWith("PRI"))
                info->primaryKey.push_back(column(row, lengths, 4));
        }
    }
    const TableInfo *result = info.get();
    m_tables.emplace(table, std::move(info));
    return result;
}
