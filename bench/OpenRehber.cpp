// Opening "select * from rehber" (all 100,000 rows) three ways, on the same database with the
// same connection settings, each warmed up by one untimed open first:
//   TZQuery  the program's dataset: statement, fetch, field definitions, rows held;
//   RawCApi  the floor: mysql_store_result and every field copied into one buffer;
//            (RawCApiStream, for reference: the same copy straight from mysql_use_result);
//   QtSql    QSqlQuery over the QMYSQL driver, forward only, every value read as a QVariant.

#include "BenchEnvironment.h"
#include "Benchmarks.h"
#include "support/TestDatabase.h"

#include "store/TZConnection.h"
#include "store/TZQuery.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <benchmark/benchmark.h>
#include <mysql.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

const QByteArray kStatement = QByteArrayLiteral("select * from rehber");

enum class Fetch { Store, Use };

// Reads the whole result and copies every value into one contiguous buffer: per field a
// 4-byte length (all ones for NULL) and the bytes. Returns the number of rows.
// Fetch::Store reads all rows into the client library's result set first
// (mysql_store_result), Fetch::Use copies each row as it arrives (mysql_use_result).
qint64 openRaw(MYSQL *handle, std::string &buffer, std::size_t expectedSize, Fetch fetch) {
    if (mysql_real_query(handle, kStatement.constData(),
                         static_cast<unsigned long>(kStatement.size())) != 0)
        throw std::runtime_error(mysql_error(handle));
    MYSQL_RES *result =
        fetch == Fetch::Store ? mysql_store_result(handle) : mysql_use_result(handle);
    if (!result)
        throw std::runtime_error(mysql_error(handle));
    const unsigned int columns = mysql_num_fields(result);
    buffer.clear();
    buffer.reserve(expectedSize);
    qint64 rows = 0;
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        const unsigned long *lengths = mysql_fetch_lengths(result);
        for (unsigned int c = 0; c < columns; ++c) {
            const quint32 length = row[c] ? static_cast<quint32>(lengths[c]) : 0xFFFFFFFFu;
            char prefix[sizeof length];
            std::memcpy(prefix, &length, sizeof length);
            buffer.append(prefix, sizeof prefix);
            if (row[c])
                buffer.append(row[c], lengths[c]);
        }
        ++rows;
    }
    const bool failed = mysql_errno(handle) != 0;
    mysql_free_result(result);
    if (failed)
        throw std::runtime_error(mysql_error(handle));
    return rows;
}

void openRawTimed(benchmark::State &state, MYSQL *handle, Fetch fetch) {
    std::size_t size = 0;
    {
        std::string warm;
        openRaw(handle, warm, 0, fetch);
        size = warm.size();
    }
    qint64 rows = 0;
    for (auto _ : state) {
        std::string buffer; // a new buffer each time, sized from the warm-up
        rows = openRaw(handle, buffer, size, fetch);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_OpenRehber_RawCApi(benchmark::State &state) {
    MYSQL *handle = BenchEnvironment::get().connectRaw();
    try {
        openRawTimed(state, handle, Fetch::Store);

        // What the result set holds while it is kept, instead of being copied out.
        const long long before = heapInUse();
        MYSQL_RES *result = nullptr;
        if (mysql_real_query(handle, kStatement.constData(),
                             static_cast<unsigned long>(kStatement.size())) != 0 ||
            !(result = mysql_store_result(handle)))
            throw std::runtime_error(mysql_error(handle));
        const long long after = heapInUse();
        const auto kept = static_cast<double>(mysql_num_rows(result));
        mysql_free_result(result);
        if (before >= 0 && kept > 0)
            state.counters["bytes_per_row"] = static_cast<double>(after - before) / kept;
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
    mysql_close(handle);
}

// Not one of the compared figures: the same copy without the client library's result set,
// as low as a dataset that holds its rows can go.
void BM_OpenRehber_RawCApiStream(benchmark::State &state) {
    MYSQL *handle = BenchEnvironment::get().connectRaw();
    try {
        openRawTimed(state, handle, Fetch::Use);
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
    mysql_close(handle);
}

void BM_OpenRehber_TZQuery(benchmark::State &state) {
    try {
        auto connection = BenchEnvironment::get().connectStore();
        TZQuery query(*connection, QStringLiteral("ZQuery1"));
        query.setSQL(kStatement);
        query.open(); // warm-up; also lets the connection learn the table once
        query.close();
        int rows = 0;
        for (auto _ : state) {
            query.open();
            rows = query.recordCount();
            benchmark::DoNotOptimize(rows);
            query.close();
        }

        // What the open dataset keeps: everything still allocated after open returned.
        const long long before = heapInUse();
        query.open();
        const long long after = heapInUse();
        const int kept = query.recordCount();
        query.close();
        state.counters["rows"] = rows;
        if (before >= 0 && kept > 0)
            state.counters["bytes_per_row"] = static_cast<double>(after - before) / kept;
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

// Qt 6.4's QMYSQL driver sets the connection's character set to utf8mb4 itself after
// connecting and offers no option to choose another, so the server converts the latin5
// texts to UTF-8 on the way and the driver decodes them into QString: what a Qt program
// gets. The connection is otherwise the same: TCP to the same loopback address and port.
void BM_OpenRehber_QtSql(benchmark::State &state) {
    const QString name = QStringLiteral("bench");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
        const BenchEnvironment &env = BenchEnvironment::get();
        db.setHostName(TestDatabase::host());
        db.setPort(TestDatabase::port());
        db.setUserName(TestDatabase::user());
        db.setPassword(TestDatabase::password());
        db.setDatabaseName(env.databaseName());
        if (!db.open()) {
            state.SkipWithError((QStringLiteral("QMYSQL cannot connect: ") + db.lastError().text())
                                    .toUtf8()
                                    .constData());
        } else {
            const QString statement = QString::fromLatin1(kStatement);
            auto readAll = [&]() -> qint64 {
                QSqlQuery query(db);
                query.setForwardOnly(true);
                if (!query.exec(statement))
                    throw std::runtime_error(query.lastError().text().toStdString());
                const int columns = query.record().count();
                qint64 rows = 0;
                while (query.next()) {
                    for (int c = 0; c < columns; ++c) {
                        QVariant value = query.value(c);
                        benchmark::DoNotOptimize(value);
                    }
                    ++rows;
                }
                return rows;
            };
            try {
                readAll(); // warm-up
                qint64 rows = 0;
                for (auto _ : state)
                    rows = readAll();
                state.counters["rows"] = static_cast<double>(rows);
            } catch (const std::exception &e) {
                state.SkipWithError(e.what());
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

void registerOpenBenchmarks() {
    benchmark::RegisterBenchmark("BM_OpenRehber/RawCApi", BM_OpenRehber_RawCApi)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_OpenRehber/RawCApiStream", BM_OpenRehber_RawCApiStream)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_OpenRehber/TZQuery", BM_OpenRehber_TZQuery)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_OpenRehber/QtSql", BM_OpenRehber_QtSql)
        ->Unit(benchmark::kMillisecond);
}
