#include "store/TZConnection.h"

#include "platform/Cp1254.h"
#include "platform/Error.h"
#include "store/StatementResults.h"
#include "store/TZQuery.h"

#include <errmsg.h>
#include <mysql.h>

#include <algorithm>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <poll.h>
#endif

namespace {

// The client's message as the user reads it: the server words it in the connection's
// character set, Windows-1254 for the bytes it quotes from the data.
QString clientMessage(MYSQL *handle) {
    return cp1254::toUnicode(QByteArray(mysql_error(handle))).trimmed();
}

QByteArray column(MYSQL_ROW row, const unsigned long *lengths, unsigned int index) {
    if (!row[index])
        return {};
    return QByteArray(row[index], static_cast<qsizetype>(lengths[index]));
}

bool isNullColumn(MYSQL_ROW row, unsigned int index) {
    return row[index] == nullptr;
}

// Between statements the server sends nothing: anything to read on an idle connection (the
// end of the stream, or the error packet of a killed connection) means that the server has
// ended it. Looking costs no round trip.
bool serverEndedIdleConnection(MYSQL *handle) {
    const auto socket = mysql_get_socket(handle);
#ifdef _WIN32
    WSAPOLLFD fd{socket, POLLRDNORM, 0};
    return WSAPoll(&fd, 1, 0) > 0;
#else
    pollfd fd{socket, POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0;
#endif
}

} // namespace

TZConnection::TZConnection() = default;

TZConnection::~TZConnection() {
    // A dataset that outlives the connection is closed and calls back into nothing.
    const std::vector<TZQuery *> datasets = m_datasets;
    for (TZQuery *dataset : datasets)
        dataset->connectionGone();
    if (m_handle)
        mysql_close(m_handle);
}

void TZConnection::attach(TZQuery *dataset) {
    m_datasets.push_back(dataset);
}

void TZConnection::detach(TZQuery *dataset) {
    m_datasets.erase(std::remove(m_datasets.begin(), m_datasets.end(), dataset), m_datasets.end());
}

SqlError TZConnection::errorOf(MYSQL *handle, bool statementMayHaveRun) const {
    return SqlError(QStringLiteral("SQL Error: ") + clientMessage(handle), mysql_errno(handle),
                    statementMayHaveRun);
}

void TZConnection::fail(MYSQL *handle, bool statementMayHaveRun) {
    const SqlError error = errorOf(handle, statementMayHaveRun);
    if (error.databaseUnreachable())
        dropLostHandle();
    throw error;
}

MYSQL *TZConnection::openHandle() {
    MYSQL *handle = mysql_init(nullptr);
    if (!handle)
        throw SqlError(QStringLiteral("Cannot connect to SQL server"), 0, false);
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
            throw SqlError(QStringLiteral("SQL Error: ") + message, code, false);
        throw SqlError(QStringLiteral("Cannot connect to SQL server"), code, false);
    }
    return handle;
}

void TZConnection::connect() {
    if (m_connected)
        return;
    if (Protocol != QLatin1String("mysql-5"))
        throw Error(QStringLiteral("Requested database driver was not found"));
    m_handle = openHandle();
    m_connected = true;
    if (AfterConnect)
        AfterConnect();
}

void TZConnection::disconnect() {
    if (!m_connected)
        return;
    // A dataset's close may not touch this list, but copy it to be safe.
    const std::vector<TZQuery *> datasets = m_datasets;
    for (TZQuery *dataset : datasets)
        dataset->close();
    if (m_handle)
        mysql_close(m_handle);
    m_handle = nullptr;
    m_connected = false;
    m_tables.clear();
}

void TZConnection::dropLostHandle() {
    if (m_handle)
        mysql_close(m_handle);
    m_handle = nullptr;
}

MYSQL *TZConnection::liveHandle() {
    connect();
    if (m_handle && serverEndedIdleConnection(m_handle))
        dropLostHandle();
    if (!m_handle) {
        m_handle = openHandle();
        if (AfterReconnect)
            AfterReconnect();
    }
    return m_handle;
}

