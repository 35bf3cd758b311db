#include "store/StatementResults.h"

#include "store/SqlError.h"
#include "store/TZConnection.h"

StatementResults::StatementResults(TZConnection &connection, MYSQL *handle)
    : m_connection(connection)
    , m_handle(handle) {}

StatementResults::~StatementResults() {
    if (m_finished)
        return;
    // Freeing a streamed result reads its remaining rows off the wire.
    m_current.reset();
    while (mysql_more_results(m_handle)) {
        if (mysql_next_result(m_handle) != 0)
            break;
        ResultPtr(mysql_store_result(m_handle));
    }
    if (SqlError::isUnreachableCode(mysql_errno(m_handle)))
        m_connection.dropLostHandle();
}

MYSQL_RES *StatementResults::takeFirst(bool streamed) {
    m_firstTaken = true;
    m_streamed = streamed;
    m_current.reset(streamed ? mysql_use_result(m_handle) : mysql_store_result(m_handle));
    if (!m_current && mysql_field_count(m_handle) != 0)
        fail();
    return m_current.get();
}

MYSQL_RES *StatementResults::streamFirst() {
    return takeFirst(true);
}

MYSQL_RES *StatementResults::storeFirst() {
    return takeFirst(false);
}

void StatementResults::checkFetch() {
    if (mysql_errno(m_handle) != 0)
        fail();
}

void StatementResults::countCurrent() {
    if (m_current) {
        m_count += mysql_num_rows(m_current.get());
        return;
    }
    const my_ulonglong affected = mysql_affected_rows(m_handle);
    if (affected != static_cast<my_ulonglong>(-1))
        m_count += affected;
}

quint64 StatementResults::finish() {
    if (!m_firstTaken)
        storeFirst();
    else if (m_streamed && m_current && mysql_errno(m_handle) == 0)
        while (mysql_fetch_row(m_current.get())) {
        }
    checkFetch();
    countCurrent();
    m_current.reset();
    while (mysql_more_results(m_handle)) {
        if (mysql_next_result(m_handle) != 0)
            fail();
        m_current.reset(mysql_store_result(m_handle));
        if (!m_current && mysql_field_count(m_handle) != 0)
            fail();
        countCurrent();
        m_current.reset();
    }
    m_finished = true;
    return m_count;
}

void StatementResults::fail() {
    // The error is read before the result goes: freeing it may talk to the server.
    const SqlError error = m_connection.errorOf(m_handle, true);
    m_current.reset();
    while (mysql_more_results(m_handle) && mysql_next_result(m_handle) == 0)
        ResultPtr(mysql_store_result(m_handle));
    m_finished = true;
    if (error.databaseUnreachable())
        m_connection.dropLostHandle();
    throw error;
}
