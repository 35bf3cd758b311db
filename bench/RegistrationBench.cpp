// One call registration as a device call makes it: the three exact lookups of a number that
// is not in the directory (100,000 rows held in memory), the INSERT of the call row and the
// read-back of its id, over loopback.

#include "BenchEnvironment.h"
#include "Benchmarks.h"
#include "DemoData.h"
#include "RegistrationDatasets.h"

#include "callerid/CallRegistration.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RegisterAbsentCall(benchmark::State &state) {
    try {
        RegistrationDatasets datasets;
        const QByteArray number = demodata::absentNumber();
        for (auto _ : state) {
            const QByteArray name = arayankaydet(datasets.directory, datasets.calls, number);
            benchmark::DoNotOptimize(name);
        }
        state.counters["calls_written"] = static_cast<double>(state.iterations());
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

} // namespace

void registerRegistrationBenchmarks() {
    benchmark::RegisterBenchmark("BM_RegisterAbsentCall", BM_RegisterAbsentCall)
        ->Unit(benchmark::kMillisecond);
}
