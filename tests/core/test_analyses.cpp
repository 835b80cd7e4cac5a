#include "tracker_fixture.h"

#include <string>
#include <vector>

using vantel::NumberList;
using vantel::TimerId;

namespace {

using Analyses = vantel::testing::TrackerFixture;

// ---- Mode2 ----

class Mode2Order
    : public Analyses,
      public ::testing::WithParamInterface<std::pair<std::vector<int>, std::vector<int>>> {};

TEST_P(Mode2Order, MostFrequentFirstTiesByRecencyAmongTheLast37Spins) {
    tracker.setGameMode(1);
    for (int n : GetParam().first)
        play(n);
    EXPECT_FALSE(tracker.buttonsLocked());
    EXPECT_EQ(predicted().size(), 18u);
    EXPECT_EQ(lit(), predicted());
    EXPECT_EQ(st().Bet_Active, 1);
    auto order = tracker.Prediction_List.values();
    order.resize(GetParam().second.size());
    EXPECT_EQ(order, GetParam().second);
}

std::vector<int> repeated(std::initializer_list<std::pair<int, int>> runs) {
    std::vector<int> out;
    for (auto [n, times] : runs)
        out.insert(out.end(), static_cast<size_t>(times), n);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Spins, Mode2Order,
    ::testing::Values(std::pair{std::vector<int>{7, 7, 7, 12, 12, 30}, std::vector<int>{7, 12, 30}},
                      std::pair{std::vector<int>{3, 8, 8, 3, 20, 21},
                                std::vector<int>{3, 8, 21, 20}},
                      // 36 came out three times, but before the last 37 spins.
                      std::pair{repeated({{36, 3}, {1, 35}, {2, 2}}), std::vector<int>{1, 2}}));

// ---- Fixed Matrix ----

class FixedMatrix : public Analyses,
                    public ::testing::WithParamInterface<std::pair<int, TimerId>> {};

TEST_P(FixedMatrix, AfterAHitTheSameNumbersLightAgainInNPlusOneTicks) {
    const auto [mode, analysis] = GetParam();
    tracker.setGameMode(mode);
    tracker.setFixedMatrix(true);
    collect();
    play(17);
    const NumberList matrix = tracker.Prediction_List;
    ASSERT_TRUE(driver.spin(hitNumber()));
    EXPECT_FALSE(tracker.timerEnabled(analysis));
    EXPECT_TRUE(lit().empty());
    for (int tick = 1; tick <= 18; ++tick) {
        tickOnce(TimerId::FixedMatrix);
        EXPECT_TRUE(tracker.actNumberVisible(vantel::StrToInt(matrix.get(tick - 1))));
        EXPECT_EQ(lit().size(), static_cast<size_t>(tick));
        EXPECT_EQ(tracker.progressBar(), tick);
        EXPECT_TRUE(tracker.buttonsLocked()) << "tick " << tick;
    }
    tickOnce(TimerId::FixedMatrix);
    EXPECT_FALSE(tracker.buttonsLocked());
    EXPECT_FALSE(tracker.timerEnabled(TimerId::FixedMatrix));
    EXPECT_EQ(tracker.progressBar(), 0);
    EXPECT_EQ(tracker.Prediction_List, matrix);

    // After a miss the mode's own analysis runs again.
    ASSERT_TRUE(driver.spin(missNumber()));
    EXPECT_TRUE(tracker.timerEnabled(analysis));
    EXPECT_FALSE(tracker.timerEnabled(TimerId::FixedMatrix));
}

INSTANTIATE_TEST_SUITE_P(Modes, FixedMatrix,
                         ::testing::Values(std::pair{0, TimerId::Classic},
                                           std::pair{1, TimerId::Mode2}));

// ---- Sequential ----

struct SeqState {
    int32_t k; // numbers covered
    int64_t s; // stake per number
    int64_t P; // result of the sequence
};

class Sequential : public Analyses {
  protected:
    void expectSequence(const SeqState& e) {
        EXPECT_EQ(st().Sequential_Count, e.k);
        EXPECT_EQ(st().Sequential_Stake, e.s);
        EXPECT_EQ(st().Sequential_Result, e.P);
        EXPECT_EQ(tracker.betText(), std::to_string(e.s));
        EXPECT_EQ(lit().size(), static_cast<size_t>(e.k));
        EXPECT_EQ(lit(), predicted());
    }
    void start() {
        tracker.setGameMode(2);
        collect();
        play(14);
    }
};

TEST_F(Sequential, DefaultSettingsPlayedSpinBySpin) {
    tracker.setGameMode(2);
    for (int n : {10, 11, 12, 13})
        play(n);
    const struct {
        int spin;
        SeqState expected;
        std::set<int> lit;
    } script[] = {
        {14, {1, 1, 0}, {0}},            // first analysis: one number at the initial bet
        {20, {1, 1, -1}, {0}},           // miss
        {21, {2, 2, -2}, {0, 1}},        // second miss in a row: one more number, stake doubled
        {22, {2, 2, -6}, {0, 1}},        // miss
        {23, {3, 4, -10}, {0, 1, 2}},    // miss: step up
        {24, {3, 4, -22}, {0, 1, 2}},    // miss
        {25, {4, 8, -34}, {0, 1, 2, 3}}, // miss: step up
        {2, {1, 1, 0}, {0}},             // hit: -34 + 36x8 - 4x8 > 0 resets
        {1, {1, 1, -1}, {0}},            // miss
        {0, {1, 1, 0}, {3}},             // hit: 0 has just come out, 3 waits longest now
    };
    for (const auto& row : script) {
        SCOPED_TRACE("spin " + std::to_string(row.spin));
        play(row.spin);
        expectSequence(row.expected);
        EXPECT_EQ(lit(), row.lit);
    }
}

// Four misses per step up, two hits per step down, "+ Init. Bet", at most four
// numbers: 18 misses lose 4x1 + 4x4 + 4x9 + 4x16 + 2x20 = 160, and a hit at
// k 4, s 5 wins 36x5 - 4x5 = 160, bringing the result to exactly 0.
TEST_F(Sequential, ResetRulesTellZeroFromProfit) {
    const struct {
        int rule;
        SeqState afterFirstHit;
        SeqState afterSecondHit;
    } cases[] = {{0, {1, 1, 0}, {1, 1, 0}}, {1, {4, 5, 0}, {1, 1, 0}}, {2, {4, 5, 0}, {3, 4, 160}}};
    tracker.setProgression(1);
    tracker.typeSettingText(vantel::SpinSetting::IncreaseTill, "4");
    tracker.typeSettingText(vantel::SpinSetting::MCount, "4");
    tracker.typeSettingText(vantel::SpinSetting::WCount, "2");
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE("reset rule " + std::to_string(c.rule));
        tracker.setMode3Reset(c.rule);
        tracker.Reset_BetsClick();
        expectSequence({1, 1, 0});
        for (int i = 0; i < 18; ++i)
            miss();
        expectSequence({4, 5, -160});
        hit();
        expectSequence(c.afterFirstHit);
        hit();
        expectSequence(c.afterSecondHit);
    }
}

