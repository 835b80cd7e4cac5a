#include "tracker_fixture.h"

#include <string>
#include <vector>

namespace {

class Stakes : public vantel::testing::TrackerFixture {
  protected:
    // Four recorded spins and the first evaluated one, whose draw is lit.
    void startLit() {
        collect();
        play(5);
        ASSERT_EQ(st().Bet_Active, 1);
    }
    void expectTableEndError() {
        try {
            tracker.numberClick(missNumber());
            FAIL() << "no error past the end of the table";
        } catch (const vantel::ConvertError& e) {
            EXPECT_STREQ(e.what(), "'' is not a valid integer value");
        }
    }
};

TEST_F(Stakes, WorkedSequencesScaleTheTableRowByTheInitialBet) {
    const struct {
        const char* system;
        const char* outcomes; // M a miss, H a hit, each after a lit draw
        std::vector<std::string> bets;
    } cases[] = {{"Martingale", "MMMH", {"10", "20", "40", "5"}},
                 {"Donald", "MMMH", {"10", "15", "20", "15"}},
                 {"Donald", "HMH", {"5", "10", "5"}}}; // a hit at row 0 stays there
    startLit();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.system) + " " + c.outcomes);
        tracker.setBettingSystem(c.system);
        type(vantel::SpinSetting::InitialBet, "5");
        EXPECT_EQ(tracker.betText(), "5");
        for (size_t i = 0; c.outcomes[i] != '\0'; ++i) {
            const int32_t balance = st().Balance_Value;
            const int32_t balance2 = st().Balance2_Value;
            c.outcomes[i] == 'H' ? hit() : miss();
            EXPECT_EQ(tracker.betText(), c.bets[i]) << "step " << i + 1;
            // A hit is worth 36 whatever the stake.
            const int won = c.outcomes[i] == 'H' ? 36 : 0;
            EXPECT_EQ(st().Balance_Value, balance + won);
            EXPECT_EQ(st().Balance2_Value, balance2 + won);
        }
        type(vantel::SpinSetting::InitialBet, "1");
    }
}

TEST_F(Stakes, MartingaleReaches131072AfterSeventeenMissesAndFailsOnTheEighteenth) {
    startLit();
    for (int i = 1; i <= 17; ++i) {
        miss();
        ASSERT_EQ(tracker.betText(), std::to_string(int64_t{1} << i)) << "miss " << i;
    }
    EXPECT_EQ(tracker.betText(), "131072");
    expectTableEndError();
    EXPECT_EQ(tracker.betText(), "");
    EXPECT_EQ(st().Bet_Active, 0);
    EXPECT_EQ(st().Progression_Index, 18);
    EXPECT_EQ(tracker.NumbersList.count(), 23);
    // The error ended the spin after the lights were cleared and before any analysis.
    EXPECT_FALSE(anyTimerOn());
    EXPECT_TRUE(lit().empty());
}

TEST_F(Stakes, AHitOnAnUnlitDrawResetsTheStreakButNotTheStake) {
    startLit();
    miss();
    miss();
    tracker.setSafeLevel(5);
    miss(); // Loss_Streak 3: the draw after it stays dark
    ASSERT_EQ(tracker.betText(), "8");
    ASSERT_TRUE(lit().empty());
    hit();
    EXPECT_EQ(st().Loss_Streak, 0);
    EXPECT_EQ(st().Last_Win, 1);
    EXPECT_EQ(st().Progression_Index, 3);
    EXPECT_EQ(tracker.betText(), "8");
}

TEST_F(Stakes, EveryChangeOfTheInitialBetResetsTheProgression) {
    startLit();
    miss();
    type(vantel::SpinSetting::InitialBet, "2");
    EXPECT_EQ(st().Progression_Index, 0);
    EXPECT_EQ(tracker.betText(), "2");
    EXPECT_EQ(st().Balance_Value, 200000);
    type(vantel::SpinSetting::InitialBet, "25");
    EXPECT_EQ(tracker.betText(), "25");
    EXPECT_EQ(st().Balance_Value, 2500000);
    EXPECT_EQ(m_settingChanges, 2);

    miss();
    type(vantel::SpinSetting::InitialBet, ""); // falls back to "1" from inside its own change
    EXPECT_EQ(tracker.settingText(vantel::SpinSetting::InitialBet), "1");
    EXPECT_EQ(m_settingChanges, 4);
    EXPECT_EQ(st().Progression_Index, 0);
    EXPECT_EQ(tracker.betText(), "1");
    EXPECT_EQ(st().Balance_Value, 100000);
    // The streak, the hit balance and the record stay.
    EXPECT_EQ(st().Loss_Streak, 2);
    EXPECT_EQ(st().Balance2_Value, 100000);
    EXPECT_EQ(tracker.NumbersList.count(), 7);
}

TEST_F(Stakes, SwitchingFromDonaldAtRow17WinsBackToRowZeroOrLosesPastTheEnd) {
    startLit();
    for (bool win : {true, false}) {
        SCOPED_TRACE(win ? "win" : "loss");
        tracker.setBettingSystem("Donald");
        for (int i = 0; i < 17; ++i)
            miss();
        ASSERT_EQ(st().Progression_Index, 17);
        ASSERT_EQ(tracker.betText(), "18");
        tracker.setBettingSystem("Martingale");
        if (win) {
            hit();
            EXPECT_EQ(st().Progression_Index, 0);
            EXPECT_EQ(tracker.betText(), "1");
        } else {
            expectTableEndError();
            EXPECT_EQ(st().Progression_Index, 18);
            EXPECT_EQ(tracker.betText(), "");
        }
    }
}

TEST_F(Stakes, HugeTypedBetsGiveExactStakesAndSaturatedBalances) {
    type(vantel::SpinSetting::InitialBet, "2000000000");
    EXPECT_EQ(tracker.betText(), "2000000000");
    EXPECT_EQ(st().Balance_Value, 2147483647);
    startLit();
    miss();
    miss();
    EXPECT_EQ(tracker.betText(), "8000000000");

    type(vantel::SpinSetting::InitialBet, "-2000000000");
    EXPECT_EQ(tracker.betText(), "-2000000000");
    EXPECT_EQ(st().Balance_Value, -2147483647 - 1);

    tracker.state().Balance_Value = 2147483640;
    tracker.state().Balance2_Value = 2147483640;
    hit();
    EXPECT_EQ(st().Balance_Value, 2147483647);
    EXPECT_EQ(st().Balance2_Value, 2147483647);
}

} // namespace
