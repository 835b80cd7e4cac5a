#include "session_stats.h"
#include "spins_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

using namespace vantel;
using namespace vantel::sim;

namespace {

std::vector<EnteredSpin> spinsOf(const std::vector<int>& numbers) {
    std::vector<EnteredSpin> spins;
    for (int n : numbers)
        spins.push_back({n, {}});
    return spins;
}

const NumberGroup& group(const SessionStats& s, const std::string& name) {
    for (const NumberGroup& g : s.groups)
        if (name == g.name) return g;
    throw std::runtime_error("no group " + name);
}

} // namespace

TEST(SessionStats, CountsGapsAndGroupsOfAScriptedSession) {
    // 17 black, 32 red, 0, 17, 5 red, 36 red, 17.
    const SessionStats s = sessionStats(spinsOf({17, 32, 0, 17, 5, 36, 17}));
    EXPECT_EQ(s.spins, 7u);
    EXPECT_EQ(s.counts[17], 3u);
    EXPECT_EQ(s.counts[32], 1u);
    EXPECT_EQ(s.counts[0], 1u);
    EXPECT_EQ(s.counts[1], 0u);
    EXPECT_EQ(s.since[17], 0u);
    EXPECT_EQ(s.since[36], 1u);
    EXPECT_EQ(s.since[0], 4u);
    EXPECT_EQ(s.since[32], 5u);
    EXPECT_FALSE(s.since[1].has_value());
    EXPECT_EQ(s.hottest, std::vector<int>{17});
    EXPECT_EQ(s.coldest.size(), 37u - 5u); // all that never came
    // name: count, expected = 7 x size / 37
    const std::map<std::string, std::pair<uint64_t, int>> expected = {
        {"Red", {3, 18}},
        {"Black", {3, 18}},
        {"Green (0)", {1, 1}},
        {"Odd", {4, 18}},
        {"Even", {2, 18}},
        {"1-18", {4, 18}},
        {"19-36", {2, 18}},
        {"1st dozen (1-12)", {1, 12}},
        {"2nd dozen (13-24)", {3, 12}},
        {"3rd dozen (25-36)", {2, 12}},
        {"1st column (1, 4, ... 34)", {0, 12}},
        {"2nd column (2, 5, ... 35)", {5, 12}},
        {"3rd column (3, 6, ... 36)", {1, 12}},
    };
    EXPECT_EQ(s.groups.size(), expected.size());
    for (const auto& [name, want] : expected) {
        EXPECT_EQ(group(s, name).count, want.first) << name;
        EXPECT_DOUBLE_EQ(group(s, name).expected, 7.0 * want.second / 37) << name;
    }
    EXPECT_FALSE(s.fairness.has_value()) << "shown from 37 spins on";
}

TEST(SessionStats, TheChiSquareTailMatchesKnownValues) {
    // chi-square 36 with 36 degrees of freedom: 0.46865 (integrated numerically).
    EXPECT_NEAR(chiSquareUpperTail(36, 36), 0.46865, 5e-5);
    // The tables' critical values for 36 degrees of freedom.
    EXPECT_NEAR(chiSquareUpperTail(50.998, 36), 0.05, 5e-5);
    EXPECT_NEAR(chiSquareUpperTail(67.985, 36), 0.001, 5e-6);
    // Two degrees of freedom: exp(-x/2).
    EXPECT_NEAR(chiSquareUpperTail(3, 2), std::exp(-1.5), 1e-12);
    EXPECT_EQ(chiSquareUpperTail(0, 36), 1.0);
    EXPECT_STREQ(fairnessReading(0.2), "no sign of bias");
    EXPECT_STREQ(fairnessReading(0.05), "no sign of bias");
    EXPECT_STREQ(fairnessReading(0.049), "uneven; keep watching");
    EXPECT_STREQ(fairnessReading(0.0009), "strongly uneven");
}

TEST(SessionStats, FairnessTestFromThirtySevenSpins) {
    std::vector<int> numbers;
    for (int n = 0; n <= 35; ++n)
        numbers.push_back(n);
    EXPECT_FALSE(sessionStats(spinsOf(numbers)).fairness.has_value());
    numbers.push_back(36); // every pocket once: chi-square 0
    const auto even = sessionStats(spinsOf(numbers)).fairness;
    ASSERT_TRUE(even.has_value());
    EXPECT_DOUBLE_EQ(even->chiSquare, 0);
    EXPECT_STREQ(even->reading, "no sign of bias");
    // 74 spins all on 7: chi-square = (74 - 2)^2 / 2 + 36 x 2 = 2664.
    const auto biased = sessionStats(spinsOf(std::vector<int>(74, 7))).fairness;
    ASSERT_TRUE(biased.has_value());
    EXPECT_NEAR(biased->chiSquare, 2664, 1e-9);
    EXPECT_STREQ(biased->reading, "strongly uneven");
}

TEST(SessionStats, SuggestionsAndMoneyFollowTheOutlay) {
    // Stake 2 on 18 lit: a miss, a hit; then stake 4 on 18, a miss; an unlit spin.
    std::vector<EnteredSpin> spins = {
        {5, {2, 18, 36, 0, false}},
        {9, {2, 18, 36, 72, true}},
        {1, {4, 18, 72, 0, false}},
        {3, {0, 0, 0, 0, false}},
    };
    const SessionStats s = sessionStats(spins);
    EXPECT_EQ(s.judgedSpins, 3u);
    EXPECT_EQ(s.hits, 1u);
    EXPECT_NEAR(s.hitRate.value, 1.0 / 3, 1e-12);
    EXPECT_LT(s.hitRate.low, 1.0 / 3);
    EXPECT_GT(s.hitRate.high, 1.0 / 3);
    EXPECT_NEAR(s.randomHitRate, 18.0 / 37, 1e-12);
    EXPECT_EQ(s.staked, 144);
    EXPECT_EQ(s.returned, 72);
    EXPECT_EQ(s.net, -72);
    EXPECT_EQ(s.largestOutlay, 72);
    EXPECT_EQ(s.netAfterSpin, (std::vector<int64_t>{-36, 0, -72, -72}));
}

TEST(SessionStats, SavedSpinsReadBackAsTheSpinsFile) {
    const std::vector<int> numbers = {0, 36, 7, 7, 21};
    EXPECT_EQ(parseSpins(spinsText(spinsOf(numbers)), "saved.txt"), numbers);
}