StatementResults TZConnection::run(const QByteArray &statement) {
    MYSQL *handle = liveHandle();
    const auto send = [&] {
        return mysql_real_query(handle, statement.constData(),
                                static_cast<unsigned long>(statement.size())) == 0;
    };
    if (send())
        return StatementResults(*this, handle);
    if (mysql_errno(handle) == CR_SERVER_GONE_ERROR) {
        // The statement could not be written: the server connection was gone before it. It
        // goes once more on a new one.
        dropLostHandle();
        handle = liveHandle();
        if (send())
            return StatementResults(*this, handle);
    }
    fail(handle, mysql_errno(handle) != CR_SERVER_GONE_ERROR);
}

quint64 TZConnection::executeDirect(const QByteArray &statement) {
    return run(statement).finish();
}

std::vector<std::optional<QByteArray>> TZConnection::selectRow(const QByteArray &statement) {
    StatementResults results = run(statement);
    std::vector<std::optional<QByteArray>> values;
    if (MYSQL_RES *result = results.storeFirst()) {
        if (MYSQL_ROW row = mysql_fetch_row(result)) {
            const unsigned long *lengths = mysql_fetch_lengths(result);
            for (unsigned int c = 0; c < mysql_num_fields(result); ++c)
                values.push_back(isNullColumn(row, c) ? std::nullopt
                                                      : std::optional(column(row, lengths, c)));
        }
    }
    results.finish();
    return values;
}

QByteArray TZConnection::escape(const QByteArray &text) {
    // Escaping needs the handle's character set, not the server.
    MYSQL *handle = m_handle ? m_handle : liveHandle();
    QByteArray out(text.size() * 2 + 1, Qt::Uninitialized);
    const unsigned long length = mysql_real_escape_string(handle, out.data(), text.constData(),
                                                          static_cast<unsigned long>(text.size()));
    out.truncate(static_cast<qsizetype>(length));
    return out;
}

quint64 TZConnection::lastInsertId() const {
    return m_handle ? mysql_insert_id(m_handle) : 0;
}

const TableInfo *TZConnection::tableInfo(const QByteArray &table) {
    if (auto known = m_tables.find(table); known != m_tables.end())
        return known->second.get();

    const QByteArray database = quoteIdentifier(cp1254::fromUnicode(Database));
    const QByteArray qualified = database + '.' + quoteIdentifier(table);
    {
        StatementResults tables =
            run("SHOW TABLES FROM " + database + " LIKE '" + escape(table) + "'");
        MYSQL_RES *result = tables.storeFirst();
        const bool exists = result && mysql_num_rows(result) > 0;
        tables.finish();
        if (!exists) {
            m_tables.emplace(table, nullptr);
            return nullptr;
        }
    }

    auto info = std::make_unique<TableInfo>();
    info->name = table;
    {
        StatementResults columns = run("SHOW COLUMNS FROM " + qualified + " LIKE '%'");
        // Field, Type, Null, Key, Default, Extra
        if (MYSQL_RES *result = columns.storeFirst()) {
            while (MYSQL_ROW row = mysql_fetch_row(result)) {
                const unsigned long *lengths = mysql_fetch_lengths(result);
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
        columns.finish();
    }
    {
        StatementResults keys = run("SHOW KEYS FROM " + qualified);
        // Table, Non_unique, Key_name, Seq_in_index, Column_name, ...
        if (MYSQL_RES *result = keys.storeFirst()) {
            while (MYSQL_ROW row = mysql_fetch_row(result)) {
                const unsigned long *lengths = mysql_fetch_lengths(result);
                if (column(row, lengths, 2).startsWith("PRI"))
                    info->primaryKey.push_back(column(row, lengths, 4));
            }
        }
        keys.finish();
    }
    const TableInfo *result = info.get();
    m_tables.emplace(table, std::move(info));
    return result;
}
