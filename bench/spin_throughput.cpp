// Plays a long headless session and prints how many spins a second the
// tracker takes, draws included, on the virtual clock.
#include "headless_driver.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

int main(int argc, char** argv) {
    const int spins = argc > 1 ? std::atoi(argv[1]) : 100000;
    vantel::Tracker tracker;
    vantel::HeadlessDriver driver{tracker};
    tracker.setBettingSystem("Donald");

    std::mt19937 random(7);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < spins; ++i) {
        if (!driver.spin(static_cast<int>(random() % 37))) tracker.Reset_BetsClick();
        driver.runUntilIdle();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d spins in %.3f s (%.0f spins/s), %lld ms of play on the virtual clock\n", spins,
                seconds, spins / seconds, static_cast<long long>(tracker.clock().now));
    return 0;
}
