#pragma once

#include "engine.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vantel::sim {

// A proportion with its 95 % confidence interval.
struct Estimate {
    double value = 0;
    double low = 0;
    double high = 0;
};

// printf into a string, a line of the report at most 511 characters long.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Wilson's 95 % interval of k successes in n trials.
Estimate wilson(uint64_t k, uint64_t n);

constexpr std::array<int, 7> kNetPercentiles = {1, 5, 25, 50, 75, 95, 99};
constexpr std::array<int, 5> kBandPercentiles = {5, 25, 50, 75, 95};

// The percentile p (0..100) of sorted values, interpolated between the two
// nearest ranks.
double percentile(const std::vector<int64_t>& sorted, double p);

// What the intervals of a report range over. A sample of the wheel varies
// with the wheel; recorded spins are the same in every session, so only the
// suggestions' draws can vary, and in Sequential (which draws nothing) or
// with one session nothing does.
enum class Spread { Wheel, Draws, Nothing };

// What a backtest found over all its sessions.
struct Report {
    uint64_t sessions = 0;
    uint64_t spins = 0;
    Spread spread = Spread::Wheel;
    double netMean = 0;
    double netSd = 0;
    std::array<double, kNetPercentiles.size()> netPercentiles{};
    int64_t netMin = 0;
    int64_t netMax = 0;
    std::array<uint64_t, kEndingCount> endings{};
    std::array<Estimate, kEndingCount> endingRates{};
    int64_t staked = 0; // saturates at the int64 limits
    int64_t returned = 0;
    Estimate returnToPlayer; // returned / staked
    uint64_t betSpins = 0;
    uint64_t hits = 0;
    Estimate hitRate;         // spins on a lit number, of the spins with a stake
    double randomHitRate = 0; // a random bet on as many numbers: lit / 37
    double meanDrawdown = 0;
    int64_t deepestDrawdown = 0;
    int64_t largestOutlay = 0;

    // The net result's 5-25-50-75-95 percentile bands at the spins of
    // bandSpins (empty unless the sessions kept their paths).
    std::vector<uint64_t> bandSpins;
    std::array<std::vector<double>, kBandPercentiles.size()> bands;
    std::vector<double> meanPath;   // the mean net result at the spins of bandSpins
    std::vector<int64_t> finalNets; // in session order

    // Set by the exact computation (exact.h): the figures are those of the
    // distribution of a session, not of a sample. Sessions, spins, staked,
    // returned, bet spins and hits are then 0, and the expectations per
    // session below stand for them; every interval has width 0.
    bool exact = false;
    double expectedSpins = 0;
    double expectedStaked = 0;
    double expectedReturned = 0;
    double expectedBetSpins = 0;
    bool drawdownKnown = true;
    // Each final net result with its probability, in order (exact only).
    std::vector<std::pair<int64_t, double>> netDistribution;
};

// Combines the sessions in session order, so the figures do not depend on
// how the sessions were spread over threads.
Report summarize(const Config& config, const std::vector<SessionResult>& sessions);

// The readable report.
std::string formatReport(const Config& config, const Report& report);

// The game mode's name, as the window's drop-down list shows it.
const char* gameModeName(int index);

} // namespace vantel::sim
