#include "tracker_fixture.h"

#include <algorithm>
#include <vector>

using vantel::NumberList;
using vantel::TimerId;

namespace {

using ModeStep = vantel::testing::TrackerFixture;

TEST_F(ModeStep, TheFifthSpinInMode1LocksJudgesAgainstNothingAndStartsADraw) {
    collect();
    ASSERT_TRUE(driver.spin(17));
    EXPECT_TRUE(tracker.buttonsLocked());
    EXPECT_EQ(st().Loss_Streak, 0);
    EXPECT_EQ(st().Last_Win, 0);
    EXPECT_EQ(st().Balance_Value, 100000);
    EXPECT_EQ(st().Balance2_Value, 100000);
    EXPECT_EQ(tracker.betText(), "1");
    EXPECT_TRUE(tracker.timerEnabled(TimerId::Classic));
    // No spin is entered while the window is locked.
    ASSERT_TRUE(driver.spin(4));
    EXPECT_EQ(tracker.NumbersList.count(), 5);
}

TEST_F(ModeStep, EachModeStartsOnlyItsOwnAnalysisWhichUnlocksAtItsEnd) {
    const struct {
        int mode;
        TimerId timer;
    } cases[] = {{0, TimerId::Classic}, {1, TimerId::Mode2}, {2, TimerId::Sequential}};
    collect();
    for (const auto& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        tracker.setGameMode(c.mode);
        ASSERT_TRUE(driver.spin(17));
        EXPECT_TRUE(tracker.buttonsLocked());
        for (TimerId id : vantel::kTrackerTimers)
            EXPECT_EQ(tracker.timerEnabled(id), id == c.timer);
        driver.runUntilIdle();
        EXPECT_FALSE(tracker.buttonsLocked());
    }
}

// The numbers never seen in board order, then those seen, longest ago first.
NumberList waitingOrder(const std::vector<int>& seen) {
    NumberList order;
    for (int n = 0; n <= 36; ++n)
        if (std::find(seen.begin(), seen.end(), n) == seen.end()) order.append(n);
    for (int n : seen)
        order.append(n);
    return order;
}

TEST_F(ModeStep, SequentialOrdersItsListByEverySpinOfTheRecord) {
    collect();
    tracker.setGameMode(2);
    play(3);
    EXPECT_EQ(tracker.Sequential_Numbers_Cur, waitingOrder({30, 31, 32, 33, 3}));
    play(7);
    EXPECT_EQ(tracker.Sequential_Numbers_Cur, waitingOrder({30, 31, 32, 33, 3, 7}));

    // A spin entered in another mode counts as well.
    tracker.setGameMode(0);
    play(20);
    tracker.setGameMode(2);
    play(4);
    EXPECT_EQ(tracker.Sequential_Numbers_Cur, waitingOrder({30, 31, 32, 33, 3, 7, 20, 4}));
}

} // namespace
