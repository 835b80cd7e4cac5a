#pragma once

// The exact risk of a set of settings on a fair single-zero wheel. A lit
// suggestion is hit with probability (lit numbers) / 37 on every spin whatever
// came before (the draws are the tracker's, the spin is the wheel's), so a
// session is a Markov chain over the tracker's progression state and the net
// result; this computes the chain's distribution spin by spin instead of
// sampling sessions. No Qt.
#include "engine.h"
#include "report.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vantel::sim {

// How far the computation may grow before it gives up: the entries (a
// progression state with one net result) and the states held for one spin,
// and the entries visited over the whole session. The defaults keep it
// within about half a gigabyte and a few seconds.
struct ExactLimits {
    uint64_t maxEntries = 4'000'000;
    uint64_t maxStates = 400'000;
    uint64_t maxWork = 150'000'000;
    // The states visited by the pass that follows the runs of lit misses,
    // each far dearer than an entry: about half a second where the money
    // takes a tenth (Martingale fits for the 4,000 spins its money reaches).
    uint64_t maxRunsWork = 1'200'000;
    // Where Donald's row can end a session (the table's end, the table
    // limit) for fewer sessions than this, the runs pass counts them as if
    // they played on instead of following the row: no figure moves by more.
    double negligibleStops = 1e-15;
};

// The longest run of lit misses is counted up to this many; longer runs fall
// into the last bucket ("this many or more").
constexpr int kRunBuckets = 48;

// The figures of an exact computation that the sampled report has no room for.
struct ExactFigures {
    // endingAtSpin[e][t]: the probability that a session ends with ending e at
    // spin t (1-based; index 0 unused). A stop for the bankroll or the table
    // limit comes before spin t is played; the stake table's end after it.
    std::array<std::vector<double>, kEndingCount> endingAtSpin;
    std::array<double, kEndingCount> ending{};
    // The final net result: each possible value with its probability, in order.
    std::vector<std::pair<int64_t, double>> net;
    double lowestProbability = 0;
    double highestProbability = 0;
    // Expectations per session.
    double spins = 0;
    double betSpins = 0;
    double hits = 0;
    double litNumbers = 0;
    double staked = 0;
    double returned = 0; // E[net] + E[staked], from the distribution of the net
    // longestRun[r]: the probability that the longest run of lit misses of a
    // session is r; the last entry is kRunBuckets or more. Empty when it was
    // not computed (see runsNote).
    std::vector<double> longestRun;
    std::string runsNote;
    // The largest outlay any session can place and the probability that a
    // session places it.
    int64_t largestOutlay = 0;
    double largestOutlayProbability = 0;
    // Martingale's drawdown follows from the longest run; the other systems'
    // is not computed (drawdownKnown false).
    bool drawdownKnown = false;
    // Size of the computation: the most entries held for one spin, and all
    // entries visited.
    uint64_t peakEntries = 0;
    uint64_t work = 0;
};

struct ExactResult {
    // False when the state space outgrew the limits or the run was cancelled:
    // then only `reason` says anything, and the settings need Monte Carlo.
    bool exact = false;
    bool cancelled = false;
    std::string reason; // one line
    Report report;      // the figures of summarize(), exact (intervals of width 0)
    ExactFigures figures;
};

// The exact distribution of a session of config.spins spins of the wheel with
// config.settings, config.bankroll and config.tableLimit (config.sessions,
// seed, threads and the spin interval play no part; config.recorded must be
// empty: recorded spins are no fair wheel). The bands of report follow
// config.pathPoints as summarize()'s do. Once *cancel is set the computation
// stops within a spin and returns cancelled. *progress, when given, follows
// the computation as it goes.
struct ExactProgress;
ExactResult exactRisk(const Config& config, const std::atomic<bool>* cancel = nullptr,
                      const ExactLimits& limits = {}, ExactProgress* progress = nullptr);

// How far an exact computation has come, read from another thread: the
// figures take up to three passes over the session (the money; the largest
// outlay, for a table limit or a bankroll; the longest run of lit misses),
// each spin by spin up to the session's spins.
struct ExactProgress {
    static constexpr int kPasses = 3;
    std::atomic<int> pass{0}; // 1 to kPasses; 0 before the first
    std::atomic<uint64_t> spin{0};
};

// The lines of an exact result that the report does not print: when each
// ending happens, the longest run of lit misses, the extremes' probabilities.
std::string formatExactFigures(const Config& config, const ExactResult& result);

// A probability as the figures write it: "below 1e-308" where the double ran
// out, never 0 for a net that can happen.
std::string probabilityText(double p);

} // namespace vantel::sim
