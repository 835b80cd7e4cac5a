#include "outlay.h"

#include "sat_math.h"

#include <limits>

namespace vantel {

int64_t SpinOutlay::net() const {
    return satSub(returned, staked);
}

std::optional<int64_t> stakeOfText(const std::string& text) {
    if (text.empty() || text.size() > 19) return std::nullopt;
    int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (v > (std::numeric_limits<int64_t>::max() - (c - '0')) / 10) return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::optional<int64_t> TrackerShown::stake() const {
    if (!betIsValue) return stakeOfText(betText);
    // What stakeOfText reads from the value's decimal text.
    if (betValue < 0) return std::nullopt;
    return betValue;
}

SpinOutlay spinOutlay(const TrackerShown& shown, int n) {
    SpinOutlay out;
    for (int k = 0; k <= kHighestNumber; ++k)
        if (shown.lit[static_cast<size_t>(k)]) ++out.lit;
    if (out.lit == 0) return out;
    out.stake = shown.stake().value_or(0);
    if (out.stake == 0) return out;
    out.staked = satMul(out.stake, out.lit);
    out.hit = shown.isLit(n);
    if (out.hit) out.returned = satMul(out.stake, 36);
    return out;
}

} // namespace vantel
