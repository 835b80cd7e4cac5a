// The wheel's figures against tables written out here by hand, not taken
// from the code: the pocket order, the sectors, the arcs of the neighbourhood
// test, distances, and the tests' chi-squares for short fixed sessions; and
// the tally kept spin by spin against a count made afresh.
#include "wheel_stats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <sstream>

using namespace vantel;
using namespace vantel::sim;

namespace {

// A single-zero wheel read clockwise from zero, as printed on a layout card.
const char* const kWheelCard = "0-32-15-19-4-21-2-25-17-34-6-27-13-36-11-30-8-23-10-"
                               "5-24-16-33-1-20-14-31-9-22-18-29-7-28-12-35-3-26";

std::vector<int> cardOrder() {
    std::vector<int> order;
    std::stringstream in(kWheelCard);
    std::string item;
    while (std::getline(in, item, '-'))
        order.push_back(std::stoi(item));
    return order;
}

std::vector<EnteredSpin> spinsOf(const std::vector<int>& numbers) {
    std::vector<EnteredSpin> spins;
    for (int n : numbers)
        spins.push_back({n, {}});
    return spins;
}

std::set<int> asSet(const std::vector<int>& v) {
    return {v.begin(), v.end()};
}

// The chi-square tail for 6 degrees of freedom written out.
double tail6(double x) {
    const double h = x / 2;
    return std::exp(-h) * (1 + h + h * h / 2);
}

void expectSameStats(const WheelStats& a, const WheelStats& b, const std::string& where) {
    EXPECT_EQ(a.spins, b.spins) << where;
    EXPECT_EQ(a.pocketCounts, b.pocketCounts) << where;
    EXPECT_EQ(a.distanceCounts, b.distanceCounts) << where;
    EXPECT_EQ(a.distances, b.distances) << where;
    EXPECT_EQ(a.arcCounts, b.arcCounts) << where;
    EXPECT_EQ(a.recent, b.recent) << where;
    EXPECT_DOUBLE_EQ(a.meanDistance, b.meanDistance) << where;
    for (int i = 0; i < kSectors; ++i)
        EXPECT_EQ(a.sectors[i].count, b.sectors[i].count) << where << " sector " << i;
}

} // namespace

TEST(WheelStats, PocketOrderIsTheSingleZeroWheel) {
    const std::vector<int> card = cardOrder();
    ASSERT_EQ(card.size(), 37u);
    EXPECT_EQ(std::vector<int>(kWheelOrder.begin(), kWheelOrder.end()), card);
    for (int pocket = 0; pocket < 37; ++pocket)
        EXPECT_EQ(pocketOf(card[static_cast<size_t>(pocket)]), pocket) << card[pocket];
    for (int off : {-1, 37, 100})
        EXPECT_EQ(pocketOf(off), -1) << off;
    // Neighbours a player knows by heart: number, the one before, the one after.
    const int neighbours[][3] = {{0, 26, 32}, {17, 25, 34}, {5, 10, 24}, {26, 3, 0}, {36, 13, 11}};
    for (const auto& [n, before, after] : neighbours) {
        EXPECT_EQ(kWheelOrder[static_cast<size_t>((pocketOf(n) + 36) % 37)], before) << n;
        EXPECT_EQ(kWheelOrder[static_cast<size_t>((pocketOf(n) + 1) % 37)], after) << n;
    }
}

TEST(WheelStats, SectorsHoldTheTraditionalNumbersAndCoverTheWheelOnce) {
    const std::set<int> around = {22, 18, 29, 7, 28, 12, 35, 3, 26, 0, 32, 15, 19, 4, 21, 2, 25};
    const std::set<int> opposite = {27, 13, 36, 11, 30, 8, 23, 10, 5, 24, 16, 33};
    const std::set<int> between = {17, 34, 6, 1, 20, 14, 31, 9};
    EXPECT_EQ(asSet(sectorNumbers(0)), around);
    EXPECT_EQ(asSet(sectorNumbers(1)), opposite);
    EXPECT_EQ(asSet(sectorNumbers(2)), between);
    EXPECT_EQ(sectorNumbers(0).size(), 17u) << "no number twice";
    EXPECT_EQ(sectorNumbers(1).size(), 12u);
    EXPECT_EQ(sectorNumbers(2).size(), 8u);
    EXPECT_TRUE(sectorNumbers(3).empty());
    const WheelStats s = WheelTally().stats();
    EXPECT_EQ(s.sectors[0].size, 17);
    EXPECT_EQ(s.sectors[1].size, 12);
    EXPECT_EQ(s.sectors[2].size, 8);
}

