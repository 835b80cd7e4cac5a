// The exact risk of a setting: against hand-derived sessions of a few spins,
// against closed forms (the run-length recursion, the stake chain of
// Martingale and Donald, 36/37), and against sessions played through the
// tracker itself, every figure within four standard errors.
#include "exact.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

namespace vantel::sim {
namespace {

constexpr double kHit = 18.0 / 37.0;
constexpr double kMiss = 19.0 / 37.0;

Config settingsOf(int mode, const char* system, uint64_t spins) {
    Config c;
    c.settings.gameMode = mode;
    c.settings.bettingSystem = system;
    c.spins = spins;
    return c;
}

ExactResult exactOf(const Config& c) {
    ExactResult r = exactRisk(c);
    EXPECT_TRUE(r.exact) << r.reason;
    return r;
}

double probabilityOfNet(const ExactResult& r, int64_t net) {
    for (const auto& [v, p] : r.figures.net)
        if (v == net) return p;
    return 0;
}

size_t index(Ending e) {
    return static_cast<size_t>(e);
}

// ---- Sessions of a few spins, followed by hand ----

struct FewSpins {
    const char* what;
    int mode;
    int safeLevel;
    uint64_t spins;
    double staked;
    double betSpins;
};

TEST(Exact, TheFirstFourSpinsAreRecordedTheFifthJudgedWithoutStakeAndTheSafeLevelGates) {
    const FewSpins cases[] = {
        {"four spins", 0, 0, 4, 0, 0},
        {"the fifth has nothing to judge", 0, 0, 5, 0, 0},
        {"the sixth carries the first stake", 0, 0, 6, 18, 1},
        {"a miss doubles", 0, 0, 7, 18 + 18 * kHit + 36 * kMiss, 2},
        {"Mode2 the same", 1, 0, 7, 18 + 18 * kHit + 36 * kMiss, 2},
        {"safe level 1: lit after a miss", 0, 1, 7, 18 * kMiss, kMiss},
        {"safe level 2: after two", 0, 2, 8, 18 * kMiss * kMiss, kMiss * kMiss},
        {"safe level 2, one spin short", 0, 2, 7, 0, 0},
        {"Sequential: one number at the initial bet", 2, 0, 6, 1, 1},
    };
    for (const FewSpins& c : cases) {
        Config config = settingsOf(c.mode, "Martingale", c.spins);
        config.settings.safeLevel = c.safeLevel;
        const ExactResult r = exactOf(config);
        EXPECT_NEAR(r.figures.staked, c.staked, 1e-12) << c.what;
        EXPECT_NEAR(r.figures.betSpins, c.betSpins, 1e-12) << c.what;
        EXPECT_NEAR(r.figures.spins, static_cast<double>(c.spins), 1e-12) << c.what;
    }
}

TEST(Exact, OneStakedSpinGivesTheTwoOutcomesOfTheWheel) {
    const ExactResult mode1 = exactOf(settingsOf(0, "Martingale", 6));
    ASSERT_EQ(mode1.figures.net.size(), 2u);
    EXPECT_NEAR(probabilityOfNet(mode1, -18), kMiss, 1e-15);
    EXPECT_NEAR(probabilityOfNet(mode1, 18), kHit, 1e-15);
    EXPECT_EQ(mode1.report.netMin, -18);
    EXPECT_EQ(mode1.report.netMax, 18);

    const ExactResult sequential = exactOf(settingsOf(2, "Martingale", 6));
    EXPECT_NEAR(probabilityOfNet(sequential, 35), 1.0 / 37, 1e-15);
    EXPECT_NEAR(probabilityOfNet(sequential, -1), 36.0 / 37, 1e-15);
}

TEST(Exact, EighteenLitMissesEndTheStakeTableAtTheirSpin) {
    // Spin 6 carries the first stake, so spin 23 is the 18th.
    const ExactResult at22 = exactOf(settingsOf(0, "Martingale", 22));
    EXPECT_EQ(at22.figures.ending[index(Ending::StakeTableEnd)], 0);
    const ExactResult at23 = exactOf(settingsOf(0, "Martingale", 23));
    EXPECT_NEAR(at23.figures.ending[index(Ending::StakeTableEnd)], std::pow(kMiss, 18), 1e-18);
    EXPECT_NEAR(at23.figures.endingAtSpin[index(Ending::StakeTableEnd)][23], std::pow(kMiss, 18),
                1e-18);
    EXPECT_EQ(at23.report.largestOutlay, 18 * 131072);
    EXPECT_EQ(at23.report.netMin, -18 * ((int64_t{1} << 18) - 1));
    EXPECT_NEAR(at23.figures.largestOutlayProbability, std::pow(kMiss, 17), 1e-18);
}

TEST(Exact, TheBankrollAndTheTableLimitStopBeforeTheOutlayTheyCannotTake) {
    // Spin 6 stakes 18 (1 a number); after a miss spin 7 would stake 36 (2).
    struct Case {
        std::optional<int64_t> bankroll, tableLimit;
        Ending ending;
        double probability;
    };
    const Case cases[] = {
        {50, std::nullopt, Ending::Bankroll, kMiss}, // 36 > 50 - 18
        {54, std::nullopt, Ending::Bankroll, 0},     // 36 <= 54 - 18
        {17, std::nullopt, Ending::Bankroll, 1},     // not even the first
        {std::nullopt, 1, Ending::TableLimit, kMiss}, {std::nullopt, 2, Ending::TableLimit, 0},
    };
    for (const Case& c : cases) {
        Config config = settingsOf(0, "Martingale", 7);
        config.bankroll = c.bankroll;
        config.tableLimit = c.tableLimit;
        const ExactResult r = exactOf(config);
        EXPECT_NEAR(r.figures.ending[index(c.ending)], c.probability, 1e-15)
            << c.bankroll.value_or(0) << " " << c.tableLimit.value_or(0);
        const uint64_t spin = c.probability == 1 ? 6 : 7;
        EXPECT_NEAR(r.figures.endingAtSpin[index(c.ending)][spin], c.probability, 1e-15);
    }
}

// ---- Closed forms ----

// P(at least one run of `run` misses among n independent spins that each miss
// with probability q): the chance of no such run, followed by the length of
// the run of misses at the end.
double probabilityOfRun(int run, uint64_t n, double q) {
    std::vector<double> tail(static_cast<size_t>(run), 0.0);
    tail[0] = 1;
    for (uint64_t k = 0; k < n; ++k) {
        std::vector<double> next(tail.size(), 0.0);
        for (size_t j = 0; j < tail.size(); ++j) {
            next[0] += tail[j] * (1 - q);
            if (j + 1 < tail.size()) next[j + 1] += tail[j] * q;
        }
        tail = next;
    }
    return 1 - std::accumulate(tail.begin(), tail.end(), 0.0);
}

TEST(Exact, TheStakeTableEndsWithTheChanceOfEighteenMissesInARow) {
    for (int mode : {0, 1}) {
        for (uint64_t spins : {23u, 24u, 40u, 200u, 1000u}) {
            const ExactResult r = exactOf(settingsOf(mode, "Martingale", spins));
            // Spins 1 to 5 carry no stake.
            const double expected = probabilityOfRun(18, spins - 5, kMiss);
            EXPECT_NEAR(r.figures.ending[index(Ending::StakeTableEnd)], expected,
                        1e-9 * expected + 1e-14)
                << spins << " spins";
            // Every shorter run is counted whole: the table's end is the only stop.
            double atLeast = 1;
            for (int run = 0; run <= 18; ++run) {
                EXPECT_NEAR(atLeast, run == 0 ? 1 : probabilityOfRun(run, spins - 5, kMiss), 1e-12)
                    << spins << " spins, run " << run;
                atLeast -= r.figures.longestRun.at(static_cast<size_t>(run));
            }
        }
    }
}

// The expected stake of a session from the chain of the table's row alone:
// Martingale (to row 0 on a hit, on after a miss, ending past row 17) or
// Donald (one back, one on).
double meanStakedByRow(bool martingale, uint64_t spins, int64_t initialBet) {
    const size_t rows = martingale ? 18 : 1000;
    std::vector<double> p(rows, 0.0);
    p[0] = 1;
    double staked = 0;
    for (uint64_t t = 6; t <= spins; ++t) {
        std::vector<double> next(rows, 0.0);
        for (size_t i = 0; i < rows; ++i) {
            const double stake = martingale ? std::ldexp(1.0, static_cast<int>(i)) : i + 1.0;
            staked += p[i] * 18 * stake * static_cast<double>(initialBet);
            next[martingale ? 0 : (i == 0 ? 0 : i - 1)] += p[i] * kHit;
            if (i + 1 < rows) next[i + 1] += p[i] * kMiss;
        }
        p = next;
    }
    return staked;
}

TEST(Exact, TheMeanStakedIsThatOfTheRowChainAndReturnsThirtySixThirtySevenths) {
    struct Case {
        int mode;
        const char* system;
        uint64_t spins;
        int32_t initialBet;
    };
    const Case cases[] = {{0, "Martingale", 100, 1},
                          {1, "Martingale", 1000, 3},
                          {0, "Donald", 300, 1},
                          {1, "Donald", 60, 7},
                          {0, "Martingale", 23, 2}};
    for (const Case& c : cases) {
        Config config = settingsOf(c.mode, c.system, c.spins);
        config.settings.initialBet = c.initialBet;
        const ExactResult r = exactOf(config);
        const double staked = meanStakedByRow(c.system[0] == 'M', c.spins, c.initialBet);
        EXPECT_NEAR(r.figures.staked, staked, 1e-9 * staked) << c.system << " " << c.spins;
        EXPECT_NEAR(r.report.returnToPlayer.value, 36.0 / 37, 1e-12);
        EXPECT_NEAR(r.report.netMean, -r.figures.staked / 37, 1e-9 * staked);
        EXPECT_NEAR(r.report.hitRate.value, kHit, 1e-12);
    }
}

TEST(Exact, SequentialReturnsThirtySixThirtySeventhsAndHitsAsOftenAsItsNumbersCover) {
    Config c = settingsOf(2, "Martingale", 40);
    c.settings.mode3Reset = 1;
    c.settings.progression = 1;
    const ExactResult r = exactOf(c);
    EXPECT_NEAR(r.report.returnToPlayer.value, 36.0 / 37, 1e-12);
    EXPECT_NEAR(r.report.hitRate.value, r.report.randomHitRate, 1e-12);
    EXPECT_GT(r.figures.litNumbers, r.figures.betSpins); // it lit more than one number at times
}

TEST(Exact, AStateSpaceTooLargeSaysSoAndACancelStops) {
    ExactLimits tight;
    tight.maxEntries = 1000;
    const ExactResult big = exactRisk(settingsOf(0, "Donald", 1000), nullptr, tight);
    EXPECT_FALSE(big.exact);
    EXPECT_EQ(big.reason.find('\n'), std::string::npos);

    const std::atomic<bool> cancel{true};
    const ExactResult cancelled = exactRisk(settingsOf(0, "Martingale", 1000), &cancel);
    EXPECT_FALSE(cancelled.exact);
    EXPECT_TRUE(cancelled.cancelled);

    Config recorded = settingsOf(0, "Martingale", 10);
    recorded.recorded = {1, 2, 3};
    EXPECT_FALSE(exactRisk(recorded).exact);
}

// ---- The edges: what is out of reach is said plainly ----

TEST(Exact, ARefusalSaysInPlainWordsWhatIsOutOfReachAndWhatToChange) {
    ExactLimits tight;
    tight.maxEntries = 1000;
    Config sequential = settingsOf(2, "Martingale", 80);
    Config bankroll = settingsOf(0, "Donald", 1000);
    bankroll.bankroll = 5000;
    const struct {
        Config config;
        const char* says;
    } cases[] = {
        {settingsOf(0, "Donald", 1000), "Mode1 with Donald is computed exactly up to about "},
        {settingsOf(1, "Martingale", 5000),
         "Mode2 with Martingale is computed exactly up to about "},
        {sequential, "Sequential is computed exactly up to about "},
        {bankroll, "Mode1 with Donald and a bankroll is computed exactly up to about "},
    };
    for (const auto& c : cases) {
        const ExactResult r = exactRisk(c.config, nullptr, tight);
        ASSERT_FALSE(r.exact);
        EXPECT_EQ(r.reason.find(c.says), 0u) << r.reason;
        EXPECT_NE(r.reason.find(" spins; shorten the session or run Monte Carlo"),
                  std::string::npos)
            << r.reason;
        EXPECT_EQ(r.reason.find_first_of("()[]\n"), std::string::npos) << r.reason;
    }
    EXPECT_EQ(probabilityText(0), "below 1e-308");
    EXPECT_EQ(probabilityText(1e-320), "below 1e-308");
    EXPECT_EQ(probabilityText(0.25), "0.25");
}

TEST(Exact, DonaldsRowIsNotFollowedForTheLongestRunWhereItsStopsAreNegligible) {
    // Row 55 is above a limit of 54 only after 55 lit misses in a row: a
    // stop for (19/37)^55, about 1e-16 of sessions.
    for (uint64_t spins : {60u, 61u}) {
        Config c = settingsOf(0, "Donald", spins);
        c.tableLimit = 54;
        ExactLimits followed;
        followed.negligibleStops = 0;
        const ExactResult skipped = exactOf(c);
        const ExactResult full = exactRisk(c, nullptr, followed);
        ASSERT_TRUE(full.exact);
        const double stops = skipped.figures.ending[index(Ending::TableLimit)];
        EXPECT_GT(stops, 0);
        EXPECT_LT(stops, 1e-15);
        EXPECT_NE(skipped.figures.runsNote.find("as if they played on"), std::string::npos);
        EXPECT_EQ(full.figures.runsNote, "");
        ASSERT_EQ(skipped.figures.longestRun.size(), full.figures.longestRun.size());
        for (size_t r = 0; r < full.figures.longestRun.size(); ++r)
            EXPECT_NEAR(skipped.figures.longestRun[r], full.figures.longestRun[r], stops + 1e-17)
                << r;
    }
    // Where the row must be followed and cannot be, the note says why, at once.
    ExactLimits small;
    small.maxRunsWork = 20000;
    Config limited = settingsOf(0, "Donald", 300);
    limited.tableLimit = 20;
    const ExactResult r = exactRisk(limited, nullptr, small);
    ASSERT_TRUE(r.exact);
    EXPECT_TRUE(r.figures.longestRun.empty());
    EXPECT_EQ(r.figures.runsNote.find("not computed: following Donald's row run by run is out "
                                      "of reach past about "),
              0u)
        << r.figures.runsNote;
}

// ---- Against sessions played through the tracker ----

struct Sampled {
    std::string name;
    Config config;
};

std::vector<Sampled> crossCheckSettings() {
    std::vector<Sampled> all;
    all.reserve(16); // the settings are filled in through pointers into it
    const auto add = [&all](std::string name, int mode, const char* system, uint64_t spins) {
        all.push_back({std::move(name), settingsOf(mode, system, spins)});
        return &all.back().config;
    };
    add("Mode1 Martingale", 0, "Martingale", 200);
    // Short sessions, where the unjudged first spins weigh most.
    add("Mode2 Martingale, 9 spins", 1, "Martingale", 9);
    add("Sequential safe level 2, 12 spins", 2, "Martingale", 12)->settings.safeLevel = 2;
    add("Mode2 Martingale safe level 1 fixed matrix", 1, "Martingale", 200)->settings.safeLevel = 1;
    all.back().config.settings.fixedMatrix = true;
    Config* c = add("Mode1 Martingale safe level 3 bet 5", 0, "Martingale", 200);
    c->settings.safeLevel = 3;
    c->settings.initialBet = 5;
    add("Mode1 Donald", 0, "Donald", 200);
    add("Mode1 Martingale bankroll 400", 0, "Martingale", 200)->bankroll = 400;
    add("Mode2 Donald table limit 6", 1, "Donald", 200)->tableLimit = 6;
    c = add("Mode1 Martingale bet 2 limit 64 bankroll 1500", 0, "Martingale", 200);
    c->settings.initialBet = 2;
    c->tableLimit = 64;
    c->bankroll = 1500;
    add("Sequential", 2, "Martingale", 40);
    c = add("Sequential ONLY + / + Init. Bet / M1 W2 / till 4 / safe 1 / bankroll 30", 2,
            "Martingale", 40);
    c->settings.mode3Reset = 1;
    c->settings.progression = 1;
    c->settings.sequentialLosses = 1;
    c->settings.sequentialWins = 2;
    c->settings.increaseTill = 4;
    c->settings.safeLevel = 1;
    c->bankroll = 30;
    c = add("Sequential Manual table limit 4", 2, "Martingale", 36);
    c->settings.mode3Reset = 2;
    c->tableLimit = 4;
    return all;
}

struct Tally {
    double n = 0;
    double sum = 0;
    double squares = 0;
    void add(double v) {
        n += 1;
        sum += v;
        squares += v * v;
    }
    double mean() const { return sum / n; }
    double standardError() const {
        const double m = mean();
        return std::sqrt(std::max(0.0, squares / n - m * m) / n);
    }
};

// |sampled - exact| within four standard errors; with no spread at all the
// two must agree.
void expectWithin(const std::string& what, double sampled, double exact, double se) {
    EXPECT_LE(std::fabs(sampled - exact), 4 * se + 1e-9 * std::max(1.0, std::fabs(exact)))
        << what << ": sampled " << sampled << ", exact " << exact << ", standard error " << se;
}

void expectShare(const std::string& what, double count, double n, double p) {
    const double q = std::clamp(p, 0.0, 1.0); // sums of probabilities may pass 1 by a rounding
    expectWithin(what, count / n, q, std::sqrt(q * (1 - q) / n));
}

TEST(Exact, EveryFigureAgreesWithSessionsPlayedThroughTheTracker) {
    constexpr uint64_t kSessions = 3000;
    for (const Sampled& s : crossCheckSettings()) {
        SCOPED_TRACE(s.name);
        Config config = s.config;
        config.sessions = kSessions;
        config.threads = 2;
        config.seed = 20261209;
        const ExactResult exact = exactOf(config);
        ASSERT_TRUE(exact.exact);
        const ExactFigures& f = exact.figures;
        const std::vector<SessionResult> played = runSessions(config);
        const double n = static_cast<double>(played.size());

        std::array<double, kEndingCount> endings{};
        Tally net, staked, spins, drawdown;
        double hits = 0, betSpins = 0, lit = 0, hitSquares = 0, litSquares = 0;
        int64_t largest = 0, lowest = INT64_MAX, highest = INT64_MIN;
        double placedLargest = 0;
        for (const SessionResult& r : played) {
            endings[index(r.ending)] += 1;
            net.add(static_cast<double>(r.net));
            staked.add(static_cast<double>(r.staked));
            spins.add(static_cast<double>(r.spins));
            drawdown.add(static_cast<double>(r.drawdown));
            largest = std::max(largest, r.largestOutlay);
            lowest = std::min(lowest, r.net);
            highest = std::max(highest, r.net);
            if (r.largestOutlay == f.largestOutlay) placedLargest += 1;
            hits += static_cast<double>(r.hits);
            betSpins += static_cast<double>(r.betSpins);
            lit += static_cast<double>(r.litNumbers);
        }
        const double hitRate = exact.report.hitRate.value;
        const double litRate = exact.report.randomHitRate;
        for (const SessionResult& r : played) {
            const double b = static_cast<double>(r.betSpins);
            hitSquares += std::pow(static_cast<double>(r.hits) - hitRate * b, 2);
            litSquares += std::pow(static_cast<double>(r.litNumbers) / 37 - litRate * b, 2);
        }

        for (size_t e = 0; e < kEndingCount; ++e)
            expectShare(endingName(static_cast<Ending>(e)), endings[e], n, f.ending[e]);
        expectWithin("mean net", net.mean(), exact.report.netMean,
                     exact.report.netSd / std::sqrt(n));
        expectWithin("mean staked", staked.mean(), f.staked, staked.standardError());
        // A session short of its spins is rare: when the sample holds none,
        // the spread a session's spins can have bounds the error instead.
        const double early = 1 - f.ending[index(Ending::AllSpins)];
        expectWithin("mean spins", spins.mean(), f.spins,
                     std::max(spins.standardError(),
                              static_cast<double>(config.spins) * std::sqrt(early / n)));
        expectWithin("hit rate", hits / betSpins, hitRate, std::sqrt(hitSquares) / betSpins);
        expectWithin("random hit rate", lit / 37 / betSpins, litRate,
                     std::sqrt(litSquares) / betSpins);
        // Each percentile: the share of sessions at or below it, and below it.
        for (size_t i = 0; i < kNetPercentiles.size(); ++i) {
            const double q = exact.report.netPercentiles[i];
            double atOrBelow = 0, below = 0;
            for (const auto& [v, p] : f.net) {
                if (static_cast<double>(v) <= q) atOrBelow += p;
                if (static_cast<double>(v) < q) below += p;
            }
            EXPECT_GE(atOrBelow, kNetPercentiles[i] / 100.0 - 1e-12);
            EXPECT_LT(below, kNetPercentiles[i] / 100.0 + 1e-12);
            double sampledAtOrBelow = 0, sampledBelow = 0;
            for (const SessionResult& r : played) {
                sampledAtOrBelow += static_cast<double>(r.net) <= q;
                sampledBelow += static_cast<double>(r.net) < q;
            }
            const std::string name = "percentile " + std::to_string(kNetPercentiles[i]);
            expectShare(name + " at or below", sampledAtOrBelow, n, atOrBelow);
            expectShare(name + " below", sampledBelow, n, below);
        }
        EXPECT_GE(lowest, exact.report.netMin);
        EXPECT_LE(highest, exact.report.netMax);
        EXPECT_LE(largest, f.largestOutlay);
        expectShare("largest outlay placed", placedLargest, n, f.largestOutlayProbability);
        // The sampled return's own interval gives its standard error.
        const Estimate rtp = summarize(config, played).returnToPlayer;
        expectWithin("return to player", rtp.value, exact.report.returnToPlayer.value,
                     (rtp.high - rtp.value) / 1.959963984540054);
        if (exact.report.drawdownKnown) {
            // The longest run of lit misses, seen in the drawdown it causes;
            // its distribution gives the drawdown's spread.
            const double unit = 18.0 * config.settings.initialBet;
            double squares = 0;
            for (size_t run = 0; run < f.longestRun.size(); ++run)
                squares += f.longestRun[run] * std::pow(unit * (std::ldexp(1.0, int(run)) - 1), 2);
            const double mean = exact.report.meanDrawdown;
            expectWithin("mean drawdown", drawdown.mean(), mean,
                         std::sqrt(std::max(0.0, squares - mean * mean) / n));
            double atLeast = 1;
            for (size_t run = 0; run < f.longestRun.size(); ++run) {
                double sampled = 0;
                for (const SessionResult& r : played)
                    sampled +=
                        static_cast<double>(r.drawdown) >= unit * (std::ldexp(1.0, int(run)) - 1);
                expectShare("longest run " + std::to_string(run) + " or more", sampled, n,
                            std::max(0.0, atLeast));
                atLeast -= f.longestRun[run];
            }
        }
    }
}

} // namespace
} // namespace vantel::sim
