// What the call list grid costs when calls arrive while it is shown: the columns that follow
// their texts measure every row that arrives or changes.
//
//   BM_CallArrives/Grid      one call registered (three lookups, the INSERT, the id read back)
//                            into the day's calls while a grid with the call list's font shows
//                            them, events processed until the grid has painted;
//   BM_CallArrives/NoGrid    the same with no grid over the calls;
//   BM_RowChanges/Grid       a shown row changed in memory (edit, a new caller's name, cancel:
//                            no statement), events processed;
//   BM_RowChanges/NoGrid     the same with no grid;
//   BM_RowChanges/GridFixed  the same grid with every column's width fixed by its list: the
//                            texts are not measured, so Grid less GridFixed is what following
//                            the texts costs.
//
// The figure that counts is the CPU time of this process per call (counter median_cpu_us):
// the server's time does not load the program, and other load on the machine does not
// inflate it. printCallListSummary() sets the grid's share against a call's whole time.

#include "BenchEnvironment.h"
#include "Benchmarks.h"
#include "DemoData.h"

#include "callerid/CallRegistration.h"
#include "controls/DBGrid.h"
#include "store/TZConnection.h"
#include "store/TZQuery.h"

#include <QApplication>
#include <QDate>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

double threadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

std::map<std::string, double> &cpuMedians() {
    static std::map<std::string, double> m;
    return m;
}

class CpuTimes {
public:
    explicit CpuTimes(std::string name)
        : m_name(std::move(name)) {}
    void start() { m_start = threadCpuMicroseconds(); }
    void stop() { m_us.push_back(threadCpuMicroseconds() - m_start); }
    void report(benchmark::State &state) {
        if (m_us.empty())
            return;
        std::sort(m_us.begin(), m_us.end());
        const double median = m_us[m_us.size() / 2];
        state.counters["median_cpu_us"] = median;
        cpuMedians()[m_name] = median;
    }

private:
    std::string m_name;
    double m_start = 0;
    std::vector<double> m_us;
};

enum class View { NoGrid, Grid, GridFixed };

const char *viewName(View view) {
    switch (view) {
    case View::NoGrid:
        return "NoGrid";
    case View::Grid:
        return "Grid";
    case View::GridFixed:
        return "GridFixed";
    }
    return "";
}

// The day's calls, opened as the main window opens them, with a grid over them when asked.
struct CallListView {
    explicit CallListView(View view)
        : connection(BenchEnvironment::get().connectStore())
        , directory(*connection, QStringLiteral("ZQuery1"))
        , calls(*connection, QStringLiteral("ZQuery3")) {
        directory.setSQL("select * from rehber");
        directory.open();
        calls.setSQL("select * from arayanlar where tarih=:par1");
        calls.ParamByName("par1").setAsDate(QDate::currentDate());
        calls.open();
        if (view != View::NoGrid) {
            grid = std::make_unique<DBGrid>(calls);
            if (view == View::GridFixed) {
                std::vector<GridColumn> fixed;
                for (int f = 0; f < calls.fieldCount(); ++f)
                    fixed.push_back({calls.fieldDef(f).name, {}, Qt::AlignLeft, Qt::AlignLeft, 90});
                grid->setColumns(std::move(fixed));
            }
            QFont listFont = grid->font();
            listFont.setFamily(QStringLiteral("Tahoma"));
            listFont.setPixelSize(16);
            grid->setFont(listFont);
            grid->resize(745, 260);
            grid->show();
            QApplication::processEvents();
        }
    }

    std::unique_ptr<TZConnection> connection;
    TZQuery directory;
    TZQuery calls;
    std::unique_ptr<DBGrid> grid;
};

