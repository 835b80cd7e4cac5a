#pragma once

// How the spins of a session have fallen on the wheel rather than on the
// layout: each pocket's count in wheel order, the three traditional sectors,
// a fairness test over neighbourhoods of the wheel and the distance from each
// spin to the next. No Qt; the Statistics window shows it.
#include "session_stats.h"
#include "spin_history.h"
#include "tracker_observer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace vantel::sim {

constexpr int kWheelPockets = kBoardNumbers;

// The numbers of a single-zero wheel, pocket by pocket, clockwise from zero.
constexpr std::array<int, kWheelPockets> kWheelOrder = {
    0, 32, 15, 19, 4, 21, 2,  25, 17, 34, 6,  27, 13, 36, 11, 30, 8, 23, 10,
    5, 24, 16, 33, 1, 20, 14, 31, 9,  22, 18, 29, 7,  28, 12, 35, 3, 26};

// The pocket (index into kWheelOrder) of a number 0..36; -1 for any other.
int pocketOf(int number);

// The pockets from one number to another the short way round, either way:
// 0 for the same pocket, 1 for a neighbour, up to 18 for the far side.
constexpr int kLongestDistance = kWheelPockets / 2;
constexpr int kDistanceClasses = kLongestDistance + 1;
int wheelDistance(int from, int to);
// The share of spins a fair wheel lands that far from the one before:
// 1/37 for 0, 2/37 for every other distance (reached going either way).
double fairDistanceShare(int distance);
// A fair wheel's mean distance: 2 x (1 + 2 + ... + 18) / 37.
constexpr double kFairMeanDistance =
    2.0 * (kLongestDistance * (kLongestDistance + 1) / 2) / kWheelPockets;

// A sector: one or two runs of neighbouring pockets.
struct WheelSector {
    const char* name;
    const char* pockets; // how a player names its pockets
    int size = 0;
    uint64_t count = 0;
    double expected = 0; // spins x size / 37
};
constexpr int kSectors = 3;
// The numbers of sector 0..2 (around zero, opposite zero, between them), in
// wheel order.
std::vector<int> sectorNumbers(int sector);

// The neighbourhood test: the wheel cut into kArcs arcs of neighbouring
// pockets that do not overlap (sizes 5 or 6, the first centred on zero), and
// the chi-square of their counts against sizes x spins / 37, with kArcs - 1
// degrees of freedom. The arcs do not overlap on purpose: counts of
// overlapping arcs are correlated, and their chi-square would not follow the
// chi-square law the p-value is read from. Pooling neighbours shows a bias
// spread over a stretch of the wheel more strongly than the 37-number test;
// a bias narrower than an arc, or one split over two arcs, shows less. The p
// is the chi-square approximation, fair from about 5 expected spins an arc
// (37 spins).
constexpr int kArcs = 7;
constexpr int kArcCentredPocket = 2; // arc 0 starts this many pockets before zero
// The first pocket of arc a (wrapping round) and its size.
int arcFirstPocket(int arc);
int arcSize(int arc);

struct DistanceTest {
    double chiSquare = 0;
    int degreesOfFreedom = kDistanceClasses - 1;
    double pValue = 1;
    const char* reading = "";
};

struct ArcTest {
    double chiSquare = 0;
    int degreesOfFreedom = kArcs - 1;
    double pValue = 1;
    const char* reading = "";
};

constexpr size_t kRecentSpins = 10;

struct WheelStats {
    uint64_t spins = 0; // spins of a number 0..36
    // By pocket, in wheel order.
    std::array<uint64_t, kWheelPockets> pocketCounts{};
    double expectedPerPocket = 0; // spins / 37
    std::array<WheelSector, kSectors> sectors{};
    std::array<uint64_t, kArcs> arcCounts{};
    std::array<double, kArcs> arcExpected{};
    // From kSpinsForFairnessTest spins on; before that, none.
    std::optional<ArcTest> arcs;
    // From one spin to the next one.
    uint64_t distances = 0;
    std::array<uint64_t, kDistanceClasses> distanceCounts{};
    std::array<double, kDistanceClasses> distanceExpected{};
    double meanDistance = 0; // of the distances so far; a fair wheel's is 342/37
    // From kDistancesForTest distances on.
    std::optional<DistanceTest> distanceTest;
    // The latest spins, newest first, at most kRecentSpins.
    std::vector<int> recent;
};

// As many distances as the smallest class (0) needs for one expected count.
constexpr uint64_t kDistancesForTest = kWheelPockets;

// The wheel figures of a session kept up to date spin by spin: a spin added,
// taken back or entered again costs a few steps, whatever the session's length.
class WheelTally {
  public:
    void push(int number);
    void pop();
    // Brings the tally to `spins`: back to the spins both have in common, then
    // forward through the rest. After one spin added or taken back that is
    // one step (and a comparison of the numbers, which catches any other change).
    void follow(const std::vector<EnteredSpin>& spins);
    size_t size() const { return m_numbers.size(); }
    WheelStats stats() const;

  private:
    std::vector<int8_t> m_numbers;                  // every spin's number, -1 for one off the wheel
    std::array<uint64_t, kWheelPockets> m_counts{}; // by pocket
    std::array<uint64_t, kDistanceClasses> m_distances{};
    uint64_t m_spins = 0;
    uint64_t m_transitions = 0;
};

// The same figures from counts alone: each pocket's (in wheel order) and each
// distance's between consecutive spins; `recent` is left empty.
WheelStats wheelStatsOfCounts(const std::array<uint64_t, kWheelPockets>& pocketCounts,
                              const std::array<uint64_t, kDistanceClasses>& distanceCounts);

// The same figures for a list of numbers, in one go.
WheelStats wheelStats(const std::vector<int>& numbers);

} // namespace vantel::sim
