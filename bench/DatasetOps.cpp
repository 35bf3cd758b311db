// Work on the open directory (all 100,000 rehber rows in one TZQuery), as the program does
// it: the three locates of a caller's number that is not in the directory, and sorting by
// name.

#include "BenchEnvironment.h"
#include "Benchmarks.h"
#include "DemoData.h"

#include "platform/Cp1254.h"
#include "store/TZConnection.h"
#include "store/TZQuery.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <vector>

namespace {

long long g_sortOrderErrors = -1;

void BM_LocateAbsent3(benchmark::State &state) {
    try {
        auto connection = BenchEnvironment::get().connectStore();
        TZQuery query(*connection, QStringLiteral("ZQuery1"));
        query.setSQL("select * from rehber");
        query.open();
        const QByteArray number = demodata::absentNumber();
        bool found = false;
        for (auto _ : state) {
            found = query.locate("gsmtel1", number);
            found = query.locate("gsmtel2", number) || found;
            found = query.locate("firmatel", number) || found;
            benchmark::DoNotOptimize(found);
        }
        if (found)
            state.SkipWithError("locate found a number that is not in the directory");
        state.counters["rows"] = query.recordCount();
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

// The place of a character in the Turkish alphabet, letter case folded the Turkish way
// (I with ı, İ with i); blanks before digits before letters. Enough for names.
int primaryWeight(QChar ch) {
    static const QString alphabet = QString::fromUtf8("abcçdefgğhıijklmnoöpqrsştuüvwxyz");
    QChar lower = ch;
    if (ch == u'I')
        lower = QChar(0x0131);
    else if (ch == QChar(0x0130))
        lower = u'i';
    else
        lower = ch.toLower();
    const qsizetype letter = alphabet.indexOf(lower);
    if (letter >= 0)
        return 100 + static_cast<int>(letter);
    if (ch.isDigit())
        return 50 + ch.digitValue();
    if (ch.isSpace())
        return 1;
    return 10;
}

// null first, then by the letters' places; letter case decides nothing here.
std::optional<std::vector<int>> primaryKey(const TZQuery &query, int row, int column) {
    if (query.isNullAt(row, column))
        return std::nullopt;
    std::vector<int> key;
    for (const QChar ch : cp1254::toUnicode(query.rawAt(row, column)))
        key.push_back(primaryWeight(ch));
    return key;
}

long long countOutOfOrder(const TZQuery &query, int column) {
    long long errors = 0;
    std::optional<std::vector<int>> previous;
    for (int row = 0; row < query.rowCount(); ++row) {
        std::optional<std::vector<int>> key = primaryKey(query, row, column);
        if (row > 0) {
            const bool ordered = !previous || (key && *previous <= *key);
            if (!ordered)
                ++errors;
        }
        previous = std::move(key);
    }
    return errors;
}

void BM_SortAdsoyad(benchmark::State &state) {
    try {
        auto connection = BenchEnvironment::get().connectStore();
        TZQuery query(*connection, QStringLiteral("ZQuery1"));
        query.setSQL("select * from rehber");
        query.open();
        for (auto _ : state) {
            // Back to the table's order first (setting the same field again would not
            // sort), untimed.
            state.PauseTiming();
            query.setSortedFields("Id");
            state.ResumeTiming();
            query.setSortedFields("adsoyad");
        }
        g_sortOrderErrors = countOutOfOrder(query, query.fieldIndex("adsoyad"));
        state.counters["rows"] = query.recordCount();
        state.counters["order_errors"] = static_cast<double>(g_sortOrderErrors);
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

} // namespace

void registerDatasetBenchmarks() {
    benchmark::RegisterBenchmark("BM_LocateAbsent3", BM_LocateAbsent3)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BM_SortAdsoyad", BM_SortAdsoyad)->Unit(benchmark::kMillisecond);
}

long long sortOrderErrors() {
    return g_sortOrderErrors;
}
