// What the open Statistics window adds to a spin: reading the session again,
// after sessions of 100, 1,000 and 10,000 spins (offscreen, no display needed).
#include "program_timer.h"
#include "session_tools.h"
#include "statistics_window.h"
#include "unit1.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <random>

namespace {

void StatisticsRefresh(benchmark::State& state) {
    TForm1 form([] { return int64_t{1700000000}; });
    Form1 = &form;
    form.FormCreate();
    form.show();
    // The spins go in while the window is closed, so only the measured
    // refreshes are counted.
    std::mt19937 random(7);
    for (int64_t i = 0; i < state.range(0); ++i) {
        form.enterSpin(static_cast<int>(random() % 37));
        for (int t = 0; t < 40 && form.Timer_Classic->enabled(); ++t)
            form.Timer_Classic->fire();
    }
    form.sessionTools().openStatistics();
    StatisticsWindow* stats = form.sessionTools().statistics();
    QApplication::processEvents();
    for (auto _ : state) {
        stats->refresh();
        QApplication::processEvents(); // the views repaint what changed
    }
    state.counters["spins"] = static_cast<double>(stats->stats().spins);
    Form1 = nullptr;
}
BENCHMARK(StatisticsRefresh)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
