#pragma once

#include "platform/Error.h"

// An error that the database server or the client library reported for a connect or a
// statement: "SQL Error: " and the client's message, or "Cannot connect to SQL server".
class SqlError : public Error {
public:
    SqlError(const QString &text, unsigned int code, bool statementMayHaveRun);

    // The client's error number; 0 when it gave none.
    unsigned int code() const { return m_code; }

    // The database cannot be reached: the server went away or shut down, the connection was
    // lost or killed, or no connection can be made. Such an error passes by itself once the
    // server answers again; any other means the statement or the settings are wrong.
    bool databaseUnreachable() const { return isUnreachableCode(m_code); }
    static bool isUnreachableCode(unsigned int code);

    // False when the statement cannot have reached the server (it was never sent, or the
    // connection could not be made); true when it may have run before the error.
    bool statementMayHaveRun() const { return m_mayHaveRun; }

private:
    unsigned int m_code;
    bool m_mayHaveRun;
};
