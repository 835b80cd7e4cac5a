#include "tracker_fixture.h"

using vantel::NumberList;
using vantel::TimerId;

namespace {

using ModeStep = vantel::testing::TrackerFixture;

TEST_F(ModeStep, TheFifthSpinInMode1LocksJudgesAgainstNothingAndStartsADraw) {
    collect();
    ASSERT_TRUE(driver.spin(17));
    EXPECT_TRUE(items.buttonsLocked());
    EXPECT_EQ(st().Loss_Streak, 0);
    EXPECT_EQ(st().Last_Win, 0);
    EXPECT_EQ(st().Balance_Value, 100000);
    EXPECT_EQ(st().Balance2_Value, 100000);
    EXPECT_EQ(items.betText(), "1");
    EXPECT_TRUE(items.timerEnabled(TimerId::Classic));
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
        items.setGameMode(c.mode);
        ASSERT_TRUE(driver.spin(17));
        EXPECT_TRUE(items.buttonsLocked());
        for (TimerId id : vantel::kTrackerTimers)
            EXPECT_EQ(items.timerEnabled(id), id == c.timer);
        driver.runUntilIdle();
        EXPECT_FALSE(items.buttonsLocked());
    }
}

TEST_F(ModeStep, SequentialCopiesItsListOnlyOnTheFirstStep) {
    collect();
    items.setGameMode(2);
    play(3);
    NumberList expected = NumberList::range(0, 36);
    expected.remove(3);
    expected.append(3);
    EXPECT_EQ(tracker.Sequential_Numbers_Cur, expected);
    play(7);
    expected.remove(expected.indexOf("7"));
    expected.append(7);
    EXPECT_EQ(tracker.Sequential_Numbers_Cur, expected);

    // Leaving the mode and coming back keeps the list as it was left.
    items.setGameMode(0);
    play(20);
    items.setGameMode(2);
    play(4);
    expected.remove(expected.indexOf("4"));
    expected.append(4);
    EXPECT_EQ(tracker.Sequential_Numbers_Cur, expected);
}

} // namespace
