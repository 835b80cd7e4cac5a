#include "tracker_fixture.h"

#include <algorithm>
#include <string>
#include <vector>

using vantel::NumberList;

namespace {

// The Sequential mode books what a player following the window places: the
// stake in Bet on every lit number. Each test below once went wrong.
class SequentialBooking : public vantel::testing::TrackerFixture {
  protected:
    struct Sequence {
        int32_t count;
        int64_t stake;
        int64_t result;
    };
    void expectSequence(const Sequence& e) {
        EXPECT_EQ(st().Sequential_Count, e.count);
        EXPECT_EQ(st().Sequential_Stake, e.stake);
        EXPECT_EQ(st().Sequential_Result, e.result);
        EXPECT_EQ(tracker.betText(), std::to_string(e.stake));
    }
    // Four recorded spins, then the first Sequential analysis.
    void startSequential() {
        tracker.setGameMode(2);
        collect();
        play(14);
    }
};

TEST_F(SequentialBooking, TheFirstSwitchStartsFreshAndBooksNothingForTheMode1Draw) {
    collect();
    play(5);
    ASSERT_EQ(st().Bet_Active, 1);
    tracker.setGameMode(2);
    miss();
    expectSequence({1, 1, 0});
    EXPECT_EQ(st().Sequential_Miss_Run, 0);
    // The second miss of the sequence's own draws is the first step up.
    miss();
    expectSequence({1, 1, -1});
    miss();
    expectSequence({2, 2, -2});
}

TEST_F(SequentialBooking, ComingBackToSequentialShowsTheSequenceStakeInBet) {
    startSequential();
    tracker.setGameMode(0);
    miss();
    miss();
    tracker.setSafeLevel(10); // the last Mode1 draw stays dark, so Bet_Active is 0
    miss();
    ASSERT_EQ(tracker.betText(), "8");
    ASSERT_EQ(st().Bet_Active, 0);
    tracker.setSafeLevel(0);
    tracker.setGameMode(2);
    miss();
    EXPECT_EQ(tracker.betText(), std::to_string(st().Sequential_Stake));
    EXPECT_EQ(lit().size(), static_cast<size_t>(st().Sequential_Count));
}

TEST_F(SequentialBooking, ALoweredIncreaseTillCapsFromTheNextAnalysis) {
    tracker.setMode3Reset(2);
    tracker.typeSettingText(vantel::SpinSetting::MCount, "1");
    tracker.typeSettingText(vantel::SpinSetting::WCount, "3");
    startSequential();
    for (int i = 0; i < 4; ++i)
        miss();
    ASSERT_EQ(lit().size(), 5u);
    tracker.typeSettingText(vantel::SpinSetting::IncreaseTill, "3");
    hit(); // one hit of three: the sequence does not step
    EXPECT_EQ(st().Sequential_Count, 3);
    EXPECT_EQ(lit().size(), 3u);
    EXPECT_EQ(tracker.Prediction_List.count(), 3);
}

TEST_F(SequentialBooking, DrawsLeftDarkBySafeLevelNeitherBookNorStep) {
    tracker.setMode3Reset(2);
    tracker.typeSettingText(vantel::SpinSetting::MCount, "1");
    startSequential();
    tracker.setSafeLevel(10);
    miss(); // books the lit draw of the first analysis; the next draws stay dark
    expectSequence({2, 2, -1});
    for (int i = 0; i < 4; ++i) {
        miss();
        ASSERT_TRUE(lit().empty());
    }
    expectSequence({2, 2, -1});
    EXPECT_EQ(st().Sequential_Miss_Run, 0);
}

TEST_F(SequentialBooking, AStepPastTheLargestTableStakeStartsTheSequenceOver) {
    tracker.setMode3Reset(2);
    tracker.typeSettingText(vantel::SpinSetting::MCount, "1");
    tracker.typeSettingText(vantel::SpinSetting::InitialBet, "3");
    startSequential();
    int64_t result = 0;
    for (int i = 1; i <= 17; ++i) {
        result -= st().Sequential_Count * st().Sequential_Stake;
        miss();
        ASSERT_EQ(st().Sequential_Stake, int64_t{3} << i) << "miss " << i;
    }
    expectSequence({18, 393216, result});
    miss();
    expectSequence({1, 3, 0});
    for (int i = 0; i < 70; ++i) {
        miss();
        ASSERT_LE(st().Sequential_Stake, 393216) << "miss " << i;
        ASSERT_GE(st().Sequential_Stake, 3);
        ASSERT_GE(st().Sequential_Result, -18 * 2 * 393216);
    }
}

TEST_F(SequentialBooking, LongestWaitingFollowsEverySpinOfTheRecord) {
    const struct {
        std::vector<int> mode1Spins; // entered before Sequential is chosen
        std::vector<int> sequentialSpins;
        std::vector<int> waitedLongest; // after the never-seen numbers
    } cases[] = {
        {{}, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
        {{0, 1, 2, 3, 4}, {5}, {0, 1, 2, 3, 4, 5}},
        {{}, {7, 7, 3, 9, 3}, {7, 9, 3}},
        {{20, 21, 22, 23, 24, 20}, {21}, {22, 23, 24, 20, 21}},
    };
    for (const auto& c : cases) {
        vantel::Tracker seq;
        seq.clock().fixCalendar(1700000000);
        vantel::HeadlessDriver play{seq};
        for (int n : c.mode1Spins) {
            ASSERT_TRUE(play.spin(n));
            play.runUntilIdle();
        }
        seq.setGameMode(2);
        for (int n : c.sequentialSpins) {
            ASSERT_TRUE(play.spin(n));
            play.runUntilIdle();
        }
        NumberList expected;
        for (int n = 0; n <= 36; ++n)
            if (std::find(c.waitedLongest.begin(), c.waitedLongest.end(), n) ==
                c.waitedLongest.end())
                expected.append(n);
        for (int n : c.waitedLongest)
            expected.append(n);
        EXPECT_EQ(seq.Sequential_Numbers_Cur.values(), expected.values());
        EXPECT_EQ(seq.Prediction_List.values(), std::vector<int>{expected.values()[0]});
    }
}

TEST_F(SequentialBooking, AResetWhileNumbersAreLitBooksWhatIsLitAtTheNewStake) {
    const struct {
        bool hit;
        int64_t result;
    } cases[] = {{false, -6}, {true, 36 - 6}};
    tracker.setMode3Reset(2);
    tracker.typeSettingText(vantel::SpinSetting::MCount, "1");
    startSequential();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hit ? "hit" : "miss");
        while (lit().size() < 6)
            miss();
        tracker.Reset_BetsClick();
        expectSequence({1, 1, 0});
        ASSERT_EQ(lit().size(), 6u);
        c.hit ? hit() : miss();
        EXPECT_EQ(st().Sequential_Result, c.result);
    }
}

