#pragma once

#include "tracker_shown.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vantel {

// What a player following the window places on a spin: the stake shown in Bet
// on every number lit when the spin is entered. A hit on a lit number returns
// 36 times that stake. Nothing lit, or no stake shown, means nothing placed.
struct SpinOutlay {
    int64_t stake = 0;    // per lit number
    int lit = 0;          // numbers covered
    int64_t staked = 0;   // stake x lit
    int64_t returned = 0; // 36 x stake on a hit, else 0
    bool hit = false;     // the spin came out on a lit number

    int64_t net() const;
};

// The stake a Bet text shows: its decimal value, or nothing for a text that
// is not a whole non-negative number (the empty text past a table's end).
std::optional<int64_t> stakeOfText(const std::string& text);

// The outlay of spin n, read from what the tracker shows before the spin is
// entered.
SpinOutlay spinOutlay(const TrackerShown& shown, int n);

} // namespace vantel
