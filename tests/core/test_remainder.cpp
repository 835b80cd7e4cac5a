// The remainder the draw picks with, against the division it replaces: every
// divisor of the table and some beyond it, at the edges of each and at random.
#include "remainder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

TEST(Remainder, EqualsTheDivisionsRemainderForEveryNonNegative32BitValue) {
    std::mt19937 random(99);
    for (int c = 1; c <= vantel::kTabledDivisors + 40; ++c) {
        std::vector<int32_t> xs = {0,
                                   1,
                                   c - 1,
                                   c,
                                   c + 1,
                                   2 * c - 1,
                                   INT32_MAX,
                                   INT32_MAX - 1,
                                   INT32_MAX - c,
                                   INT32_MAX / c * c,
                                   INT32_MAX / c * c - 1};
        for (int i = 0; i < 2000; ++i)
            xs.push_back(static_cast<int32_t>(random() & 0x7FFFFFFF));
        for (int32_t x : xs)
            ASSERT_EQ(vantel::remainderOf(x, c), x % c) << x << " % " << c;
    }
}

} // namespace
