#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantel {

// x % c for x >= 0 and c > 0. The draw takes remainders by the lengths of short
// lists, so for divisors up to kTabledDivisors the remainder is found by
// multiplication with a tabled reciprocal (the low 64 bits of x / c, scaled
// back by c: exact for every 32-bit x); larger divisors divide.
constexpr int kTabledDivisors = 64;

namespace detail {
inline constexpr std::array<uint64_t, kTabledDivisors + 1> kReciprocals = [] {
    std::array<uint64_t, kTabledDivisors + 1> r{};
    for (uint64_t c = 1; c <= kTabledDivisors; ++c)
        r[c] = UINT64_MAX / c + 1; // 0 for c = 1: every remainder is 0
    return r;
}();
__extension__ using Wide = unsigned __int128;
} // namespace detail

inline int remainderOf(int32_t x, int c) {
    if (c > kTabledDivisors) return x % c;
    const uint64_t fraction =
        detail::kReciprocals[static_cast<std::size_t>(c)] * static_cast<uint32_t>(x);
    return static_cast<int>((detail::Wide{fraction} * static_cast<uint32_t>(c)) >> 64);
}

} // namespace vantel