TEST(WheelStats, ArcsAreSevenRunsOfNeighboursFromJustBeforeZero) {
    const std::vector<std::vector<int>> arcs = {
        {3, 26, 0, 32, 15}, {19, 4, 21, 2, 25},  {17, 34, 6, 27, 13},     {36, 11, 30, 8, 23, 10},
        {5, 24, 16, 33, 1}, {20, 14, 31, 9, 22}, {18, 29, 7, 28, 12, 35},
    };
    ASSERT_EQ(kArcs, 7);
    for (int a = 0; a < kArcs; ++a) {
        ASSERT_EQ(arcSize(a), static_cast<int>(arcs[a].size())) << a;
        for (int k = 0; k < arcSize(a); ++k)
            EXPECT_EQ(kWheelOrder[static_cast<size_t>((arcFirstPocket(a) + k) % 37)], arcs[a][k])
                << "arc " << a << " place " << k;
    }
}

TEST(WheelStats, DistanceIsPocketsTheShortWayEitherWay) {
    // from, to, pockets between them the short way (counted on the card).
    const int cases[][3] = {
        {0, 0, 0},   {0, 32, 1},   {32, 0, 1}, {0, 26, 1},  {26, 0, 1},
        {32, 26, 2}, {0, 10, 18},  {0, 5, 18}, {10, 5, 1},  {17, 22, 17},
        {5, 17, 11}, {26, 10, 18}, {3, 15, 4}, {13, 30, 3}, {1, 36, 10},
    };
    for (const auto& [from, to, d] : cases)
        EXPECT_EQ(wheelDistance(from, to), d) << from << " to " << to;
    EXPECT_EQ(wheelDistance(0, 37), -1);
    EXPECT_EQ(wheelDistance(-1, 5), -1);
    // Over all 37 x 37 pairs, each distance comes as often as its fair share says.
    std::array<int, kDistanceClasses> seen{};
    for (int a = 0; a < 37; ++a)
        for (int b = 0; b < 37; ++b)
            ++seen[static_cast<size_t>(wheelDistance(a, b))];
    double total = 0;
    for (int d = 0; d < kDistanceClasses; ++d) {
        EXPECT_DOUBLE_EQ(seen[static_cast<size_t>(d)] / (37.0 * 37.0), fairDistanceShare(d)) << d;
        total += fairDistanceShare(d);
    }
    EXPECT_DOUBLE_EQ(total, 1.0);
    EXPECT_DOUBLE_EQ(kFairMeanDistance, 342.0 / 37);
}

