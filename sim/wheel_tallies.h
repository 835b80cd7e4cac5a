#pragma once

// What a wheel's figures need from its spins, kept as running tallies: the
// count of each number and of each wheel distance between consecutive spins
// of one night. Tallies of nights add up to a wheel's, so a journal of a
// million spins gives its figures without reading its spins again.
#include "wheel_stats.h"

#include <array>
#include <cstdint>

namespace vantel::sim {

struct WheelTallies {
    std::int64_t spins = 0;
    std::array<std::int64_t, kWheelPockets> counts{};       // by number 0..36
    std::array<std::int64_t, kDistanceClasses> distances{}; // 0..18, within a night

    // Adds one spin of a night; previous is the night's spin before it, or -1
    // for the night's first spin (no distance then).
    void add(int previous, int number) {
        ++spins;
        ++counts[static_cast<std::size_t>(number)];
        if (previous >= 0) ++distances[static_cast<std::size_t>(wheelDistance(previous, number))];
    }
    WheelTallies& operator+=(const WheelTallies& other) {
        spins += other.spins;
        for (std::size_t i = 0; i < counts.size(); ++i)
            counts[i] += other.counts[i];
        for (std::size_t i = 0; i < distances.size(); ++i)
            distances[i] += other.distances[i];
        return *this;
    }
};

} // namespace vantel::sim
