#include "session_stats.h"

#include "board.h"
#include "sat_math.h"

#include <algorithm>
#include <cmath>

namespace vantel::sim {

namespace {

struct GroupRule {
    const char* name;
    bool (*holds)(int);
};

// Every group leaves 0 out, except green, which is 0 alone.
constexpr GroupRule kGroups[] = {
    {"Red", [](int n) { return n > 0 && isRed(n); }},
    {"Black", [](int n) { return n > 0 && !isRed(n); }},
    {"Green (0)", [](int n) { return n == 0; }},
    {"Odd", [](int n) { return n > 0 && n % 2 == 1; }},
    {"Even", [](int n) { return n > 0 && n % 2 == 0; }},
    {"1-18", [](int n) { return n >= 1 && n <= 18; }},
    {"19-36", [](int n) { return n >= 19; }},
    {"1st dozen (1-12)", [](int n) { return n >= 1 && n <= 12; }},
    {"2nd dozen (13-24)", [](int n) { return n >= 13 && n <= 24; }},
    {"3rd dozen (25-36)", [](int n) { return n >= 25; }},
    {"1st column (1, 4, ... 34)", [](int n) { return n > 0 && n % 3 == 1; }},
    {"2nd column (2, 5, ... 35)", [](int n) { return n > 0 && n % 3 == 2; }},
    {"3rd column (3, 6, ... 36)", [](int n) { return n > 0 && n % 3 == 0; }},
};

} // namespace

double chiSquareUpperTail(double x, int degreesOfFreedom) {
    if (!(x > 0)) return 1;
    // For an even number of degrees of freedom 2k the tail is the chance of
    // fewer than k events of a Poisson count with mean x / 2.
    const double half = x / 2;
    double term = std::exp(-half);
    double sum = term;
    for (int i = 1; i < degreesOfFreedom / 2; ++i) {
        term *= half / i;
        sum += term;
    }
    return std::min(1.0, sum);
}

std::optional<FairnessTest> fairnessTest(const std::array<uint64_t, kBoardNumbers>& counts) {
    uint64_t spins = 0;
    for (uint64_t c : counts)
        spins += c;
    if (spins < kSpinsForFairnessTest) return std::nullopt;
    FairnessTest t;
    const double expected = static_cast<double>(spins) / kBoardNumbers;
    for (uint64_t c : counts) {
        const double d = static_cast<double>(c) - expected;
        t.chiSquare += d * d / expected;
    }
    t.pValue = chiSquareUpperTail(t.chiSquare, t.degreesOfFreedom);
    t.reading = fairnessReading(t.pValue);
    return t;
}

const char* fairnessReading(double pValue) {
    if (pValue < 0.001) return "strongly uneven";
    if (pValue < 0.05) return "uneven; keep watching";
    return "no sign of bias";
}

SessionStats sessionStats(const std::vector<EnteredSpin>& spins) {
    SessionStats s;
    s.spins = spins.size();
    uint64_t litSum = 0;
    s.netAfterSpin.reserve(spins.size());
    for (size_t i = 0; i < spins.size(); ++i) {
        const EnteredSpin& spin = spins[i];
        if (spin.number < 0 || spin.number > kHighestNumber) continue;
        ++s.counts[static_cast<size_t>(spin.number)];
        s.since[static_cast<size_t>(spin.number)] = spins.size() - 1 - i;
        const SpinOutlay& o = spin.outlay;
        if (o.lit > 0) {
            ++s.judgedSpins;
            if (o.hit) ++s.hits;
            litSum += static_cast<uint64_t>(o.lit);
        }
        s.staked = satAdd(s.staked, o.staked);
        s.returned = satAdd(s.returned, o.returned);
        s.largestOutlay = std::max(s.largestOutlay, o.staked);
        s.netAfterSpin.push_back(satSub(s.returned, s.staked));
    }
    s.net = satSub(s.returned, s.staked);
    s.hitRate = wilson(s.hits, s.judgedSpins);
    if (s.judgedSpins > 0)
        s.randomHitRate = static_cast<double>(litSum) / (kBoardNumbers * double(s.judgedSpins));

    if (s.spins > 0) {
        const auto [low, high] = std::minmax_element(s.counts.begin(), s.counts.end());
        for (int n = 0; n <= kHighestNumber; ++n) {
            if (s.counts[static_cast<size_t>(n)] == *high) s.hottest.push_back(n);
            if (s.counts[static_cast<size_t>(n)] == *low) s.coldest.push_back(n);
        }
    }
    for (const GroupRule& rule : kGroups) {
        NumberGroup g{rule.name};
        int size = 0;
        for (int n = 0; n <= kHighestNumber; ++n) {
            if (!rule.holds(n)) continue;
            ++size;
            g.count += s.counts[static_cast<size_t>(n)];
        }
        g.expected = static_cast<double>(s.spins) * size / kBoardNumbers;
        s.groups.push_back(g);
    }
    s.fairness = fairnessTest(s.counts);
    return s;
}

std::string spinsText(const std::vector<EnteredSpin>& spins) {
    std::string text;
    for (const EnteredSpin& s : spins)
        text += std::to_string(s.number) + '\n';
    return text;
}

} // namespace vantel::sim
