#include "tracker_fixture.h"

#include <string>

using vantel::kColourBlack;
using vantel::kColourGreen;
using vantel::kColourMaroon;
using vantel::kColourNearBlack;
using vantel::NumberList;

namespace {

using SpinEntry = vantel::testing::TrackerFixture;

TEST_F(SpinEntry, TheFirstFourSpinsAreOnlyRecordedAndShown) {
    for (int n : {0, 7, 7, 36}) {
        ASSERT_TRUE(driver.spin(n));
        EXPECT_FALSE(tracker.buttonsLocked());
        EXPECT_FALSE(anyTimerOn());
    }
    EXPECT_EQ(tracker.NumbersList, NumberList::of({0, 7, 7, 36}));
    EXPECT_EQ(tracker.historyText(1), "36");
    EXPECT_EQ(tracker.historyText(4), "0");
    EXPECT_TRUE(lit().empty());
    EXPECT_EQ(st().Loss_Streak, -1);
}

TEST_F(SpinEntry, EachNumberEntersItself) {
    for (int n = 0; n <= 36; ++n) {
        tracker.numberClick(n);
        driver.runUntilIdle();
        EXPECT_EQ(tracker.NumbersList.get(n), std::to_string(n));
    }
    EXPECT_EQ(tracker.NumbersList.count(), 37);
}

TEST_F(SpinEntry, AfterElevenSpinsTheLastCellShowsTheSecond) {
    const int spins[] = {1, 2, 3, 4, 5, 6, 8, 8, 10, 11, 12};
    for (int n : spins)
        play(n);
    for (int cell = 1; cell <= 10; ++cell)
        EXPECT_EQ(tracker.historyText(cell), std::to_string(spins[11 - cell])) << "cell " << cell;
}

TEST_F(SpinEntry, HistoryCellsCarryTheColourOfTheirNumberAsTheyMove) {
    play(0);
    for (int cell = 2; cell <= 10; ++cell) {
        EXPECT_EQ(tracker.historyText(cell), "");
        EXPECT_EQ(tracker.historyColour(cell), kColourBlack);
    }
    for (int n : {19, 10, 28, 36})
        play(n);
    const struct {
        const char* text;
        uint32_t colour;
    } cells[] = {{"36", kColourMaroon}, {"28", kColourNearBlack}, {"10", kColourNearBlack},
                 {"19", kColourMaroon}, {"0", kColourGreen},      {"", kColourBlack}};
    for (int cell = 1; cell <= 6; ++cell) {
        EXPECT_EQ(tracker.historyText(cell), cells[cell - 1].text) << "cell " << cell;
        EXPECT_EQ(tracker.historyColour(cell), cells[cell - 1].colour) << "cell " << cell;
    }
}

} // namespace
