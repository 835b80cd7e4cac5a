#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace vantel::testing {

// A seeded session of the core, reduced to a trace: after every spin, a 64-bit
// FNV-1a hash of everything observable (every headless item, the lit numbers,
// every working list as its text lines, reads past the end included, the
// tracker's counters and balances, the generator, the virtual clock, the
// errors raised). The hashes are chained; every kTraceStride spins the chain is
// kept with one byte of each spin's own hash, so a trace played again names the
// first spin that differs.
constexpr int kTraceStride = 100;

struct TraceCheckpoint {
    int spin = 0;         // spins played so far
    uint64_t chained = 0; // chain over all spins so far
    std::string digests;  // two hex digits per spin since the last checkpoint
};

struct TraceConfig {
    const char* name;
    uint64_t seed;
    int spins;
};
// How a failing test names its session.
inline void PrintTo(const TraceConfig& config, std::ostream* out) {
    *out << config.name;
}

// The sessions of the recorded trace: 100,000 spins in all.
const std::vector<TraceConfig>& traceConfigs();

// The trace hashes what the window shows either as a window following the
// tracker's notifications shows it (Window) or as the tracker keeps it
// (Headless, the backtest's road). Either must play the recorded trace.
enum class Road { Window, Headless };

std::vector<TraceCheckpoint> playTrace(const TraceConfig& config, Road road);

// One line per checkpoint: "name spin chained digests".
std::string formatTrace(const TraceConfig& config, const std::vector<TraceCheckpoint>& trace);

} // namespace vantel::testing
