// zefiran-bench: the data store against the C API floor and Qt's SQL module on a generated
// directory of 100,000 customers and 200,000 calls, all in one run. Needs the private
// database server (`make bench` starts one). Prints the figures side by side at the end and
// whether each meets its target; the figures never fail the run.

#include "BenchEnvironment.h"
#include "Benchmarks.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <mysql.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct Figure {
    // Time per iteration: of each run, and the median of the repetitions when there were
    // several.
    std::vector<double> wallSeconds;
    std::vector<double> cpuSeconds;
    std::optional<double> wallMedian;
    std::optional<double> cpuMedian;
    int repetitions = 1;
    std::map<std::string, double> counters;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Shows the runs as the console reporter does and keeps their figures for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            Figure &figure = m_figures[run.run_name.str()];
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            figure.repetitions = static_cast<int>(run.repetitions);
            if (run.run_type == Run::RT_Iteration) {
                figure.wallSeconds.push_back(run.GetAdjustedRealTime() / unit);
                figure.cpuSeconds.push_back(run.GetAdjustedCPUTime() / unit);
            } else if (run.aggregate_name == "median") {
                figure.wallMedian = run.GetAdjustedRealTime() / unit;
                figure.cpuMedian = run.GetAdjustedCPUTime() / unit;
            } else {
                continue;
            }
            for (const auto &[name, counter] : run.counters)
                figure.counters[name] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    enum class Clock { Wall, Cpu };

    // The median over the repetitions of the time per iteration, in milliseconds.
    std::optional<double> milliseconds(const char *name, Clock clock) const {
        const auto found = m_figures.find(name);
        if (found == m_figures.end())
            return std::nullopt;
        const Figure &f = found->second;
        const std::optional<double> &known = clock == Clock::Wall ? f.wallMedian : f.cpuMedian;
        if (known)
            return *known * 1e3;
        const std::vector<double> &each = clock == Clock::Wall ? f.wallSeconds : f.cpuSeconds;
        if (each.empty())
            return std::nullopt;
        return median(each) * 1e3;
    }

    int repetitions(const char *name) const {
        const auto found = m_figures.find(name);
        return found == m_figures.end() ? 0 : found->second.repetitions;
    }

    std::optional<double> counter(const char *name, const char *counterName) const {
        const auto found = m_figures.find(name);
        if (found == m_figures.end())
            return std::nullopt;
        const auto value = found->second.counters.find(counterName);
        if (value == found->second.counters.end())
            return std::nullopt;
        return value->second;
    }

private:
    std::map<std::string, Figure> m_figures;
};

using Clock = SummaryReporter::Clock;

std::optional<double> ratio(std::optional<double> a, std::optional<double> b) {
    if (!a || !b || *b <= 0)
        return std::nullopt;
    return *a / *b;
}

void printTarget(const char *what, std::optional<double> value, const char *unit, double limit,
                 bool sound = true, const std::string &note = {}) {
    const char *verdict = !value ? "n/a" : (*value <= limit && sound ? "pass" : "miss");
    char valueText[32] = "-";
    if (value)
        std::snprintf(valueText, sizeof valueText, "%.3f %s", *value, unit);
    char limitText[32];
    std::snprintf(limitText, sizeof limitText, "%.2f %s", limit, unit);
    std::printf("  %-34s %12s  <= %-9s %-5s %s\n", what, valueText, limitText, verdict,
                note.c_str());
}

