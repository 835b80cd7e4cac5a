// The seeded wheel: the same numbers from the same seed on every platform,
// every number equally likely, sessions seeded apart.
#include "wheel.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>

namespace vantel::sim {
namespace {

TEST(Wheel, FirstOutputsOfSeedZeroAreTheReferenceXoshiroSequence) {
    // splitmix64 from 0 fills the state; these are xoshiro256**'s first words
    // from it, computed independently of this implementation.
    uint64_t s = 0;
    EXPECT_EQ(splitmix64(s), 0xE220A8397B1DCDAFull);
    EXPECT_EQ(splitmix64(s), 0x6E789E6AA1B965F4ull);
    Wheel wheel(0);
    EXPECT_EQ(wheel.next(), 0x99EC5F36CB75F2B4ull);
    EXPECT_EQ(wheel.next(), 0xBF6E1F784956452Aull);
    EXPECT_EQ(wheel.next(), 0x1A5F849D4933E6E0ull);
}

TEST(Wheel, FirstSpinsOfSeedZeroAreFixed) {
    Wheel wheel(0);
    for (int expected : {6, 35, 10, 31, 26, 2, 27, 14, 35, 8})
        EXPECT_EQ(wheel.spin(), expected);
}

TEST(Wheel, SpinsStayOnTheWheelAndEveryNumberComesOutAsOftenWithinChance) {
    Wheel wheel(12345);
    std::array<int, 37> counts{};
    const int n = 370000;
    for (int i = 0; i < n; ++i) {
        const int v = wheel.spin();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 36);
        ++counts[static_cast<size_t>(v)];
    }
    double chi2 = 0;
    for (int c : counts)
        chi2 += (c - n / 37.0) * (c - n / 37.0) / (n / 37.0);
    // 36 degrees of freedom: above 67 has a chance below 0.1 %.
    EXPECT_LT(chi2, 67.0);
}

TEST(Wheel, BelowAHugeBoundStaysBelowIt) {
    Wheel wheel(3);
    const uint64_t bound = (uint64_t{1} << 63) + 12345;
    int high = 0;
    for (int i = 0; i < 10000; ++i) {
        const uint64_t v = wheel.below(bound);
        ASSERT_LT(v, bound);
        if (v >= bound / 2) ++high;
    }
    EXPECT_NEAR(high, 5000, 300);
}

TEST(Wheel, SessionSeedsDifferBySessionAndBySeed) {
    std::set<uint64_t> seen;
    for (uint64_t seed : {0ull, 1ull, 2ull})
        for (uint64_t i = 0; i < 1000; ++i)
            seen.insert(sessionSeed(seed, i));
    EXPECT_EQ(seen.size(), 3000u);
    EXPECT_EQ(sessionSeed(7, 11), sessionSeed(7, 11));
}

} // namespace
} // namespace vantel::sim
