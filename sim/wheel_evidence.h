#pragma once

// The figures that can find a biased wheel, from its running tallies (so a
// journal of a million spins costs no more than a night): everything the
// Statistics window shows of a wheel, each pocket's z-score, the largest-count
// test, an anytime-valid e-value against the fair wheel, the posterior of the
// pockets' probabilities and how many spins each test needs to find a
// favoured pocket. No Qt.
#include "session_stats.h"
#include "wheel_stats.h"
#include "wheel_tallies.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantel::sim {

// The tallies of one night's spins, in the order they came; a number off the
// wheel is skipped and breaks the chain of distances.
WheelTallies talliesOfNight(const std::vector<int>& spins);

// The level every test here is read at, and the power the plan asks for.
constexpr double kTestLevel = 0.05;
constexpr double kPlanPower = 0.8;

// The largest of the 37 counts and the chance a fair wheel gives a largest
// count at least as high in as many spins.
struct LargestCountTest {
    int number = -1; // the lowest number with the largest count
    std::int64_t count = 0;
    double pValue = 1;
    const char* reading = "";
};

// A test martingale against the fair wheel: the mean of a Dirichlet mixture
// of all uneven wheels and a mixture of wheels with one favoured pocket.
struct EvidenceTest {
    double eValue = 1;
    double log10EValue = 0; // the e-value is shown from its logarithm when huge
    double dirichlet = 1;   // the part from all uneven wheels
    double onePocket = 1;   // the part from one favoured pocket
    const char* reading = "";
};

// The pockets' probabilities after these spins, from a uniform Dirichlet prior
// (every set of probabilities equally likely before the first spin).
struct PocketPosterior {
    double mean = 0;
    double low = 0, high = 0;   // the central 95 % interval
    double pBetterThanEven = 0; // the chance its probability is above 1/36
};

// How many spins each test needs to find one pocket `bias` more frequent than
// fair (the others equally less) with kPlanPower at kTestLevel, and each
// test's power at the spins the wheel has.
struct PlanRow {
    double bias = 0;        // 0.1 for a pocket 10 % more frequent
    double probability = 0; // (1 + bias) / 37
    std::int64_t chiSquare = 0;
    std::int64_t largest = 0;
    std::int64_t eValue = 0;
    double chiSquarePowerNow = 0;
    double largestPowerNow = 0;
    double eValuePowerNow = 0;
};

struct WheelEvidence {
    std::int64_t spins = 0;
    WheelStats wheel;                                 // the figures the wheel view shows today
    std::array<std::int64_t, kWheelPockets> counts{}; // by number 0..36
    std::optional<FairnessTest> pockets;              // the 37-count chi-square, from 37 spins
    std::array<double, kWheelPockets> z{};            // by number
    // Each distance's count against a fair wheel's, as a z-score: a repeat of
    // the same number on the next spin (distance 0) shows here on its own.
    std::array<double, kDistanceClasses> distanceZ{};
    // The same number again on the next spin, tested on its own (a dealer's
    // habit or a recording fault shows here first): the two-sided binomial
    // p-value of the repeats against 1/37 of the distances; none before
    // kDistancesForTest distances.
    std::optional<double> repeatsP;
    LargestCountTest largest;
    EvidenceTest evidence;
    std::array<PocketPosterior, kWheelPockets> posterior{}; // by number
    double pSomeBetterThanEven = 0;
    std::vector<PlanRow> plan;
};

WheelEvidence wheelEvidence(const WheelTallies& tallies);

// The p-value of the largest of `spins` fair-wheel counts reaching `count`:
// exact (the distribution of the sum of 37 truncated Poisson counts
// convolved) up to kExactLargestSpins spins; above that, where 37 times one
// pocket's tail is under 1 %, the first two terms of inclusion and exclusion,
// else the same representation with an Edgeworth expansion of the sum
// (within 4e-6 of the p-value).
constexpr std::int64_t kExactLargestSpins = 5000;
double largestCountPValue(std::int64_t spins, std::int64_t count);

// The e-value of the counts (by number), and its natural logarithm.
double evidenceLogE(const std::array<std::int64_t, kWheelPockets>& counts);

// The powers the plan is made of: the chance each test finds one pocket
// `bias` more frequent than fair in `spins` spins, at kTestLevel.
double chiSquarePower(std::int64_t spins, double bias);
double largestCountPower(std::int64_t spins, double bias);
double evidencePower(std::int64_t spins, double bias);

// What an e-value means, in a sentence for the window.
extern const char* const kEvidenceMeaning;

// The figures as `vantel-wheel stats --json` prints them, and as text.
nlohmann::json wheelStatsJson(const WheelTallies& tallies);
std::string wheelStatsText(const WheelTallies& tallies);

} // namespace vantel::sim
