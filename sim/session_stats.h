#pragma once

// What the spins of a live session mean: how the wheel has fallen, what the
// suggestions have been worth and what a player following the window has
// placed and got back. No Qt; the Statistics window shows it.
#include "report.h"
#include "spin_history.h"
#include "tracker_observer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantel::sim {

// A group of numbers an even-chance, dozen or column bet covers.
struct NumberGroup {
    const char* name;
    uint64_t count = 0;  // spins that fell in it
    double expected = 0; // spins expected on a fair wheel: spins x size / 37
};

// The chi-square test of the 37 counts against a fair wheel.
struct FairnessTest {
    double chiSquare = 0;
    int degreesOfFreedom = kHighestNumber;
    double pValue = 1;
    const char* reading = ""; // "no sign of bias", "uneven; keep watching", "strongly uneven"
};

constexpr uint64_t kSpinsForFairnessTest = kBoardNumbers;

struct SessionStats {
    uint64_t spins = 0;
    std::array<uint64_t, kBoardNumbers> counts{};
    // Spins entered since each number last came (0: the latest spin), none if never.
    std::array<std::optional<uint64_t>, kBoardNumbers> since{};
    std::vector<int> hottest; // the numbers with the highest count, when any spin is in
    std::vector<int> coldest; // and with the lowest
    // Red, black, green; odd, even; 1-18, 19-36; the three dozens; the three columns.
    std::vector<NumberGroup> groups;
    // From 37 spins on; before that, none.
    std::optional<FairnessTest> fairness;

    // The suggestions: spins entered while numbers were lit, judged against them.
    uint64_t judgedSpins = 0;
    uint64_t hits = 0;
    Estimate hitRate;
    double randomHitRate = 18.0 / 37.0;

    // The money, as a player following the window places it.
    int64_t staked = 0;
    int64_t returned = 0;
    int64_t net = 0;
    int64_t largestOutlay = 0;
    std::vector<int64_t> netAfterSpin; // after each spin entered
};

SessionStats sessionStats(const std::vector<EnteredSpin>& spins);

// The probability that a chi-square with `degreesOfFreedom` (even) reaches x.
double chiSquareUpperTail(double x, int degreesOfFreedom);

// The chi-square test of 37 counts (by number), from kSpinsForFairnessTest
// spins on; before that, none.
std::optional<FairnessTest> fairnessTest(const std::array<uint64_t, kBoardNumbers>& counts);

// The reading of a p-value: above 0.05 no sign of bias, below 0.001 strongly
// uneven, between them uneven.
const char* fairnessReading(double pValue);

// The spins one number a line, as vantel-sim --spins-file reads them.
std::string spinsText(const std::vector<EnteredSpin>& spins);

} // namespace vantel::sim
