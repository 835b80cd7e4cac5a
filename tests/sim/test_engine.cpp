// Sessions through the real tracker: money as a player following the window
// places it, the endings, and the same results whatever the thread count.
#include "engine.h"
#include "report.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantel::sim {
namespace {

// Sequential with the window's defaults lights the longest-waiting numbers,
// without any draw, so the money can be followed by hand:
//  spins 1-4 are only recorded; spin 5 (5) starts the sequence and lights 0 at 1;
//  6 (7) misses: -1;  7 (8) misses: -2, the second miss adds a number and
//  doubles the stake: 0 and 1 at 2;  8 (1) hits: -4 + 72 = +66, ahead, so the
//  sequence starts over: 0 at 1;  9 (0) hits: +35, 2 comes up next;
//  10 (2) hits: +35, 3 next;  11 (4) misses: -1.
const std::vector<int> kHandChecked = {10, 11, 12, 13, 5, 7, 8, 1, 0, 2, 4};

Config sequentialFile() {
    Config c;
    c.settings.gameMode = 2;
    c.recorded = kHandChecked;
    c.sessions = 1;
    return c;
}

TEST(Engine, HandCheckedSequentialSequenceGivesItsExactMoney) {
    const SessionResult r = playSession(sequentialFile(), 0);
    EXPECT_EQ(r.ending, Ending::AllSpins);
    EXPECT_EQ(r.spins, 11u);
    EXPECT_EQ(r.staked, 1 + 1 + 4 + 1 + 1 + 1);
    EXPECT_EQ(r.returned, 72 + 36 + 36);
    EXPECT_EQ(r.net, 135);
    EXPECT_EQ(r.drawdown, 2); // down to -2, and 136 to 135
    EXPECT_EQ(r.largestOutlay, 4);
    EXPECT_EQ(r.betSpins, 6u);
    EXPECT_EQ(r.hits, 3u); // spins 8, 9 and 10
    EXPECT_EQ(r.litNumbers, 7u);
}

TEST(Engine, HandCheckedSequenceScalesWithTheInitialBet) {
    Config c = sequentialFile();
    c.settings.initialBet = 25;
    const SessionResult r = playSession(c, 0);
    EXPECT_EQ(r.net, 135 * 25);
    EXPECT_EQ(r.largestOutlay, 4 * 25);
}

struct StopCase {
    std::optional<int64_t> bankroll;
    std::optional<int64_t> tableLimit;
    Ending ending;
    uint64_t spins;
    int64_t net;
};

TEST(Engine, APlayerStopsBeforeAnOutlayTheBankrollOrTableCannotTake) {
    // Spin 8 puts 2 on each of two numbers, 4 in all, with the net at -2.
    const StopCase cases[] = {
        {std::nullopt, std::nullopt, Ending::AllSpins, 11, 135},
        {3, std::nullopt, Ending::Bankroll, 7, -2},   // 4 > 3 - 2
        {6, std::nullopt, Ending::AllSpins, 11, 135}, // 4 <= 6 - 2
        {5, std::nullopt, Ending::Bankroll, 7, -2},   // 4 > 5 - 2
        {1, std::nullopt, Ending::Bankroll, 6, -1},   // 1 <= 1 - 0, then 1 > 1 - 1
        {std::nullopt, 1, Ending::TableLimit, 7, -2}, // 2 per number > 1
        {std::nullopt, 2, Ending::AllSpins, 11, 135},
    };
    for (const StopCase& c : cases) {
        Config config = sequentialFile();
        config.bankroll = c.bankroll;
        config.tableLimit = c.tableLimit;
        const SessionResult r = playSession(config, 0);
        EXPECT_EQ(r.ending, c.ending) << c.bankroll.value_or(0) << " " << c.tableLimit.value_or(0);
        EXPECT_EQ(r.net, c.net) << c.bankroll.value_or(0) << " " << c.tableLimit.value_or(0);
        EXPECT_EQ(r.spins, c.spins);
    }
}

TEST(Engine, TheStakeTableEndsASessionAfterItsOutlayIsPlaced) {
    // Each number comes back after all the others: Mode2's 18 most recent
    // numbers never hold the next one, so Martingale runs to row 17 and the
    // 18th lost step finds the table's end.
    Config c;
    c.settings.gameMode = 1;
    for (int round = 0; round < 4; ++round)
        for (int n = 0; n <= 36; ++n)
            c.recorded.push_back(n);
    c.spins = c.recorded.size();
    const SessionResult r = playSession(c, 0);
    EXPECT_EQ(r.ending, Ending::StakeTableEnd);
    EXPECT_LT(r.spins, c.recorded.size());
    EXPECT_EQ(r.largestOutlay, 18 * 131072);
    EXPECT_EQ(r.net, r.returned - r.staked);
}

TEST(Engine, SessionsObeyTheirStopsAndKeepConsistentMoney) {
    struct Case {
        int mode;
        const char* system;
        std::optional<int64_t> bankroll;
        std::optional<int64_t> tableLimit;
    };
    const Case cases[] = {
        {0, "Martingale", 200, std::nullopt},
        {0, "Donald", std::nullopt, 3},
        {1, "Martingale", 50, 8},
        {2, "Martingale", 100, std::nullopt},
        {2, "Donald", std::nullopt, 2},
        {0, "Martingale", std::nullopt, std::nullopt},
    };
    for (const Case& k : cases) {
        Config c;
        c.settings.gameMode = k.mode;
        c.settings.bettingSystem = k.system;
        c.bankroll = k.bankroll;
        c.tableLimit = k.tableLimit;
        c.sessions = 12;
        c.spins = 300;
        c.pathPoints = 30;
        c.threads = 2;
        const auto results = runSessions(c, {});
        ASSERT_EQ(results.size(), 12u);
        for (const SessionResult& r : results) {
            SCOPED_TRACE(std::to_string(k.mode) + k.system);
            EXPECT_EQ(r.net, r.returned - r.staked);
            EXPECT_LE(r.spins, 300u);
            if (r.ending == Ending::AllSpins) {
                EXPECT_EQ(r.spins, 300u);
            }
            EXPECT_LE(r.hits, r.betSpins);
            EXPECT_LE(r.largestOutlay, r.staked);
            ASSERT_EQ(r.path.size(), 30u);
            EXPECT_EQ(r.path.back(), r.net);
            // Never more on the table than the bankroll still holds.
            if (k.bankroll) {
                for (int64_t v : r.path)
                    EXPECT_GE(v, -*k.bankroll);
            }
            if (k.tableLimit) {
                EXPECT_LE(r.largestOutlay, *k.tableLimit * 18);
            }
        }
    }
}

TEST(Engine, TheSameSeedGivesTheSameReportWhateverTheThreads) {
    for (int mode : {0, 1, 2}) {
        Config c;
        c.settings.gameMode = mode;
        c.sessions = 24;
        c.spins = 250;
        c.seed = 99;
        c.pathPoints = 10;
        std::string first;
        std::vector<int64_t> firstNets;
        for (unsigned threads : {1u, 2u, 4u}) {
            c.threads = threads;
            const Report r = summarize(c, runSessions(c, {}));
            const std::string text = formatReport(c, r);
            if (threads == 1) {
                first = text;
                firstNets = r.finalNets;
            } else {
                EXPECT_EQ(text, first) << "mode " << mode << ", " << threads << " threads";
                EXPECT_EQ(r.finalNets, firstNets);
            }
        }
        c.seed = 100;
        EXPECT_NE(formatReport(c, summarize(c, runSessions(c, {}))), first) << "mode " << mode;
    }
}

TEST(Engine, ProgressCountsEverySpinPlayed) {
    Config c;
    c.sessions = 6;
    c.spins = 100;
    c.threads = 2;
    uint64_t last = 0;
    const auto results = runSessions(c, [&](uint64_t done) { last = done; });
    uint64_t spins = 0;
    for (const SessionResult& r : results)
        spins += r.spins;
    EXPECT_EQ(last, spins);
}

TEST(Engine, ARunWhoseSessionsStopEarlyEndsSettledAtEverySpinItsSessionsHad) {
    Config c;
    c.sessions = 40;
    c.spins = 400;
    c.threads = 2;
    c.tableLimit = 8; // most sessions stop at their fourth miss in a row
    RunProgress last;
    const auto results = runSessionsTracked(c, [&](const RunProgress& p) { last = p; });
    uint64_t played = 0, early = 0;
    for (const SessionResult& r : results) {
        played += r.spins;
        early += r.ending != Ending::AllSpins;
    }
    EXPECT_GT(early, 0u);
    EXPECT_EQ(last.played, played);
    EXPECT_EQ(last.settled, c.sessions * c.spins);
}

// A recorded file is the same in every session: an interval can only range
// over the suggestions' draws on it, and where nothing is drawn (Sequential)
// or one session is played, it has none. Playing the file more often never
// narrows an interval into a claim about a wheel.
TEST(Report, RecordedSpinsGiveIntervalsOverTheDrawsOrNone) {
    std::vector<int> file;
    for (int i = 1; i <= 300; ++i)
        file.push_back(i * 7 % 37);
    const struct {
        int mode;
        uint64_t sessions;
        Spread spread;
        const char* says;
    } cases[] = {
        {2, 1, Spread::Nothing, "Intervals      none: one session"},
        {2, 300, Spread::Nothing, "Intervals      none: every session replayed the file alike"},
        {0, 1, Spread::Nothing, "Intervals      none: one session"},
        {0, 300, Spread::Draws, "over the suggestions' draws on these 300 spins only"},
        {1, 300, Spread::Draws, "over the suggestions' draws on these 300 spins only"},
    };
    for (const auto& k : cases) {
        Config c;
        c.settings.gameMode = k.mode;
        c.recorded = file;
        c.spins = 1000;
        c.sessions = k.sessions;
        c.threads = 2;
        const Report r = summarize(c, runSessions(c));
        const std::string text = formatReport(c, r);
        SCOPED_TRACE(text);
        EXPECT_EQ(r.spread, k.spread);
        EXPECT_NE(text.find(k.says), std::string::npos);
        EXPECT_NE(text.find("Session length 300 spins a session: the file holds no more"),
                  std::string::npos);
        if (k.spread == Spread::Nothing) {
            EXPECT_EQ(r.returnToPlayer.low, r.returnToPlayer.value);
            EXPECT_EQ(r.returnToPlayer.high, r.returnToPlayer.value);
            EXPECT_EQ(r.hitRate.low, r.hitRate.high);
            EXPECT_EQ(text.find(" %  ["), std::string::npos) << "an interval is shown";
        } else {
            EXPECT_LT(r.returnToPlayer.low, r.returnToPlayer.value);
            EXPECT_GT(r.returnToPlayer.high, r.returnToPlayer.value);
        }
    }
}

TEST(Report, ARunWithNoBetSaysSoAndBoundsOfNoneOrAllAreZeroAndOne) {
    Config c;
    c.sessions = 3;
    c.spins = 4; // the first four spins are only recorded
    const std::string text = formatReport(c, summarize(c, runSessions(c)));
    EXPECT_NE(text.find("Return to player no spin was bet"), std::string::npos) << text;
    EXPECT_EQ(text.find("0.000 %  [0.000, 0.000]"), std::string::npos) << text;
    for (uint64_t n = 1; n <= 5000; ++n) {
        ASSERT_EQ(wilson(0, n).low, 0.0) << n;
        ASSERT_EQ(wilson(n, n).high, 1.0) << n;
    }
}

} // namespace
} // namespace vantel::sim