TEST(WheelStats, AShortSessionCountedByHand) {
    // 0, 32, 26, 10, 5, 17, 17, 22: distances 1, 2, 18, 1, 11, 0, 17.
    const WheelStats s = wheelStats({0, 32, 26, 10, 5, 17, 17, 22});
    EXPECT_EQ(s.spins, 8u);
    EXPECT_EQ(s.pocketCounts[0], 1u);  // 0
    EXPECT_EQ(s.pocketCounts[8], 2u);  // 17
    EXPECT_EQ(s.pocketCounts[36], 1u); // 26
    EXPECT_EQ(s.sectors[0].count, 4u); // 0, 32, 26, 22
    EXPECT_EQ(s.sectors[1].count, 2u); // 10, 5
    EXPECT_EQ(s.sectors[2].count, 2u); // 17 twice
    EXPECT_DOUBLE_EQ(s.sectors[0].expected, 8.0 * 17 / 37);
    EXPECT_DOUBLE_EQ(s.sectors[1].expected, 8.0 * 12 / 37);
    EXPECT_DOUBLE_EQ(s.sectors[2].expected, 8.0 * 8 / 37);
    const std::array<uint64_t, kArcs> arcs = {3, 0, 2, 1, 1, 1, 0};
    EXPECT_EQ(s.arcCounts, arcs);
    EXPECT_DOUBLE_EQ(s.arcExpected[3], 8.0 * 6 / 37);
    EXPECT_EQ(s.distances, 7u);
    std::array<uint64_t, kDistanceClasses> distances{};
    distances[0] = 1;
    distances[1] = 2;
    distances[2] = 1;
    distances[11] = 1;
    distances[17] = 1;
    distances[18] = 1;
    EXPECT_EQ(s.distanceCounts, distances);
    EXPECT_DOUBLE_EQ(s.meanDistance, 50.0 / 7);
    EXPECT_DOUBLE_EQ(s.distanceExpected[0], 7.0 / 37);
    EXPECT_DOUBLE_EQ(s.distanceExpected[5], 14.0 / 37);
    EXPECT_EQ(s.recent, (std::vector<int>{22, 17, 17, 5, 10, 26, 32, 0}));
    EXPECT_FALSE(s.arcs.has_value()) << "the test starts at 37 spins";
    EXPECT_FALSE(s.distanceTest.has_value());
}

TEST(WheelStats, NeighbourhoodChiSquareOfFixedSessions) {
    std::vector<int> once(37);
    for (int n = 0; n < 37; ++n)
        once[static_cast<size_t>(n)] = n;
    std::vector<int> short36(once.begin(), once.begin() + 36);
    EXPECT_FALSE(wheelStats(short36).arcs.has_value());

    // Every number once: each arc has exactly its fair count.
    const WheelStats even = wheelStats(once);
    ASSERT_TRUE(even.arcs.has_value());
    EXPECT_NEAR(even.arcs->chiSquare, 0, 1e-12);
    EXPECT_EQ(even.arcs->degreesOfFreedom, 6);
    EXPECT_DOUBLE_EQ(even.arcs->pValue, 1);

    // And 0 five times more: 42 spins, arc 0 (5 pockets) has 10 against 210/37;
    // the others s against 42 s / 37. Chi-square = 80/21.
    std::vector<int> zeros = once;
    zeros.insert(zeros.end(), 5, 0);
    const WheelStats z = wheelStats(zeros);
    ASSERT_TRUE(z.arcs.has_value());
    EXPECT_NEAR(z.arcs->chiSquare, 80.0 / 21, 1e-9);
    EXPECT_NEAR(z.arcs->pValue, tail6(80.0 / 21), 1e-9);
    EXPECT_NEAR(z.arcs->pValue, 0.70246, 5e-5);
    EXPECT_STREQ(z.arcs->reading, "no sign of bias");

    // 37 zeros: (37 - 5)^2 / 5 + the other arcs' expected counts (32).
    const WheelStats allZero = wheelStats(std::vector<int>(37, 0));
    ASSERT_TRUE(allZero.arcs.has_value());
    EXPECT_NEAR(allZero.arcs->chiSquare, 236.8, 1e-9);
    EXPECT_STREQ(allZero.arcs->reading, "strongly uneven");
}

