// What the undo history costs per spin: the time to take the snapshot of a
// tracker in the middle of a session, and the bytes the kept snapshot holds.
#include "headless_driver.h"
#include "spin_history.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

void BM_SnapshotPerSpin(benchmark::State& state) {
    vantel::Tracker tracker;
    vantel::HeadlessDriver driver{tracker};
    std::mt19937 random(11);
    // A session well under way: every list and the strip in use.
    for (int i = 0; i < 200; ++i) {
        if (!driver.spin(static_cast<int>(random() % 37))) tracker.Reset_BetsClick();
        driver.runUntilIdle();
    }
    size_t bytes = 0;
    for (auto _ : state) {
        vantel::Snapshot s = tracker.snapshot();
        bytes = s.bytes();
        benchmark::DoNotOptimize(s);
    }
    state.counters["bytes_per_spin"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SnapshotPerSpin);

// A full history: the memory of the deepest undo the window keeps.
void BM_FullHistoryMemory(benchmark::State& state) {
    size_t bytes = 0;
    for (auto _ : state) {
        vantel::Tracker tracker;
        vantel::HeadlessDriver driver{tracker};
        vantel::SpinHistory history(tracker);
        std::mt19937 random(5);
        for (size_t i = 0; i < history.depth() + 10; ++i) {
            if (!driver.spin(static_cast<int>(random() % 37))) tracker.Reset_BetsClick();
            driver.runUntilIdle();
        }
        bytes = history.bytes();
    }
    state.counters["history_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_FullHistoryMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
