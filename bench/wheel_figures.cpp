// The whole-wheel figures' cost: a wheel's tallies at 10^4, 10^5 and 10^6
// spins (a fair wheel's, from a fixed seed) through wheelStatsJson, timed.
// With files named, prints their figures as vantel-wheel stats does, each
// file a night.
#include "wheel_evidence.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>

using namespace vantel::sim;

namespace {

WheelTallies fairWheel(std::int64_t spins, unsigned seed) {
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> number(0, kWheelPockets - 1);
    WheelTallies t;
    int previous = -1;
    for (std::int64_t i = 0; i < spins; ++i) {
        const int n = number(random);
        t.add(previous, n);
        previous = n;
    }
    return t;
}

std::vector<int> readNumbers(const char* path) {
    std::ifstream in(path);
    std::vector<int> numbers;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        numbers.push_back(std::stoi(line));
    }
    return numbers;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        WheelTallies wheel;
        for (int i = 1; i < argc; ++i)
            wheel += talliesOfNight(readNumbers(argv[i]));
        const auto start = std::chrono::steady_clock::now();
        const std::string text = wheelStatsText(wheel);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        std::printf("%s\n(figures in %.1f ms)\n", text.c_str(), ms);
        return 0;
    }
    std::printf("%12s %14s %14s\n", "spins", "first (ms)", "best of 5 (ms)");
    for (std::int64_t spins : {std::int64_t{10000}, std::int64_t{100000}, std::int64_t{1000000},
                               std::int64_t{1200000}}) {
        const WheelTallies wheel = fairWheel(spins, 34);
        double first = 0, best = 1e9;
        for (int round = 0; round < 5; ++round) {
            const auto start = std::chrono::steady_clock::now();
            const nlohmann::json j = wheelStatsJson(wheel);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            if (round == 0) first = ms;
            best = std::min(best, ms);
            if (j["spins"].get<std::int64_t>() != spins) return 1;
        }
        std::printf("%12lld %14.2f %14.2f\n", static_cast<long long>(spins), first, best);
    }
    return 0;
}