TEST(WheelStats, DistanceChiSquareOfFixedSessions) {
    // 0 and 32 in turn: every distance is 1.
    std::vector<int> rocking;
    for (int i = 0; i < 38; ++i)
        rocking.push_back(i % 2 ? 32 : 0);
    std::vector<int> short37(rocking.begin(), rocking.begin() + 37);
    EXPECT_FALSE(wheelStats(short37).distanceTest.has_value()) << "36 distances";
    const WheelStats r = wheelStats(rocking);
    ASSERT_TRUE(r.distanceTest.has_value());
    EXPECT_EQ(r.distances, 37u);
    // Class 0: (0 - 1)^2 / 1; class 1: (37 - 2)^2 / 2; 17 classes of (0 - 2)^2 / 2.
    EXPECT_NEAR(r.distanceTest->chiSquare, 1 + 612.5 + 34, 1e-9);
    EXPECT_EQ(r.distanceTest->degreesOfFreedom, 18);
    EXPECT_STREQ(r.distanceTest->reading, "strongly uneven");
    EXPECT_DOUBLE_EQ(r.meanDistance, 1);

    // Steps clockwise of 0, 1, ..., 18 and 1, ..., 18 pockets: each distance
    // exactly as often as a fair wheel gives it.
    const std::vector<int> card = cardOrder();
    std::vector<int> walk = {0};
    int pocket = 0;
    for (int step = 0; step <= 18; ++step)
        walk.push_back(card[static_cast<size_t>(pocket = (pocket + step) % 37)]);
    for (int step = 1; step <= 18; ++step)
        walk.push_back(card[static_cast<size_t>(pocket = (pocket + step) % 37)]);
    const WheelStats w = wheelStats(walk);
    ASSERT_TRUE(w.distanceTest.has_value());
    EXPECT_NEAR(w.distanceTest->chiSquare, 0, 1e-12);
    EXPECT_DOUBLE_EQ(w.distanceTest->pValue, 1);
    EXPECT_DOUBLE_EQ(w.meanDistance, 342.0 / 37);
}

TEST(WheelStats, TallyFollowsAddedTakenBackAndChangedSpinsAsACountAfresh) {
    std::mt19937 random(20261209);
    std::vector<int> numbers;
    WheelTally tally;
    for (int step = 0; step < 600; ++step) {
        const unsigned what = random() % 10;
        if (what < 3 && !numbers.empty()) {
            numbers.pop_back();
        } else if (what == 3 && !numbers.empty()) {
            // A spin further back changed, as a session replaced wholesale does.
            numbers[random() % numbers.size()] = static_cast<int>(random() % 37);
        } else if (what == 4 && numbers.size() > 3) {
            numbers.resize(numbers.size() / 2);
        } else {
            numbers.push_back(static_cast<int>(random() % (step < 200 ? 4 : 37)));
        }
        tally.follow(spinsOf(numbers));
        ASSERT_EQ(tally.size(), numbers.size());
        const WheelStats kept = tally.stats();
        expectSameStats(kept, wheelStats(numbers), "step " + std::to_string(step));

        // And against a count with the card alone.
        const std::vector<int> card = cardOrder();
        const auto cardPocket = [&](int n) {
            return static_cast<int>(std::find(card.begin(), card.end(), n) - card.begin());
        };
        std::array<uint64_t, 37> counts{};
        std::array<uint64_t, 19> distances{};
        for (size_t i = 0; i < numbers.size(); ++i) {
            ++counts[static_cast<size_t>(cardPocket(numbers[i]))];
            if (i == 0) continue;
            const int d = std::abs(cardPocket(numbers[i]) - cardPocket(numbers[i - 1]));
            ++distances[static_cast<size_t>(std::min(d, 37 - d))];
        }
        ASSERT_EQ(kept.pocketCounts, counts) << "step " << step;
        ASSERT_EQ(kept.distanceCounts, distances) << "step " << step;
        const size_t recent = std::min<size_t>(10, numbers.size());
        ASSERT_EQ(kept.recent, std::vector<int>(numbers.rbegin(), numbers.rbegin() + recent));
    }
}

TEST(WheelStats, NumbersOffTheWheelAreLeftOutAndBreakTheDistances) {
    WheelTally tally;
    tally.follow(spinsOf({5, 40, 10, 10, -3, 10}));
    const WheelStats s = tally.stats();
    EXPECT_EQ(s.spins, 4u);
    EXPECT_EQ(s.distances, 1u) << "only the first 10 to 10 follows a spin on the wheel";
    EXPECT_EQ(s.distanceCounts[0], 1u);
    EXPECT_EQ(s.recent, (std::vector<int>{10, 10, 10, 5}));
    tally.follow(spinsOf({5, 40, 10}));
    EXPECT_EQ(tally.stats().spins, 2u);
    EXPECT_EQ(tally.stats().distances, 0u);
}
