#include "wheel_stats.h"

#include <algorithm>

namespace vantel::sim {

namespace {

constexpr std::array<int, kWheelPockets> pocketTable() {
    std::array<int, kWheelPockets> pocket{};
    for (int i = 0; i < kWheelPockets; ++i)
        pocket[static_cast<size_t>(kWheelOrder[static_cast<size_t>(i)])] = i;
    return pocket;
}
constexpr std::array<int, kWheelPockets> kPocketOf = pocketTable();

struct Run {
    int first; // pocket
    int size;
};

struct SectorRule {
    const char* name;
    const char* pockets;
    Run runs[2];
};

// Each sector as runs of pockets in wheel order; together they cover the
// wheel once.
constexpr SectorRule kSectorRules[kSectors] = {
    {"Around zero", "22 to 25", {{28, 17}, {0, 0}}},
    {"Opposite zero", "27 to 33", {{11, 12}, {0, 0}}},
    {"Between them", "17 to 6, 1 to 9", {{8, 3}, {23, 5}}},
};

size_t at(int pocket) {
    return static_cast<size_t>(((pocket % kWheelPockets) + kWheelPockets) % kWheelPockets);
}

} // namespace

int pocketOf(int number) {
    return number >= 0 && number < kWheelPockets ? kPocketOf[static_cast<size_t>(number)] : -1;
}

int wheelDistance(int from, int to) {
    const int a = pocketOf(from), b = pocketOf(to);
    if (a < 0 || b < 0) return -1;
    const int d = a > b ? a - b : b - a;
    return std::min(d, kWheelPockets - d);
}

double fairDistanceShare(int distance) {
    if (distance < 0 || distance > kLongestDistance) return 0;
    return (distance == 0 ? 1.0 : 2.0) / kWheelPockets;
}

std::vector<int> sectorNumbers(int sector) {
    std::vector<int> numbers;
    if (sector < 0 || sector >= kSectors) return numbers;
    for (const Run& run : kSectorRules[sector].runs)
        for (int i = 0; i < run.size; ++i)
            numbers.push_back(kWheelOrder[at(run.first + i)]);
    return numbers;
}

int arcFirstPocket(int arc) {
    return static_cast<int>(at(arc * kWheelPockets / kArcs - kArcCentredPocket));
}

int arcSize(int arc) {
    return (arc + 1) * kWheelPockets / kArcs - arc * kWheelPockets / kArcs;
}

void WheelTally::push(int number) {
    const int pocket = pocketOf(number);
    if (pocket >= 0) {
        ++m_counts[static_cast<size_t>(pocket)];
        ++m_spins;
        if (!m_numbers.empty() && m_numbers.back() >= 0) {
            const int d = wheelDistance(m_numbers.back(), number);
            ++m_distances[static_cast<size_t>(d)];
            ++m_transitions;
        }
    }
    m_numbers.push_back(static_cast<int8_t>(pocket >= 0 ? number : -1));
}

void WheelTally::pop() {
    if (m_numbers.empty()) return;
    const int number = m_numbers.back();
    m_numbers.pop_back();
    if (number < 0) return;
    --m_counts[static_cast<size_t>(pocketOf(number))];
    --m_spins;
    if (!m_numbers.empty() && m_numbers.back() >= 0) {
        const int d = wheelDistance(m_numbers.back(), number);
        --m_distances[static_cast<size_t>(d)];
        --m_transitions;
    }
}

void WheelTally::follow(const std::vector<EnteredSpin>& spins) {
    const auto sameAs = [](int8_t kept, const EnteredSpin& spin) {
        return kept == (pocketOf(spin.number) >= 0 ? spin.number : -1);
    };
    const size_t common = std::min(m_numbers.size(), spins.size());
    size_t same = 0;
    while (same < common && sameAs(m_numbers[same], spins[same]))
        ++same;
    while (m_numbers.size() > same)
        pop();
    for (size_t i = same; i < spins.size(); ++i)
        push(spins[i].number);
}

WheelStats wheelStatsOfCounts(const std::array<uint64_t, kWheelPockets>& pocketCounts,
                              const std::array<uint64_t, kDistanceClasses>& distanceCounts) {
    WheelStats s;
    for (uint64_t c : pocketCounts)
        s.spins += c;
    s.pocketCounts = pocketCounts;
    const double spins = static_cast<double>(s.spins);
    s.expectedPerPocket = spins / kWheelPockets;

    for (int i = 0; i < kSectors; ++i) {
        const SectorRule& rule = kSectorRules[i];
        WheelSector& sector = s.sectors[static_cast<size_t>(i)];
        sector.name = rule.name;
        sector.pockets = rule.pockets;
        for (const Run& run : rule.runs) {
            sector.size += run.size;
            for (int k = 0; k < run.size; ++k)
                sector.count += pocketCounts[at(run.first + k)];
        }
        sector.expected = spins * sector.size / kWheelPockets;
    }

    for (int a = 0; a < kArcs; ++a) {
        const int first = arcFirstPocket(a);
        for (int k = 0; k < arcSize(a); ++k)
            s.arcCounts[static_cast<size_t>(a)] += pocketCounts[at(first + k)];
        s.arcExpected[static_cast<size_t>(a)] = spins * arcSize(a) / kWheelPockets;
    }
    if (s.spins >= kSpinsForFairnessTest) {
        ArcTest t;
        for (int a = 0; a < kArcs; ++a) {
            const double d = static_cast<double>(s.arcCounts[static_cast<size_t>(a)]) -
                             s.arcExpected[static_cast<size_t>(a)];
            t.chiSquare += d * d / s.arcExpected[static_cast<size_t>(a)];
        }
        t.pValue = chiSquareUpperTail(t.chiSquare, t.degreesOfFreedom);
        t.reading = fairnessReading(t.pValue);
        s.arcs = t;
    }

    uint64_t distanceSum = 0;
    for (int d = 0; d < kDistanceClasses; ++d) {
        s.distances += distanceCounts[static_cast<size_t>(d)];
        distanceSum += distanceCounts[static_cast<size_t>(d)] * static_cast<uint64_t>(d);
    }
    s.distanceCounts = distanceCounts;
    const double transitions = static_cast<double>(s.distances);
    for (int d = 0; d < kDistanceClasses; ++d)
        s.distanceExpected[static_cast<size_t>(d)] = transitions * fairDistanceShare(d);
    if (s.distances > 0) s.meanDistance = static_cast<double>(distanceSum) / transitions;
    if (s.distances >= kDistancesForTest) {
        DistanceTest t;
        for (int d = 0; d < kDistanceClasses; ++d) {
            const double off = static_cast<double>(distanceCounts[static_cast<size_t>(d)]) -
                               s.distanceExpected[static_cast<size_t>(d)];
            t.chiSquare += off * off / s.distanceExpected[static_cast<size_t>(d)];
        }
        t.pValue = chiSquareUpperTail(t.chiSquare, t.degreesOfFreedom);
        t.reading = fairnessReading(t.pValue);
        s.distanceTest = t;
    }
    return s;
}

WheelStats WheelTally::stats() const {
    WheelStats s = wheelStatsOfCounts(m_counts, m_distances);
    for (auto it = m_numbers.rbegin(); it != m_numbers.rend() && s.recent.size() < kRecentSpins;
         ++it)
        if (*it >= 0) s.recent.push_back(*it);
    return s;
}

WheelStats wheelStats(const std::vector<int>& numbers) {
    WheelTally tally;
    for (int n : numbers)
        tally.push(n);
    return tally.stats();
}

} // namespace vantel::sim
