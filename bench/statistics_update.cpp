// What the open Statistics window adds to each spin: reading the session again
// and repainting what changed, with 100, 1,000 and 10,000 spins already in
// (offscreen, no display needed). Each measured step adds one spin of a
// session played through the real window, as a click on the board does.
#include "statistics/statistics_window.h"
#include "widgets/program_timer.h"
#include "window/main_window.h"
#include "window/spin_undo.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int64_t kPlayedAhead = 2000;

// A session of `count` spins played through the window, with what a player
// following it placed on each.
std::vector<vantel::EnteredSpin> playedSession(int64_t count) {
    MainWindow form([] { return int64_t{1700000000}; });
    form.FormCreate();
    auto* classic = form.findChild<ProgramTimer*>(QStringLiteral("Timer_Classic"));
    std::mt19937 random(7);
    for (int64_t i = 0; i < count; ++i) {
        form.enterSpin(static_cast<int>(random() % 37));
        for (int t = 0; t < 40 && classic->enabled(); ++t)
            classic->fire();
    }
    std::vector<vantel::EnteredSpin> spins = form.spinUndo().history().entered();
    return spins;
}

void StatisticsUpdatePerSpin(benchmark::State& state) {
    const int64_t base = state.range(0);
    static std::vector<vantel::EnteredSpin> played;
    if (static_cast<int64_t>(played.size()) < base + kPlayedAhead)
        played = playedSession(10000 + kPlayedAhead);
    QWidget main;
    main.resize(946, 522);
    main.show();
    std::vector<vantel::EnteredSpin> spins(played.begin(), played.begin() + base);
    StatisticsWindow stats(spins, &main);
    stats.showBeside();
    QApplication::processEvents();
    size_t next = static_cast<size_t>(base);
    for (auto _ : state) {
        if (next == played.size()) {
            state.PauseTiming();
            spins.resize(static_cast<size_t>(base));
            next = static_cast<size_t>(base);
            state.ResumeTiming();
        }
        spins.push_back(played[next++]);
        stats.refresh();
        QApplication::processEvents(); // the window repaints what changed
    }
    state.counters["spins"] = static_cast<double>(base);
}
BENCHMARK(StatisticsUpdatePerSpin)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
