#pragma once

#include "controls/Dialogs.h"
#include "platform/Error.h"
#include "store/TZConnection.h"
#include "store/TZQuery.h"
#include "support/Printing.h"
#include "support/TestDatabase.h"

#include <QMessageBox>
#include <QString>

#include <mysql.h>

#include <gtest/gtest.h>

#include <vector>

// Answers the program's message boxes instead of a user and keeps what they said. The
// answer is given to every box; the responder is removed again when the object goes.
class BoxRecorder {
public:
    BoxRecorder() {
        dialogs::setResponder([this](const dialogs::Box &box) {
            boxes.push_back(box);
            return answer;
        });
    }
    ~BoxRecorder() { dialogs::setResponder({}); }
    BoxRecorder(const BoxRecorder &) = delete;
    BoxRecorder &operator=(const BoxRecorder &) = delete;

    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::vector<dialogs::Box> boxes;

    std::vector<QString> texts() const {
        std::vector<QString> t;
        for (const dialogs::Box &b : boxes)
            t.push_back(b.text);
        return t;
    }
};

// A database of the test's own, a connection to it, and the message boxes answered.
class DatabaseTest : public ::testing::Test {
protected:
    DatabaseTest() {
        connection.HostName = TestDatabase::host();
        connection.Port = TestDatabase::port();
        connection.User = TestDatabase::user();
        connection.Password = TestDatabase::password();
        connection.Database = db.name();
        connection.Catalog = db.name();
        connection.connect();
    }

    // The statements this test's connection sent since markLog(), without the SHOW
    // statements that ask for the table knowledge.
    void markLog() { m_logMark = db.statementsOf(connectionId()).size(); }
    std::vector<QByteArray> statementsSinceMark() {
        const auto all = db.statementsOf(connectionId());
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
    BoxRecorder boxes;

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
