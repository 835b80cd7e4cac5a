// Times the exact computation of a session's distribution for a few settings
// and prints its size; a setting that outgrows the limits says so.
#include "exact.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace vantel::sim;

namespace {

struct Setting {
    const char* name;
    Config config;
};

Config of(int mode, const char* system, uint64_t spins) {
    Config c;
    c.settings.gameMode = mode;
    c.settings.bettingSystem = system;
    c.spins = spins;
    return c;
}

} // namespace

int main() {
    std::vector<Setting> all = {
        {"Mode1 Martingale, 1000 spins (the defaults)", of(0, "Martingale", 1000)},
        {"Mode2 Martingale safe level 3, 1000 spins", of(1, "Martingale", 1000)},
        {"Mode1 Martingale bankroll 2000 limit 1000, 1000", of(0, "Martingale", 1000)},
        {"Mode1 Martingale, 10000 spins", of(0, "Martingale", 10000)},
        {"Mode1 Donald, 1000 spins", of(0, "Donald", 1000)},
        {"Mode1 Donald bankroll 1000, 1000 spins", of(0, "Donald", 1000)},
        {"Mode1 Donald, 300 spins", of(0, "Donald", 300)},
        {"Mode1 Donald, 1005 spins", of(0, "Donald", 1005)},
        {"Mode1 Donald, 2000 spins", of(0, "Donald", 2000)},
        {"Mode1 Donald table limit 200, 1000 spins", of(0, "Donald", 1000)},
        {"Mode1 Donald table limit 200, 2000 spins", of(0, "Donald", 2000)},
        {"Mode1 Martingale, 2000 spins", of(0, "Martingale", 2000)},
        {"Sequential, 40 spins", of(2, "Martingale", 40)},
        {"Sequential, 50 spins", of(2, "Martingale", 50)},
        {"Sequential Manual, 40 spins", of(2, "Martingale", 40)},
        {"Sequential, 1000 spins", of(2, "Martingale", 1000)},
    };
    all[1].config.settings.safeLevel = 3;
    all[2].config.bankroll = 2000;
    all[2].config.tableLimit = 1000;
    all[5].config.bankroll = 1000;
    all[14].config.settings.mode3Reset = 2;
    all[9].config.tableLimit = 200;
    all[10].config.tableLimit = 200;
    for (const Setting& s : all) {
        const auto start = std::chrono::steady_clock::now();
        const ExactResult r = exactRisk(s.config);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (r.exact)
            std::printf("%-48s %8.3f s  %9llu entries at most, %11llu in all%s\n", s.name, seconds,
                        static_cast<unsigned long long>(r.figures.peakEntries),
                        static_cast<unsigned long long>(r.figures.work),
                        r.figures.longestRun.empty() ? "  (longest run not computed)" : "");
        else
            std::printf("%-48s %8.3f s  %s\n", s.name, seconds, r.reason.c_str());
    }
    return 0;
}