void printSummary(const SummaryReporter &reporter) {
    const BenchEnvironment &env = BenchEnvironment::get();
    std::printf("\nSummary: time per iteration, median of %d runs of each benchmark\n",
                reporter.repetitions("BM_OpenRehber/TZQuery"));
    std::printf("  directory: %d rehber rows, %d arayanlar rows, loaded in %.1f s\n",
                BenchEnvironment::kCustomers, BenchEnvironment::kCalls, env.loadSeconds());
    std::printf("  server %s, client library %s, Qt %s, TCP loopback, latin5\n",
                env.serverVersion().constData(), mysql_get_client_info(), qVersion());

    const char *names[] = {"BM_OpenRehber/RawCApi", "BM_OpenRehber/RawCApiStream",
                           "BM_OpenRehber/TZQuery", "BM_OpenRehber/QtSql",
                           "BM_LocateAbsent3",      "BM_SortAdsoyad",
                           "BM_RegisterAbsentCall"};
    std::printf("\n  %-28s %13s %13s %14s\n", "benchmark", "wall", "cpu", "bytes_per_row");
    for (const char *name : names) {
        char wall[32] = "-", cpu[32] = "-", bytes[32] = "";
        if (const auto t = reporter.milliseconds(name, Clock::Wall))
            std::snprintf(wall, sizeof wall, "%.3f ms", *t);
        if (const auto t = reporter.milliseconds(name, Clock::Cpu))
            std::snprintf(cpu, sizeof cpu, "%.3f ms", *t);
        if (const auto b = reporter.counter(name, "bytes_per_row"))
            std::snprintf(bytes, sizeof bytes, "%.1f", *b);
        std::printf("  %-28s %13s %13s %14s\n", name, wall, cpu, bytes);
    }

    // Opening involves the server: judged by the wall clock. Locate and sort run in this
    // process alone: judged by its CPU time, which other load on the machine does not inflate.
    const auto raw = reporter.milliseconds("BM_OpenRehber/RawCApi", Clock::Wall);
    const auto store = reporter.milliseconds("BM_OpenRehber/TZQuery", Clock::Wall);
    const auto qt = reporter.milliseconds("BM_OpenRehber/QtSql", Clock::Wall);
    const auto locate = reporter.milliseconds("BM_LocateAbsent3", Clock::Cpu);
    const auto sort = reporter.milliseconds("BM_SortAdsoyad", Clock::Cpu);
    const auto storeBytes = reporter.counter("BM_OpenRehber/TZQuery", "bytes_per_row");
    const auto rawBytes = reporter.counter("BM_OpenRehber/RawCApi", "bytes_per_row");

    const auto cpuRatio = [&](const char *other) {
        const auto r = ratio(reporter.milliseconds("BM_OpenRehber/TZQuery", Clock::Cpu),
                             reporter.milliseconds(other, Clock::Cpu));
        char text[64] = "";
        if (r)
            std::snprintf(text, sizeof text, "(wall; by cpu %.3f x)", *r);
        return std::string(text);
    };
    std::printf("\nTargets\n");
    printTarget("TZQuery open / RawCApi open", ratio(store, raw), "x", 1.15, true,
                cpuRatio("BM_OpenRehber/RawCApi"));
    printTarget("TZQuery open / QtSql open", ratio(store, qt), "x", 0.5, true,
                cpuRatio("BM_OpenRehber/QtSql") +
                    " QtSql reads UTF-8: Qt 6.4's QMYSQL forces utf8mb4");
    printTarget("BM_LocateAbsent3", locate, "ms", 1.0, true, "(cpu)");
    const long long errors = sortOrderErrors();
    std::string sortNote = "(cpu)";
    if (errors == 0)
        sortNote = "(cpu; Turkish order checked: every row in place)";
    else if (errors > 0)
        sortNote = "(cpu; NOT the Turkish order: " + std::to_string(errors) +
                   " adjacent rows out of order)";
    printTarget("BM_SortAdsoyad", sort, "ms", 100.0, errors <= 0, sortNote);
    printTarget("bytes_per_row TZQuery / MYSQL_RES", ratio(storeBytes, rawBytes), "x", 1.0, true,
                "(heap in use after open, per row)");
    printTarget("BM_RegisterAbsentCall",
                reporter.milliseconds("BM_RegisterAbsentCall", Clock::Wall), "ms", 5.0, true,
                "(wall: three locates, the INSERT and the id read back)");
    printTarget("BM_FeedPollThreeEntries",
                reporter.milliseconds("BM_FeedPollThreeEntries", Clock::Wall), "ms", 10.0, true,
                "(wall: fetch, three announcements, one call logged, acknowledgement)");
    printTarget("BM_LoadArayanlar10000/iso8859_9:0",
                reporter.milliseconds("BM_LoadArayanlar10000/iso8859_9:0", Clock::Cpu), "ms", 20.0,
                true, "(cpu: UTF-8 document of 10,000 entries, parsed and bound)");
    printTarget("BM_LoadArayanlar10000/iso8859_9:1",
                reporter.milliseconds("BM_LoadArayanlar10000/iso8859_9:1", Clock::Cpu), "ms", 20.0,
                true, "(cpu: the same in ISO-8859-9, transcoded first)");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv) {
    // Qt's SQL module loads its driver through the application; the search tab's benchmarks
    // drive real widgets, without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Unless the command line says otherwise: five runs of each benchmark, interleaved in a
    // random order so that a passing disturbance of the machine does not hit one variant
    // alone; half a second each; the console shows the statistics of the five runs, the
    // output file every run. The whole run takes well under two minutes.
    std::vector<char *> arguments(argv, argv + argc);
    std::vector<std::string> defaults = {
        "--benchmark_repetitions=5", "--benchmark_enable_random_interleaving=true",
        "--benchmark_min_time=0.5", "--benchmark_display_aggregates_only=true"};
    for (std::string &option : defaults) {
        const std::string name = option.substr(0, option.find('='));
        const bool given = std::any_of(arguments.begin(), arguments.end(), [&](const char *a) {
            return std::strncmp(a, name.c_str(), name.size()) == 0;
        });
        if (!given)
            arguments.insert(arguments.begin() + 1, option.data());
    }
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;

    std::printf("Loading %d customers and %d calls into a fresh database...\n",
                BenchEnvironment::kCustomers, BenchEnvironment::kCalls);
    std::fflush(stdout);
    try {
        BenchEnvironment::setUp();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zefiran-bench: %s\n", e.what());
        return 1;
    }
    std::printf("Loaded in %.1f s.\n", BenchEnvironment::get().loadSeconds());

    registerOpenBenchmarks();
    registerDatasetBenchmarks();
    registerSearchBenchmarks();
    registerRegistrationBenchmarks();
    registerExportBenchmarks();
    registerFeedBenchmarks();
    registerCallListBenchmarks();
    SummaryReporter reporter(isatty(fileno(stdout)) ? SummaryReporter::OO_ColorTabular
                                                    : SummaryReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter);
    printSearchSummary();
    printExportSummary();
    printCallListSummary();

    BenchEnvironment::tearDown();
    benchmark::Shutdown();
    return 0;
}
