#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The stake tables of Mode1 and Mode2: a row's stake in initial bets. The
// tracker steps through them (`Calc_Bet`) and the exact engine follows it;
// both read these, the one home of the rows.
namespace vantel::stakes {

// Martingale: 1, 2, 4, ... 131072 (rows 0 to 17).
inline constexpr std::array<int64_t, 18> kMartingale = [] {
    std::array<int64_t, 18> rows{};
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = int64_t{1} << i;
    return rows;
}();

// Donald: 1 to 1000 (rows 0 to 999).
inline constexpr std::array<int64_t, 1000> kDonald = [] {
    std::array<int64_t, 1000> rows{};
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<int64_t>(i) + 1;
    return rows;
}();

// The last Martingale row: no stake of the tables is larger, and Sequential's
// stake starts over past it.
inline constexpr int64_t kLargest = kMartingale.back();

} // namespace vantel::stakes
