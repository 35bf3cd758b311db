// The directory export of 100,000 customers as the export window runs it, without opening
// the workbook: the query (sorted by date on the server), then on two threads at once the
// worksheet (rows streamed, workbook compressed and written) and the XML document (built,
// saved), and the workbook given its name. printExportSummary() prints each step's time and
// share of the whole.

#include "BenchEnvironment.h"
#include "Benchmarks.h"

#include "directory/DirectorySearch.h"
#include "offers/DirectoryExport.h"
#include "platform/XmlDocument.h"
#include "store/TZConnection.h"
#include "store/TZQuery.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;
using Step = DirectoryExport::Step;

constexpr size_t kStepCount = 6;

// When a step was passed: since the export began, and the processor time of the thread that
// passed it (on a busy machine the wall clock also counts the time others had the processor).
struct Mark {
    double ms = 0;
    double threadCpuMs = 0;
};

struct Run {
    std::array<Mark, kStepCount> marks{};
    double totalMs = 0;
    double totalCpuMs = 0;
    double pageFaults = 0;
};

struct Sizes {
    int rows = 0;
    double workbookMB = 0;
    double xmlMB = 0;
};

std::vector<Run> &runs() {
    static std::vector<Run> r;
    return r;
}

Sizes &sizes() {
    static Sizes s;
    return s;
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Pages the process touched for the first time: on a virtual machine each can cost tens of
// microseconds, which makes memory the export's main cost there.
long minorPageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

double processCpuMs() {
    return 1e3 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_ExportDirectory(benchmark::State &state) {
    try {
        auto connection = BenchEnvironment::get().connectStore();
        TZQuery ZQuery2(*connection, QStringLiteral("ZQuery2"));
        ZQuery2.setFixedFields(DirectorySearch::ZQuery2Fields());
        XmlDocument document;
        QTemporaryDir folder;
        DirectoryExport directoryExport(ZQuery2, document, folder.path());
        Run run;
        Clock::time_point start;
        directoryExport.onStep = [&](Step step) {
            run.marks[static_cast<size_t>(step)] = {
                std::chrono::duration<double, std::milli>(Clock::now() - start).count(),
                threadCpuMs()};
        };
        const QDateTime firstStamp(QDate(2024, 1, 1), QTime(0, 0));
        int iteration = 0;
        for (auto _ : state) {
            const double startCpu = processCpuMs();
            const long startFaults = minorPageFaults();
            const double startThreadCpu = threadCpuMs();
            start = Clock::now();
            const QString workbook = directoryExport.run(firstStamp.addSecs(iteration++));
            run.totalMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            run.totalCpuMs = processCpuMs() - startCpu;
            run.pageFaults = static_cast<double>(minorPageFaults() - startFaults);
            state.PauseTiming();
            // The worker's processor time starts at 0; this thread's at what it had used.
            for (Step step :
                 {Step::WorkbookCreated, Step::DirectoryOpened, Step::XmlBuilt, Step::XmlSaved})
                run.marks[static_cast<size_t>(step)].threadCpuMs -= startThreadCpu;
            runs().push_back(run);
            sizes().rows = ZQuery2.recordCount();
            sizes().workbookMB = static_cast<double>(QFileInfo(workbook).size()) / 1e6;
            sizes().xmlMB =
                static_cast<double>(
                    QFileInfo(folder.path() + QStringLiteral("/zefiranrehber.xml")).size()) /
                1e6;
            QFile::remove(workbook);
            state.ResumeTiming();
        }
        state.counters["rows"] = sizes().rows;
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

} // namespace

void registerExportBenchmarks() {
    // One export is long enough to time alone.
    benchmark::RegisterBenchmark("BM_ExportDirectory", BM_ExportDirectory)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
}

void printExportSummary() {
    std::printf("\nDirectory export, median of %zu runs (workbook not opened)\n", runs().size());
    if (runs().empty()) {
        std::printf("  did not run\n");
        return;
    }
    const auto medianOf = [](auto figure) {
        std::vector<double> each;
        for (const Run &run : runs())
            each.push_back(figure(run));
        return median(each);
    };
    const auto mark = [](const Run &r, Step step) {
        return r.marks[static_cast<size_t>(step)];
    };
    const double total = medianOf([](const Run &r) { return r.totalMs; });
    const double totalCpu = medianOf([](const Run &r) { return r.totalCpuMs; });

    struct Part {
        const char *name;
        Step from; // the step it starts after; itself for the first
        Step to;
    };
    const Part parts[] = {
        {"workbook created, header row", Step::WorkbookCreated, Step::WorkbookCreated},
        {"query opened (rows fetched)", Step::WorkbookCreated, Step::DirectoryOpened},
        {"  | XML document built", Step::DirectoryOpened, Step::XmlBuilt},
        {"  | XML file saved", Step::XmlBuilt, Step::XmlSaved},
        {"  | worksheet rows streamed", Step::DirectoryOpened, Step::SheetFilled},
        {"  | workbook compressed, written", Step::SheetFilled, Step::WorkbookWritten},
    };
    std::printf("  %d customers: workbook %.1f MB, XML file %.1f MB; the steps marked | run on "
                "two threads at once\n",
                sizes().rows, sizes().workbookMB, sizes().xmlMB);
    std::printf("  %-34s %10s %7s %13s\n", "step", "wall", "share", "thread cpu");
    for (const Part &part : parts) {
        const bool first = part.from == part.to;
        const bool workerStart = part.to == Step::SheetFilled;
        const double ms = medianOf([&](const Run &r) {
            return mark(r, part.to).ms - (first ? 0 : mark(r, part.from).ms);
        });
        const double cpu = medianOf([&](const Run &r) {
            return mark(r, part.to).threadCpuMs -
                   (first || workerStart ? 0 : mark(r, part.from).threadCpuMs);
        });
        std::printf("  %-34s %7.1f ms %6.1f%% %10.1f ms\n", part.name, ms, 100 * ms / total, cpu);
    }
    std::printf("  %-34s %7.1f ms %7s %10.1f ms (process)\n", "whole export", total, "", totalCpu);
    std::printf("  first touches of memory pages: %.0f\n",
                medianOf([](const Run &r) { return r.pageFaults; }));
    std::printf("  whole export (wall) <= 1500 ms: %s\n", total <= 1500 ? "pass" : "miss");
    std::fflush(stdout);
}