TEST_F(Sequential, DoubleAndPlusInitialBetStepUpAndDownButNeverBelowTheInitialBet) {
    const struct {
        int progression;
        SeqState steps[5]; // after miss, miss, hit, hit, hit
    } cases[] = {
        {0, {{2, 6, -3}, {3, 12, -15}, {2, 6, 381}, {1, 3, 585}, {1, 3, 690}}},
        {1, {{2, 6, -3}, {3, 9, -15}, {2, 6, 282}, {1, 3, 486}, {1, 3, 591}}},
    };
    tracker.setMode3Reset(2);
    tracker.typeSettingText(vantel::SpinSetting::MCount, "1");
    tracker.typeSettingText(vantel::SpinSetting::InitialBet, "3");
    start();
    for (const auto& c : cases) {
        tracker.setProgression(c.progression);
        tracker.Reset_BetsClick();
        expectSequence({1, 3, 0});
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE("progression " + std::to_string(c.progression) + ", step " +
                         std::to_string(i + 1));
            i < 2 ? miss() : hit();
            expectSequence(c.steps[i]);
        }
    }
}

TEST_F(Sequential, IncreaseTillCapsTheCountAndSoDoesTheLimitOf18) {
    tracker.setMode3Reset(2);
    tracker.setProgression(1);
    tracker.typeSettingText(vantel::SpinSetting::MCount, "1");
    start();
    for (auto [till, cap] : {std::pair{"3", 3}, std::pair{"30", 18}}) {
        SCOPED_TRACE(std::string("Increase_Till ") + till);
        tracker.typeSettingText(vantel::SpinSetting::IncreaseTill, till);
        tracker.Reset_BetsClick();
        for (int i = 1; i <= 20; ++i) {
            miss();
            EXPECT_EQ(st().Sequential_Count, std::min(i + 1, cap)) << "miss " << i;
        }
        EXPECT_EQ(lit().size(), static_cast<size_t>(cap));
        EXPECT_EQ(tracker.Prediction_List.count(), cap);
    }
}

// ---- Recovery after a failed spin ----

TEST_F(Analyses, TheTableEndErrorUnlocksWithTheProgressionStartedOver) {
    tracker.typeSettingText(vantel::SpinSetting::InitialBet, "3");
    collect();
    play(5);
    for (int i = 0; i < 17; ++i)
        miss();
    ASSERT_EQ(tracker.betText(), "393216");
    EXPECT_FALSE(driver.spin(missNumber()));
    EXPECT_EQ(driver.errors(), std::vector<std::string>{"'' is not a valid integer value"});
    EXPECT_FALSE(tracker.buttonsLocked());
    EXPECT_EQ(tracker.betText(), "3");
    EXPECT_EQ(st().Progression_Index, 0);

    miss();
    expectDrawByThirds();
    EXPECT_EQ(lit(), predicted());
    EXPECT_FALSE(tracker.buttonsLocked());
    miss();
    EXPECT_EQ(tracker.betText(), "6");
    EXPECT_EQ(driver.errors().size(), 1u);
}

} // namespace
