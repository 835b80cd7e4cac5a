#include "outlay.h"

#include "headless_items.h"
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

namespace {

template <class Items> SpinOutlay outlayOf(const Items& items, int n) {
    SpinOutlay out;
    for (int k = 0; k <= kHighestNumber; ++k)
        if (items.actNumberVisible(k)) ++out.lit;
    if (out.lit == 0) return out;
    out.stake = stakeOfText(items.betText()).value_or(0);
    if (out.stake == 0) return out;
    out.staked = satMul(out.stake, out.lit);
    out.hit = n >= 0 && n <= kHighestNumber && items.actNumberVisible(n);
    if (out.hit) out.returned = satMul(out.stake, 36);
    return out;
}

} // namespace

SpinOutlay spinOutlay(const WindowItems& items, int n) {
    return outlayOf(items, n);
}

SpinOutlay spinOutlay(const HeadlessItems& items, int n) {
    return outlayOf(items, n);
}

} // namespace vantel
