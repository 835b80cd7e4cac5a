#include "report.h"

#include "sat_math.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace vantel::sim {

std::string format(const char* fmt, ...) {
    char buf[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

namespace {

constexpr double kZ95 = 1.959963984540054;

std::string percent(const Estimate& e) {
    return format("%7.3f %%  [%.3f, %.3f]", 100 * e.value, 100 * e.low, 100 * e.high);
}

// A figure that nothing varies: its value alone.
std::string percentAlone(const Estimate& e) {
    return format("%7.3f %%", 100 * e.value);
}

Estimate sure(double v) {
    return {v, v, v};
}

// The ratio sum(y) / sum(x) over sessions with its 95 % interval, the
// sessions taken as independent draws of the same experiment (the delta
// method).
Estimate ratioOverSessions(const std::vector<std::pair<double, double>>& xy) {
    double sx = 0, sy = 0;
    for (const auto& [x, y] : xy) {
        sx += x;
        sy += y;
    }
    if (sx <= 0) return {};
    const double r = sy / sx;
    const double n = static_cast<double>(xy.size());
    double squares = 0;
    for (const auto& [x, y] : xy)
        squares += (y - r * x) * (y - r * x);
    const double half = n > 1 ? kZ95 * std::sqrt(squares * n / (n - 1)) / sx : 0;
    return {r, std::max(0.0, r - half), r + half};
}

// Whether two sessions came out alike in every figure the report sums.
bool alike(const SessionResult& a, const SessionResult& b) {
    return a.net == b.net && a.staked == b.staked && a.returned == b.returned &&
           a.spins == b.spins && a.ending == b.ending && a.betSpins == b.betSpins &&
           a.hits == b.hits && a.drawdown == b.drawdown && a.path == b.path;
}

} // namespace

Estimate wilson(uint64_t k, uint64_t n) {
    if (n == 0) return {};
    const double nn = static_cast<double>(n);
    const double p = static_cast<double>(k) / nn;
    const double z2 = kZ95 * kZ95;
    const double denom = 1 + z2 / nn;
    const double centre = (p + z2 / (2 * nn)) / denom;
    const double half = kZ95 / denom * std::sqrt(p * (1 - p) / nn + z2 / (4 * nn * nn));
    // None in n, or all of them: the bound is 0 or 1 itself, not a rounding of it.
    return {p, k == 0 ? 0.0 : std::max(0.0, centre - half),
            k >= n ? 1.0 : std::min(1.0, centre + half)};
}

double percentile(const std::vector<int64_t>& sorted, double p) {
    if (sorted.empty()) return 0;
    const double h = (static_cast<double>(sorted.size()) - 1) * p / 100;
    const auto lo = static_cast<size_t>(std::floor(h));
    const size_t hi = std::min(lo + 1, sorted.size() - 1);
    const double a = static_cast<double>(sorted[lo]);
    const double b = static_cast<double>(sorted[hi]);
    return a + (h - static_cast<double>(lo)) * (b - a);
}

Report summarize(const Config& config, const std::vector<SessionResult>& sessions) {
    Report r;
    r.sessions = sessions.size();
    double sxx = 0, sxy = 0, syy = 0, drawdowns = 0;
    uint64_t litNumbers = 0;
    r.finalNets.reserve(sessions.size());
    for (const SessionResult& s : sessions) {
        r.spins += s.spins;
        r.finalNets.push_back(s.net);
        ++r.endings[static_cast<size_t>(s.ending)];
        r.staked = satAdd(r.staked, s.staked);
        r.returned = satAdd(r.returned, s.returned);
        r.betSpins += s.betSpins;
        r.hits += s.hits;
        litNumbers += s.litNumbers;
        sxx += s.sxx;
        sxy += s.sxy;
        syy += s.syy;
        drawdowns += static_cast<double>(s.drawdown);
        r.deepestDrawdown = std::max(r.deepestDrawdown, s.drawdown);
        r.largestOutlay = std::max(r.largestOutlay, s.largestOutlay);
    }
    if (r.sessions == 0) return r;
    const double n = static_cast<double>(r.sessions);

    double sum = 0;
    for (int64_t v : r.finalNets)
        sum += static_cast<double>(v);
    r.netMean = sum / n;
    double squares = 0;
    for (int64_t v : r.finalNets)
        squares += (static_cast<double>(v) - r.netMean) * (static_cast<double>(v) - r.netMean);
    r.netSd = r.sessions > 1 ? std::sqrt(squares / (n - 1)) : 0;
    std::vector<int64_t> sorted = r.finalNets;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < kNetPercentiles.size(); ++i)
        r.netPercentiles[i] = percentile(sorted, kNetPercentiles[i]);
    r.netMin = sorted.front();
    r.netMax = sorted.back();
    r.meanDrawdown = drawdowns / n;

    for (size_t e = 0; e < kEndingCount; ++e)
        r.endingRates[e] = wilson(r.endings[e], r.sessions);

    // Each spin's return minus the expected share of its stake has mean zero
    // whatever stake the progression chose, so the spins' squared deviations
    // add up to the variance of the total.
    if (r.staked > 0) {
        const double x = static_cast<double>(r.staked);
        const double rtp = static_cast<double>(r.returned) / x;
        const double var = std::max(0.0, syy - 2 * rtp * sxy + rtp * rtp * sxx);
        const double half = kZ95 * std::sqrt(var) / x;
        r.returnToPlayer = {rtp, rtp - half, rtp + half};
    }
    r.hitRate = wilson(r.hits, r.betSpins);
    if (r.betSpins > 0)
        r.randomHitRate =
            static_cast<double>(litNumbers) / (37.0 * static_cast<double>(r.betSpins));

    // Recorded spins are the same in every session: what an interval can say
    // is how the suggestions' draws vary on them, never how a wheel would.
    if (!config.recorded.empty()) {
        bool allAlike = true;
        for (const SessionResult& s : sessions)
            allAlike = allAlike && alike(s, sessions.front());
        r.spread = allAlike || r.sessions < 2 ? Spread::Nothing : Spread::Draws;
        if (r.spread == Spread::Nothing) {
            for (Estimate& e : r.endingRates)
                e = sure(e.value);
            r.returnToPlayer = sure(r.returnToPlayer.value);
            r.hitRate = sure(r.hitRate.value);
        } else {
            std::vector<std::pair<double, double>> money, hits;
            for (const SessionResult& s : sessions) {
                money.emplace_back(static_cast<double>(s.staked), static_cast<double>(s.returned));
                hits.emplace_back(static_cast<double>(s.betSpins), static_cast<double>(s.hits));
            }
            r.returnToPlayer = ratioOverSessions(money);
            r.hitRate = ratioOverSessions(hits);
            r.hitRate.high = std::min(1.0, r.hitRate.high);
        }
    }

    r.bandSpins = pathSpins(config);
    std::vector<int64_t> column(sessions.size());
    for (auto& band : r.bands)
        band.resize(r.bandSpins.size());
    r.meanPath.resize(r.bandSpins.size());
    for (size_t j = 0; j < r.bandSpins.size(); ++j) {
        double total = 0;
        for (size_t i = 0; i < sessions.size(); ++i) {
            column[i] = j < sessions[i].path.size() ? sessions[i].path[j] : sessions[i].net;
            total += static_cast<double>(column[i]);
        }
        r.meanPath[j] = total / n;
        std::sort(column.begin(), column.end());
        for (size_t b = 0; b < kBandPercentiles.size(); ++b)
            r.bands[b][j] = percentile(column, kBandPercentiles[b]);
    }
    return r;
}

namespace {

// A choice's name as a C string: the names are literals, so null-terminated.
template <size_t N> const char* nameOf(const ChoiceSetting<N>& setting, int index) {
    return setting.holds(index) ? setting.choiceName(index).data() : "";
}

} // namespace

const char* gameModeName(int index) {
    return nameOf(setting::kGameMode, index);
}

std::string formatReport(const Config& config, const Report& r) {
    const Settings& s = config.settings;
    std::string out;
    const auto line = [&out](const char* caption, const std::vector<std::string>& phrases) {
        out += caption;
        for (size_t i = 0; i < phrases.size(); ++i)
            out += (i ? ", " : "") + phrases[i];
        out += '\n';
    };
    line("Settings       ", settingPhrases(s, SettingGroup::Every));
    if (s.gameMode == setting::kSequential)
        line("Sequential     ", settingPhrases(s, SettingGroup::Sequential));
    if (r.exact)
        out += "Spins from     a fair single-zero wheel, computed exactly\n";
    else
        out += format(
            "Spins from     %s, one every %.3f s\n",
            config.recorded.empty()
                ? format("the wheel, seed %llu", static_cast<unsigned long long>(config.seed))
                      .c_str()
                : format("a file of %zu recorded spins", config.recorded.size()).c_str(),
            static_cast<double>(config.spinIntervalMs) / 1000);
    if (!config.recorded.empty() && config.spins > config.recorded.size())
        out += format("Session length %zu spins a session: the file holds no more\n",
                      config.recorded.size());
    if (!r.exact && r.spread == Spread::Nothing)
        out += r.sessions < 2
                   ? "Intervals      none: one session of the file's spins\n"
                   : "Intervals      none: every session replayed the file alike, so each rate "
                     "below is one session's\n";
    else if (!r.exact && r.spread == Spread::Draws)
        out += format("Intervals      over the suggestions' draws on these %llu spins only, not "
                      "over wheels\n",
                      static_cast<unsigned long long>(spinsPerSession(config)));
    std::string stops;
    if (config.bankroll) stops += format("bankroll %lld", static_cast<long long>(*config.bankroll));
    if (config.tableLimit)
        stops += format("%stable limit %lld", stops.empty() ? "" : ", ",
                        static_cast<long long>(*config.tableLimit));
    out += format("Stops at       %s\n", stops.empty() ? "the last spin" : stops.c_str());
    out += "\n";
    if (r.exact) {
        out += "Sessions       every session the wheel can give, by its probability\n";
        out += format("Spins played   %.3f a session on average\n", r.expectedSpins);
    } else {
        out += format("Sessions       %llu\n", static_cast<unsigned long long>(r.sessions));
        out += format("Spins played   %llu\n", static_cast<unsigned long long>(r.spins));
    }
    out += "\n";
    out += format("Net result     mean %.2f, standard deviation %.2f\n", r.netMean, r.netSd);
    out += "  percentiles ";
    for (size_t i = 0; i < kNetPercentiles.size(); ++i)
        out += format(" %d%%: %.1f", kNetPercentiles[i], r.netPercentiles[i]);
    out += "\n";
    out += format("  lowest %lld, highest %lld\n", static_cast<long long>(r.netMin),
                  static_cast<long long>(r.netMax));
    if (r.drawdownKnown)
        out += format("Drawdown       mean %.2f, deepest %lld\n", r.meanDrawdown,
                      static_cast<long long>(r.deepestDrawdown));
    else
        out += "Drawdown       not computed exactly for these settings\n";
    out += format("Largest outlay %lld on one spin\n", static_cast<long long>(r.largestOutlay));
    out += "\n";
    const bool intervals = r.exact || r.spread != Spread::Nothing;
    const auto shown = [intervals](const Estimate& e) {
        return intervals ? percent(e) : percentAlone(e);
    };
    out += r.exact                       ? "Endings        probability (exact)\n"
           : r.spread == Spread::Nothing ? "Endings        share of sessions\n"
                                         : "Endings        share of sessions, 95 % interval\n";
    for (size_t e = 0; e < kEndingCount; ++e)
        out += format("  %-20s %8s  %s\n", endingName(static_cast<Ending>(e)),
                      r.exact ? "" : std::to_string(r.endings[e]).c_str(),
                      shown(r.endingRates[e]).c_str());
    out += "\n";
    if (r.exact) {
        out += format("Staked         %.3f a session on average\n", r.expectedStaked);
        out += format("Returned       %.3f a session on average\n", r.expectedReturned);
    } else {
        out += format("Staked         %lld\n", static_cast<long long>(r.staked));
        out += format("Returned       %lld\n", static_cast<long long>(r.returned));
    }
    const bool bet = r.exact ? r.expectedBetSpins > 0 : r.betSpins > 0;
    if (!bet) {
        out += "Return to player no spin was bet\n";
        out += "Hit rate       no spin was bet\n";
        return out;
    }
    out += format("Return to player %s   (36/37 = 97.297 %%)\n", shown(r.returnToPlayer).c_str());
    out += format("Hit rate       %s   of %s spins with a stake%s; a random bet on as many "
                  "numbers: %.3f %%\n",
                  shown(r.hitRate).c_str(),
                  r.exact ? format("%.3f", r.expectedBetSpins).c_str()
                          : std::to_string(r.betSpins).c_str(),
                  r.exact ? " a session" : "", 100 * r.randomHitRate);
    return out;
}

} // namespace vantel::sim
