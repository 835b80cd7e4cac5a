#include "generator.h"
#include "tracker_fixture.h"

#include <algorithm>
#include <vector>

using vantel::Generator;
using vantel::TimerId;

namespace {

TEST(Generator, SeededWithZeroYieldsTheKnownFirstFourDraws) {
    Generator g;
    g.seed(0);
    EXPECT_EQ(g.next(), 346);
    EXPECT_EQ(g.next(), 13854878);
    EXPECT_EQ(g.next(), 1621890440);
    EXPECT_EQ(g.next(), 816282396);
    // Seeding keeps the low 32 bits: (2^32 - 1) * 22695477 + 1 = 2^32 - 22695476 modulo 2^32.
    g.seed(0xFFFFFFFFu);
    EXPECT_EQ(g.state(), 4294967296ull - 22695476ull);
}

// Every tick of one calendar second reseeds alike: the first draw sets the
// interval, the second is the raw value behind every pick of the draw.
std::vector<int> drawWithinOneSecond(uint32_t second) {
    Generator g;
    g.seed(second);
    g.next();
    const auto r = static_cast<size_t>(g.next());
    std::vector<int> out;
    for (int first : {0, 13, 25}) {
        std::vector<int> pool;
        for (int n = first; n <= (first == 0 ? 12 : first + 11); ++n)
            pool.push_back(n);
        for (int i = 0; i < 6; ++i) {
            const auto index = static_cast<std::ptrdiff_t>(r % pool.size());
            out.push_back(pool[static_cast<size_t>(index)]);
            pool.erase(pool.begin() + index);
        }
    }
    return out;
}

int expectedInterval(uint32_t second) {
    Generator g;
    g.seed(second);
    const int r = g.next() % 250;
    return r < 100 ? 150 : r;
}

using ClassicDraw = vantel::testing::TrackerFixture;

TEST_F(ClassicDraw, AllPicksOfOneSecondUseOneRawValueOnTheShrinkingThirds) {
    for (int64_t second : {int64_t{0}, int64_t{4000000000}}) {
        fixClock(second);
        tracker.Analize_Classic();
        driver.runUntilIdle();
        EXPECT_EQ(tracker.Prediction_List.values(),
                  drawWithinOneSecond(static_cast<uint32_t>(second)))
            << "second " << second;
    }
}

TEST_F(ClassicDraw, TicksAdvanceTheGaugeAndUnlockOnlyAfterThe19th) {
    collect();
    ASSERT_TRUE(driver.spin(5));
    EXPECT_EQ(tracker.timerInterval(TimerId::Classic), 60);
    for (int tick = 1; tick <= 19; ++tick) {
        ASSERT_TRUE(tracker.timerEnabled(TimerId::Classic));
        tickOnce(TimerId::Classic);
        const int interval = tracker.timerInterval(TimerId::Classic);
        EXPECT_EQ(interval, expectedInterval(static_cast<uint32_t>(calendarSeconds())));
        EXPECT_TRUE(interval >= 100 && interval <= 249) << interval;
        if (tick == 19) break;
        EXPECT_EQ(tracker.progressBar(), tick);
        EXPECT_TRUE(tracker.buttonsLocked()) << "tick " << tick;
        EXPECT_EQ(lit().size(), static_cast<size_t>(tick));
    }
    EXPECT_EQ(tracker.progressBar(), 0);
    EXPECT_FALSE(tracker.buttonsLocked());
    EXPECT_FALSE(tracker.timerEnabled(TimerId::Classic));
    EXPECT_EQ(st().Classic_Step, 0);
    EXPECT_EQ(lit(), predicted());
    vantel::Snapshot over = tracker.snapshot();
    over.progressBar = 19;
    tracker.restore(over);
    EXPECT_EQ(tracker.progressBar(), 18);
}

TEST_F(ClassicDraw, ARemainderBelow100BecomesExactly150FromTheNextTickOn) {
    uint32_t second = 0;
    for (Generator g;; ++second) {
        g.seed(second);
        if (g.next() % 250 < 100) break;
    }
    fixClock(second);
    tracker.Analize_Classic();
    tickOnce(TimerId::Classic);
    EXPECT_EQ(tracker.timerInterval(TimerId::Classic), 150);
    EXPECT_EQ(driver.dueAt(TimerId::Classic), tracker.clock().now + 150);
}

TEST_F(ClassicDraw, ZeroAndTwelveCanBothBeDrawnInTheFirstThird) {
    bool zero = false;
    bool twelve = false;
    for (int64_t second = 0; second < 500 && !(zero && twelve); ++second) {
        fixClock(second);
        tracker.Analize_Classic();
        driver.runUntilIdle();
        const auto drawn = tracker.Prediction_List.values();
        zero = zero || std::count(drawn.begin(), drawn.begin() + 6, 0) == 1;
        twelve = twelve || std::count(drawn.begin(), drawn.begin() + 6, 12) == 1;
    }
    EXPECT_TRUE(zero);
    EXPECT_TRUE(twelve);
}

TEST_F(ClassicDraw, RecordsAllEighteenButLightsOnlyFromTheSafeLevelOn) {
    const struct {
        int safeLevel;
        int32_t lossStreak;
        int32_t betActiveBefore;
        bool lit;
    } cases[] = {
        {3, 2, 0, false}, {3, 2, 1, false}, {3, 3, 0, true}, {0, 0, 0, true}, {10, 9, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE("safe level " + std::to_string(c.safeLevel) + ", streak " +
                     std::to_string(c.lossStreak));
        tracker.setSafeLevel(c.safeLevel);
        tracker.state().Loss_Streak = c.lossStreak;
        tracker.state().Bet_Active = c.betActiveBefore;
        tracker.Analize_Classic();
        driver.runUntilIdle();
        EXPECT_EQ(tracker.Prediction_List.count(), 18);
        EXPECT_EQ(lit().size(), c.lit ? 18u : 0u);
        EXPECT_EQ(st().Bet_Active, c.lit ? 1 : c.betActiveBefore);
    }
}

} // namespace
