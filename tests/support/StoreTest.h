#pragma once

#include "platform/Error.h"
#include "store/TZConnection.h"
#include "store/TZQuery.h"
#include "support/Printing.h"
#include "support/TestDatabase.h"

#include <mysql.h>

#include <gtest/gtest.h>

// A connection, not yet connected, to a database of the test's own; the statements it sent
// can be read back from the server's log.
class StoreTest : public ::testing::Test {
protected:
    StoreTest() {
        connection.HostName = TestDatabase::host();
        connection.Port = TestDatabase::port();
        connection.User = TestDatabase::user();
        connection.Password = TestDatabase::password();
        connection.Database = db.name();
        connection.Catalog = db.name();
    }

    // The statements this test's connection sent since the call to markLog(), without the
    // SHOW statements that ask for the table knowledge.
    void markLog() { m_logMark = db.statementsOf(connectionId()).size(); }
    std::vector<QByteArray> statementsSinceMark() {
        auto all = db.statementsOf(connectionId());
        std::vector<QByteArray> sent;
        for (auto s = all.begin() + static_cast<long>(m_logMark); s != all.end(); ++s)
            if (!s->startsWith("SHOW "))
                sent.push_back(*s);
        return sent;
    }
    unsigned long connectionId() { return mysql_thread_id(connection.handle()); }

    QByteArray dbName() const { return db.name().toLatin1(); }

    TestDatabase db;
    TZConnection connection;

private:
    size_t m_logMark = 0;
};

// The text of the Error a statement throws; fails the test when nothing is thrown.
#define EXPECT_ERROR_TEXT(statement, expected)                                                     \
    do {                                                                                           \
        try {                                                                                      \
            statement;                                                                             \
            ADD_FAILURE() << "no error thrown by " #statement;                                     \
        } catch (const Error &e) {                                                                 \
            EXPECT_EQ(e.text(), expected);                                                         \
        }                                                                                          \
    } while (false)