void callArrives(benchmark::State &state, View shown) {
    const std::string name = std::string("BM_CallArrives/") + viewName(shown);
    try {
        CallListView view(shown);
        const QByteArray number = demodata::absentNumber();
        CpuTimes times(name);
        for (auto _ : state) {
            times.start();
            const QByteArray caller = arayankaydet(view.directory, view.calls, number);
            QApplication::processEvents();
            times.stop();
            benchmark::DoNotOptimize(caller);
        }
        times.report(state);
        state.counters["rows_listed"] = view.calls.rowCount();
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

void rowChanges(benchmark::State &state, View shown) {
    const std::string name = std::string("BM_RowChanges/") + viewName(shown);
    try {
        CallListView view(shown);
        if (view.calls.rowCount() == 0)
            arayankaydet(view.directory, view.calls, demodata::absentNumber());
        view.calls.last();
        // Names of growing length, so that the widening is part of what is measured.
        const QByteArray names[] = {"Ali Can", "G\xF6khan Karadeniz",
                                    "G\xF6khan Karadeniz \xD6zt\xFCrko\xF0lu"};
        CpuTimes times(name);
        long long i = 0;
        for (auto _ : state) {
            times.start();
            view.calls.edit();
            view.calls.fieldByName("arayan").setAsString(names[i++ % 3]);
            view.calls.cancel();
            QApplication::processEvents();
            times.stop();
        }
        times.report(state);
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

void BM_CallArrives_Grid(benchmark::State &state) {
    callArrives(state, View::Grid);
}
void BM_CallArrives_NoGrid(benchmark::State &state) {
    callArrives(state, View::NoGrid);
}
void BM_RowChanges_Grid(benchmark::State &state) {
    rowChanges(state, View::Grid);
}
void BM_RowChanges_NoGrid(benchmark::State &state) {
    rowChanges(state, View::NoGrid);
}
void BM_RowChanges_GridFixed(benchmark::State &state) {
    rowChanges(state, View::GridFixed);
}

} // namespace

void registerCallListBenchmarks() {
    const std::pair<const char *, void (*)(benchmark::State &)> benchmarks[] = {
        {"BM_CallArrives/Grid", BM_CallArrives_Grid},
        {"BM_CallArrives/NoGrid", BM_CallArrives_NoGrid},
        {"BM_RowChanges/Grid", BM_RowChanges_Grid},
        {"BM_RowChanges/NoGrid", BM_RowChanges_NoGrid},
        {"BM_RowChanges/GridFixed", BM_RowChanges_GridFixed},
    };
    for (const auto &[name, function] : benchmarks)
        benchmark::RegisterBenchmark(name, function)->Unit(benchmark::kMicrosecond);
}

void printCallListSummary() {
    const auto median = [](const char *name) -> double {
        const auto found = cpuMedians().find(name);
        return found != cpuMedians().end() ? found->second : -1;
    };
    const auto line = [](const char *what, double us, const char *note) {
        if (us < 0)
            std::printf("  %-46s %10s  %s\n", what, "-", note);
        else
            std::printf("  %-46s %7.1f us  %s\n", what, us, note);
    };
    const double withGrid = median("BM_CallArrives/Grid");
    const double without = median("BM_CallArrives/NoGrid");
    const double changeWith = median("BM_RowChanges/Grid");
    const double changeWithout = median("BM_RowChanges/NoGrid");
    const double changeFixed = median("BM_RowChanges/GridFixed");
    std::printf("\nCall list, CPU time of the program per call (median)\n");
    line("a call arrives, the grid shows and paints it", withGrid, "");
    line("  the same without a grid", without, "");
    line("  the grid's share", withGrid >= 0 && without >= 0 ? withGrid - without : -1,
         "(model row, column widths, painting)");
    line("a shown row changes (no statement)", changeWith, "");
    line("  the same without a grid", changeWithout, "");
    line("  the same, column widths fixed", changeFixed, "(the texts not measured)");
    line("  measuring the changed row's texts",
         changeWith >= 0 && changeFixed >= 0 ? changeWith - changeFixed : -1,
         "(once per call: a call's changes are measured together)");
    std::fflush(stdout);
}
