// Spins a second through the real tracker, the headless items and the
// headless driver on its virtual clock, draws included: on one thread
// (BM_Spin), and on as many threads as the machine has cores, each playing a
// session of its own (BM_SpinAllCores: spins_per_s is the sum over the threads
// in wall time). Run with --spins=N --mode=NAME to play exactly N spins on one
// thread and nothing else (what instructions_per_spin.sh measures under
// callgrind).
#include "headless_driver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

// Mode1 is the classic draw; all three with Martingale at safe level 0 and
// the other settings as the window starts.
struct Session {
    explicit Session(int mode) {
        tracker.setGameMode(mode);
        tracker.setBettingSystem("Martingale");
        tracker.setSafeLevel(0);
        std::mt19937 random(7);
        numbers.resize(1 << 16);
        for (int& n : numbers)
            n = static_cast<int>(random() % 37);
    }
    void spin() {
        const int n = numbers[next++ & (numbers.size() - 1)];
        if (!driver.spin(n)) tracker.Reset_BetsClick();
        driver.runUntilIdle();
    }

    vantel::Tracker tracker;
    vantel::HeadlessDriver driver{tracker};
    std::vector<int> numbers;
    size_t next = 0;
};

// Run by every thread of a multi-threaded benchmark, each with its session;
// the threads' counters are summed.
void BM_Spin(benchmark::State& state) {
    Session session(static_cast<int>(state.range(0)));
    for (auto _ : state)
        session.spin();
    state.counters["spins_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Spin)->ArgName("mode")->Arg(0)->Arg(1)->Arg(2);

// The core count is known only at run time. Rates are taken over wall time, so
// that the summed count is the machine's spins a second in all (over CPU time
// it would be one thread's).
void registerAllCores() {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    benchmark::RegisterBenchmark("BM_SpinAllCores", BM_Spin)
        ->ArgName("mode")
        ->Arg(0)
        ->Arg(1)
        ->Arg(2)
        ->Threads(cores)
        ->UseRealTime();
}

int modeOf(const std::string& name) {
    if (name == "mode1") return 0;
    if (name == "mode2") return 1;
    if (name == "sequential") return 2;
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    long spins = -1;
    int mode = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--spins=", 8) == 0) spins = std::atol(argv[i] + 8);
        if (std::strncmp(argv[i], "--mode=", 7) == 0) mode = modeOf(argv[i] + 7);
    }
    if (spins >= 0) {
        if (mode < 0) {
            std::fprintf(stderr, "--mode is one of mode1, mode2, sequential\n");
            return 2;
        }
        Session session(mode);
        for (long i = 0; i < spins; ++i)
            session.spin();
        return 0;
    }
    registerAllCores();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
