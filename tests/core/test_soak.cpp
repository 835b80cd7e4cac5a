#include "outlay.h"
#include "tracker_fixture.h"

#include <algorithm>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using Soak = vantel::testing::TrackerFixture;

template <class T> const T& pick(std::mt19937& random, const std::vector<T>& from) {
    return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
}

// 200,000 seeded spins with the settings changed at random between spins, the
// typed ones included out of their range. After every spin the window must be
// usable again and what it shows must hang together; in Sequential the
// sequence's result must be what its bets placed and returned since it last
// started over.
TEST_F(Soak, RandomSettingsBetweenSpinsKeepEveryInvariant) {
    constexpr int kSpins = 200000;
    std::mt19937 random(20261208u);
    std::uniform_int_distribution<int> board(0, 36);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    const std::vector<std::string> bets = {"1",  "2",     "5", "10000", "0",
                                           "-3", "99999", "",  "x",     "$10"};
    const std::vector<std::string> tills = {"1", "2", "3", "5", "9", "18", "35", "0", "40"};
    const std::vector<std::string> runs = {"1", "2", "3", "5"};
    const std::vector<int> levels = {0, 0, 0, 0, 1, 2, 3, 10};

    int64_t booked = 0;     // the outlays and returns of the sequence since it last started
    bool ownLights = false; // the lights on the board are the sequence's own
    int errors = 0;
    int sequentialSpins = 0;
    int restarts = 0;
    for (int spin = 1; spin <= kSpins; ++spin) {
        const int changes = m_settingChanges;
        const double r = chance(random);
        if (r < 0.02)
            tracker.setGameMode(std::uniform_int_distribution<int>(0, 2)(random));
        else if (r < 0.03)
            tracker.setBettingSystem(chance(random) < 0.5 ? "Martingale" : "Donald");
        else if (r < 0.035)
            type(vantel::SpinSetting::InitialBet, pick(random, bets));
        else if (r < 0.05)
            tracker.setSafeLevel(pick(random, levels));
        else if (r < 0.055)
            tracker.setFixedMatrix(!tracker.settings().fixedMatrix);
        else if (r < 0.065)
            tracker.setMode3Reset(std::uniform_int_distribution<int>(0, 2)(random));
        else if (r < 0.075)
            tracker.setProgression(std::uniform_int_distribution<int>(0, 1)(random));
        else if (r < 0.085)
            type(vantel::SpinSetting::IncreaseTill, pick(random, tills));
        else if (r < 0.09)
            type(vantel::SpinSetting::MCount, pick(random, runs));
        else if (r < 0.095)
            type(vantel::SpinSetting::WCount, pick(random, runs));
        else if (r < 0.1)
            tracker.Reset_BetsClick();
        const bool sequential = tracker.settings().gameMode == 2;
        if (sequential && ((r >= 0.095 && r < 0.1) || m_settingChanges != changes)) booked = 0;

        // Mostly misses, so that long losing runs reach the ends of the tables.
        int n = board(random);
        const auto drawn = tracker.Prediction_List.values();
        const auto isDrawn = [&](int k) {
            return std::find(drawn.begin(), drawn.end(), k) != drawn.end();
        };
        if (!drawn.empty() && chance(random) < 0.25)
            n = drawn[std::uniform_int_distribution<size_t>(0, drawn.size() - 1)(random)];
        else
            while (isDrawn(n) && chance(random) < 0.9)
                n = board(random);

        const bool analysed = tracker.NumbersList.count() >= 4;
        const vantel::SpinOutlay outlay = vantel::spinOutlay(tracker.shown(), n);
        const bool books =
            sequential && analysed && ownLights && st().Bet_Active == 1 && outlay.staked > 0;
        const bool ok = driver.spin(n);
        driver.runUntilIdle();
        SCOPED_TRACE("spin " + std::to_string(spin));

        ASSERT_FALSE(anyTimerOn());
        ASSERT_FALSE(tracker.buttonsLocked());
        ASSERT_EQ(tracker.progressBar(), 0);
        const auto suggested = tracker.Prediction_List.values();
        const std::set<int> distinct(suggested.begin(), suggested.end());
        ASSERT_LE(suggested.size(), 18u);
        ASSERT_EQ(distinct.size(), suggested.size());
        for (int s : suggested)
            ASSERT_TRUE(s >= 0 && s <= 36) << s;
        const std::set<int> shown = lit();
        if (!ok) {
            // The table's end: the spin ended before any analysis, lights cleared.
            ++errors;
            ASSERT_EQ(driver.errors().back(), "'' is not a valid integer value");
            ASSERT_TRUE(shown.empty());
            ASSERT_FALSE(sequential);
            ASSERT_EQ(st().Progression_Index, 0);
            ownLights = false;
            continue;
        }
        if (!analysed) continue;
        if (st().Loss_Streak >= tracker.settings().safeLevel)
            ASSERT_EQ(shown, distinct);
        else
            ASSERT_TRUE(shown.empty());
        ownLights = sequential;
        if (!sequential) continue;

        ++sequentialSpins;
        const struct {
            int32_t count;
            int64_t stake;
            int64_t result;
        } seq{st().Sequential_Count, st().Sequential_Stake, st().Sequential_Result};
        const int64_t initial = tracker.readSetting(vantel::SpinSetting::InitialBet);
        const int32_t cap =
            std::clamp(tracker.readSetting(vantel::SpinSetting::IncreaseTill), 1, 18);
        ASSERT_EQ(tracker.betText(), std::to_string(seq.stake));
        ASSERT_GE(seq.count, 1);
        ASSERT_LE(seq.count, cap);
        ASSERT_EQ(suggested.size(), static_cast<size_t>(seq.count));
        ASSERT_GE(seq.stake, std::min(initial, 131072 * initial));
        ASSERT_LE(seq.stake, std::max(initial, 131072 * initial));
        if (books) booked += outlay.net();
        const int rule = tracker.settings().mode3Reset;
        const bool ruleEnds = books && ((rule == 0 && booked >= 0) || (rule == 1 && booked > 0));
        const bool fresh = seq.result == 0 && seq.count == 1 && seq.stake == initial &&
                           st().Sequential_Miss_Run == 0 && st().Sequential_Win_Run == 0;
        if (ruleEnds) {
            ASSERT_TRUE(fresh);
        }
        if (fresh && booked != 0) ++restarts;
        if (fresh) booked = 0;
        ASSERT_EQ(seq.result, booked);
    }
    std::cout << kSpins << " spins: " << sequentialSpins << " in Sequential, " << restarts
              << " sequences ended by their rule or the stake ceiling, " << errors
              << " table ends\n";
    EXPECT_EQ(tracker.NumbersList.count(), kSpins);
    EXPECT_EQ(driver.errors().size(), static_cast<size_t>(errors));
    // The run reaches what it is meant to reach.
    EXPECT_GT(errors, 0);
    EXPECT_GT(sequentialSpins, kSpins / 5);
    EXPECT_GT(restarts, 0);
}

} // namespace
