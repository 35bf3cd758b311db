#include "store/SqlError.h"

#include <errmsg.h>
#include <mysqld_error.h>

SqlError::SqlError(const QString &text, unsigned int code, bool statementMayHaveRun)
    : Error(text)
    , m_code(code)
    , m_mayHaveRun(statementMayHaveRun) {}

bool SqlError::isUnreachableCode(unsigned int code) {
    switch (code) {
    case CR_CONNECTION_ERROR:  // no server on the socket
    case CR_CONN_HOST_ERROR:   // no server at the address
    case CR_UNKNOWN_HOST:      // the host name cannot be resolved now
    case CR_SERVER_GONE_ERROR: // gone between statements
    case CR_SERVER_LOST:       // lost during a statement
    case ER_CON_COUNT_ERROR:   // the server takes no more connections for now
    case ER_SERVER_SHUTDOWN:   // shutting down
    case ER_CONNECTION_KILLED: // the server ended the connection
        return true;
    default:
        return false;
    }
}
