#pragma once

#include <QtGlobal>

#include <mysql.h>

#include <memory>

class TZConnection;

struct ResultDeleter {
    void operator()(MYSQL_RES *result) const { mysql_free_result(result); }
};
// The one owner of every client result.
using ResultPtr = std::unique_ptr<MYSQL_RES, ResultDeleter>;

// The results of one statement that the connection sent, read in order. The first result is
// streamed (rows read one by one from the wire) or stored; whatever is left unread when the
// object goes (rows of a streamed result, the further results of a CALL, which returns one
// per SELECT and a status) is read to its end and dropped, also when an error leaves the
// reading halfway, so that the connection is ready for the next statement.
class StatementResults {
public:
    StatementResults(TZConnection &connection, MYSQL *handle);
    ~StatementResults();
    StatementResults(const StatementResults &) = delete;
    StatementResults &operator=(const StatementResults &) = delete;

    // The first result, its rows still on the wire; null when the statement returned no rows.
    // Its rows are read with mysql_fetch_row; afterwards checkFetch() tells whether the
    // reading ended early.
    MYSQL_RES *streamFirst();
    void checkFetch();
    // The first result with all its rows read; null when the statement returned no rows.
    MYSQL_RES *storeFirst();

    // Reads every result not read yet, throwing the first error one of them reports. Returns
    // the rows the statement returned or changed: the rows of each result with rows, and the
    // affected rows of each result without.
    quint64 finish();

private:
    MYSQL_RES *takeFirst(bool streamed);
    void countCurrent();
    [[noreturn]] void fail();

    TZConnection &m_connection;
    MYSQL *m_handle;
    ResultPtr m_current;
    bool m_firstTaken = false;
    bool m_streamed = false;
    bool m_finished = false;
    quint64 m_count = 0;
};
