#include "tracker_fixture.h"

#include <chrono>
#include <iostream>
#include <random>
#include <vector>

namespace {

using LongRun = vantel::testing::TrackerFixture;

// Ten thousand random spins in Mode1 with Martingale. The clock follows the
// virtual time, so draws differ from second to second yet every run is the
// same. Half the spins avoid the suggestion, so long losing runs are common.
// The stake must double after every miss that follows a lit draw; at the end
// of the table the spin fails with the conversion error, the window recovers,
// and the player presses "Reset".
TEST_F(LongRun, TenThousandSpinsKeepEveryInvariant) {
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<int> board(0, 36);
    std::bernoulli_distribution avoid(0.5);
    const auto started = std::chrono::steady_clock::now();

    int64_t hits = 0;
    int misses = 0; // misses in a row since the stake was last at row 0
    bool betActive = false;
    int expectedErrors = 0;
    for (int spin = 1; spin <= 10000; ++spin) {
        int n = board(random);
        if (avoid(random))
            while (tracker.Prediction_List.indexOf(std::to_string(n)) >= 0)
                n = board(random);
        const bool evaluated = spin >= 5;
        const bool isHit = tracker.Prediction_List.indexOf(std::to_string(n)) >= 0;
        if (evaluated && isHit) ++hits;
        bool tableEnd = false;
        if (evaluated && betActive) {
            misses = isHit ? 0 : misses + 1;
            tableEnd = misses == 18;
            betActive = false;
        }

        ASSERT_EQ(driver.spin(n), !tableEnd) << "spin " << spin;
        driver.runUntilIdle();
        ASSERT_FALSE(tracker.buttonsLocked()) << "spin " << spin;
        ASSERT_FALSE(anyTimerOn());
        ASSERT_EQ(st().Balance2_Value, 100000 + 36 * hits);
        if (tableEnd) {
            ++expectedErrors;
            ASSERT_EQ(driver.errors().back(), "'' is not a valid integer value");
            tracker.Reset_BetsClick();
            misses = 0;
            continue;
        }
        ASSERT_EQ(tracker.betText(), std::to_string(int64_t{1} << misses)) << "spin " << spin;
        if (!evaluated) continue;

        betActive = true;
        expectDrawByThirds();
        ASSERT_EQ(lit(), predicted());
        ASSERT_FALSE(HasFailure()) << "spin " << spin;
    }

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "10000 spins took " << seconds << " s (" << expectedErrors << " table ends)\n";
    EXPECT_GT(expectedErrors, 0);
    EXPECT_EQ(driver.errors().size(), static_cast<size_t>(expectedErrors));
    EXPECT_EQ(tracker.NumbersList.count(), 10000);
    EXPECT_LT(seconds, 20.0);
}

} // namespace
