#pragma once

#include "DatabaseSetup.h"

#include "platform/Error.h"
#include "platform/ProfileFile.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <mysql.h>

#include <optional>

// A database name and an account name that nothing on the test server has yet, the test
// server's administrator, and a data folder of the test's own. Whatever the set-up made on
// the server goes when the test ends.
class SetupDbTest : public ::testing::Test {
protected:
    SetupDbTest()
        : m_suffix(QStringLiteral("%1_%2")
                       .arg(QCoreApplication::applicationPid())
                       .arg(QRandomGenerator::global()->bounded(100000000))) {}
    ~SetupDbTest() override {
        adminExec("DROP DATABASE IF EXISTS `" + databaseName().toLatin1() + "`");
        adminExec("DROP USER IF EXISTS '" + userName().toLatin1() + "'@'" +
                  TestDatabase::host().toLatin1() + "'");
    }

    QString databaseName() const { return QStringLiteral("setup_") + m_suffix; }
    QString userName() const { return QStringLiteral("prog_") + m_suffix; }
    QString settingsPath() const { return m_home.path() + QStringLiteral("/data/cidsetup.ini"); }
    QString homePath() const { return m_home.path(); }

    // The test server is reached over TCP, as another PC's server would be.
    SetupOptions options() const {
        SetupOptions o;
        o.host = TestDatabase::host();
        o.port = static_cast<unsigned int>(TestDatabase::port());
        o.adminUser = TestDatabase::user();
        o.adminPassword = TestDatabase::password();
        o.database = databaseName();
        o.user = userName();
        o.schemaFile = QStringLiteral(ZEFIRAN_SOURCE_DIR "/db/schema.sql");
        return o;
    }

    // Runs the whole set-up; the lines it reported are kept in report.
    void setUp(const SetupOptions &o) {
        DatabaseSetup setup(o, [this](const QString &line) { report.append(line); });
        setup.connect();
        setup.run(settingsPath());
    }
    // The text of the error the set-up ends with; fails the test when it succeeds.
    QString setUpError(const SetupOptions &o) {
        try {
            setUp(o);
        } catch (const Error &e) {
            return e.text();
        }
        ADD_FAILURE() << "the set-up succeeded";
        return {};
    }

    ProfileFile settings() const { return ProfileFile::load(settingsPath()); }
    QString setting(const char *key) const {
        return settings().value(QStringLiteral("MySql"), QLatin1String(key));
    }

    // As the server's administrator.
    bool adminExec(const QByteArray &statement) {
        MYSQL *handle = TestDatabase::connectRaw({});
        const bool ok = mysql_real_query(handle, statement.constData(),
                                         static_cast<unsigned long>(statement.size())) == 0;
        if (MYSQL_RES *result = mysql_store_result(handle))
            mysql_free_result(result);
        mysql_close(handle);
        return ok;
    }
    std::optional<QByteArray> adminScalar(const QByteArray &statement) {
        MYSQL *handle = TestDatabase::connectRaw({});
        std::optional<QByteArray> value;
        if (mysql_real_query(handle, statement.constData(),
                             static_cast<unsigned long>(statement.size())) == 0) {
            if (MYSQL_RES *result = mysql_store_result(handle)) {
                if (MYSQL_ROW row = mysql_fetch_row(result); row && row[0])
                    value = QByteArray(row[0]);
                mysql_free_result(result);
            }
        }
        mysql_close(handle);
        return value;
    }
    bool databaseExists() {
        return adminScalar("SELECT COUNT(*) FROM information_schema.SCHEMATA WHERE "
                           "SCHEMA_NAME = '" +
                           databaseName().toLatin1() + "'") == "1";
    }
    bool accountExists() {
        return adminScalar("SELECT COUNT(*) FROM mysql.user WHERE User = '" +
                           userName().toLatin1() + "'") != "0";
    }

    QStringList report;

private:
    QString m_suffix;
    QTemporaryDir m_home;
};