TEST_F(SequentialBooking, AfterTheTableEndEachSystemStartsOverAndFailsOnlyAtItsEndAgain) {
    const struct {
        const char* system;
        int rows; // misses that reach the table's last row
        const char* lastStake;
        const char* afterOneMiss;
    } cases[] = {{"Martingale", 17, "262144", "4"}, {"Donald", 999, "2000", "4"}};
    tracker.typeSettingText(vantel::SpinSetting::InitialBet, "2");
    collect();
    play(5);
    size_t errors = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.system);
        tracker.setBettingSystem(c.system);
        tracker.Reset_BetsClick();
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < c.rows; ++i)
                miss();
            ASSERT_EQ(tracker.betText(), c.lastStake);
            EXPECT_FALSE(driver.spin(missNumber()));
            EXPECT_EQ(driver.errors().size(), ++errors);
            EXPECT_FALSE(tracker.buttonsLocked());
            EXPECT_EQ(st().Progression_Index, 0);
            EXPECT_EQ(tracker.betText(), "2");
            // The spin after the error is not bet on; the one after it steps from row 0.
            miss();
            EXPECT_EQ(lit(), predicted());
            EXPECT_EQ(tracker.betText(), "2");
            miss();
            EXPECT_EQ(tracker.betText(), c.afterOneMiss);
            EXPECT_EQ(driver.errors().size(), errors);
            tracker.Reset_BetsClick();
        }
    }
}

TEST_F(SequentialBooking, HeadlessSettingsStayInTheirControlsRanges) {
    tracker.setSafeLevel(11);
    EXPECT_EQ(tracker.settings().safeLevel, 10);
    tracker.setSafeLevel(-1);
    EXPECT_EQ(tracker.settings().safeLevel, 0);
    const struct {
        void (vantel::Tracker::*set)(int);
        int vantel::Settings::*get;
        int items; // the list's items are indexed 0 .. items - 1
    } selections[] = {{&vantel::Tracker::setGameMode, &vantel::Settings::gameMode, 3},
                      {&vantel::Tracker::setMode3Reset, &vantel::Settings::mode3Reset, 3},
                      {&vantel::Tracker::setProgression, &vantel::Settings::progression, 2}};
    for (const auto& s : selections) {
        for (int index : {s.items, -1, 1000}) {
            (tracker.*s.set)(1);
            (tracker.*s.set)(index);
            EXPECT_EQ(tracker.settings().*s.get, 1) << "index " << index;
        }
    }
    tracker.setBettingSystem("Donald");
    tracker.setBettingSystem("Fibonacci");
    EXPECT_EQ(tracker.settings().bettingSystem, "Donald");
}

TEST_F(SequentialBooking, ATypedIncreaseTillOutsideItsRangeStillCoversOneToEighteen) {
    tracker.setMode3Reset(2);
    tracker.typeSettingText(vantel::SpinSetting::MCount, "1");
    startSequential();
    for (const char* till : {"0", "-4", "99"}) {
        SCOPED_TRACE(std::string("Increase_Till ") + till);
        tracker.typeSettingText(vantel::SpinSetting::IncreaseTill, till);
        tracker.Reset_BetsClick();
        for (int i = 0; i < 20; ++i) {
            miss();
            ASSERT_GE(st().Sequential_Count, 1);
            ASSERT_LE(st().Sequential_Count, 18);
            ASSERT_EQ(lit().size(), static_cast<size_t>(st().Sequential_Count));
        }
    }
}

} // namespace
