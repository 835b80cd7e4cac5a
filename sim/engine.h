#pragma once

#include "settings.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantel::sim {

// The window's settings a session plays with (core/settings.h).
using Settings = vantel::Settings;

// How many sessions of how many spins a backtest plays.
inline constexpr RangeSetting kSessions{
    {"Sessions", "--sessions", "Sessions to play"}, 1, 1000000, 10000};
inline constexpr RangeSetting kSpins{
    {"Spins", "--spins", "Spins per session (default 1000; with --spins-file, the whole file)"},
    1,
    1000000,
    1000};

// A backtest: how many sessions of how many spins, where the spins come from,
// and when a player stops early.
struct Config {
    Settings settings;
    uint64_t sessions = static_cast<uint64_t>(kSessions.defaultValue);
    // per session; a recorded list is played up to its end
    uint64_t spins = static_cast<uint64_t>(kSpins.defaultValue);
    uint64_t seed = 1;
    unsigned threads = 1;
    // Recorded spins, replayed from the first in every session; empty: the
    // seeded wheel.
    std::vector<int> recorded;
    std::optional<int64_t> bankroll;   // the player stops when it cannot cover the next outlay
    std::optional<int64_t> tableLimit; // highest stake the table takes on one number
    int64_t spinIntervalMs = 45000;    // a live table's pace
    // Points of each session's net result to keep (at evenly spaced spins),
    // for the bands of a chart; 0 keeps none.
    int pathPoints = 0;
};

enum class Ending { AllSpins, StakeTableEnd, Bankroll, TableLimit };
constexpr int kEndingCount = 4;
const char* endingName(Ending e);

struct SessionResult {
    int64_t net = 0;
    int64_t staked = 0;
    int64_t returned = 0;
    int64_t drawdown = 0;      // deepest fall below the best net result so far
    int64_t largestOutlay = 0; // most placed on one spin
    uint64_t spins = 0;        // spins entered
    Ending ending = Ending::AllSpins;
    uint64_t betSpins = 0;   // spins with a stake on lit numbers
    uint64_t hits = 0;       // of those, spins that came out on a lit number
    uint64_t litNumbers = 0; // lit numbers summed over the bet spins
    // Sums over bet spins of staked^2, staked*returned, returned^2, for the
    // interval of the return to player.
    double sxx = 0;
    double sxy = 0;
    double syy = 0;
    std::vector<int64_t> path; // net result after each kept spin
};

// The spins a session plays: config.spins, or fewer when the recorded file
// holds fewer.
uint64_t spinsPerSession(const Config& config);

// The spins a session plays with the path points kept: index j holds the
// spin count after which point j is taken.
std::vector<uint64_t> pathSpins(const Config& config);

// Plays one session through the tracker, as a player following the window.
// A cancel flag, when given, is looked at every few hundred spins; once set,
// the session ends where it is.
SessionResult playSession(const Config& config, uint64_t index,
                          const std::atomic<bool>* cancel = nullptr);

// How far a run has come: the spins played, and the spins settled, which
// counts the spins a session that stopped early will never play as done, so
// that a finished run has settled sessions x spinsPerSession.
struct RunProgress {
    uint64_t played = 0;
    uint64_t settled = 0;
};

// Plays every session, spread over config.threads threads, and returns the
// results in session order. progress is called from the calling thread about
// ten times a second while the run lasts, and once at its end. Once *cancel
// is set the run stops within a few milliseconds and returns no results.
std::vector<SessionResult>
runSessionsTracked(const Config& config, const std::function<void(const RunProgress&)>& progress,
                   const std::atomic<bool>* cancel = nullptr);
// The same with the progress in spins settled.
std::vector<SessionResult> runSessions(const Config& config,
                                       const std::function<void(uint64_t)>& progress = {},
                                       const std::atomic<bool>* cancel = nullptr);

} // namespace vantel::sim
