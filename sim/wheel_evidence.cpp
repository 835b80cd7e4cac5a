#include "wheel_evidence.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vantel::sim {

namespace {

constexpr int kPockets = kWheelPockets;
constexpr double kPi = 3.14159265358979323846;
constexpr double kBetterThanEven = 1.0 / 36; // a straight-up bet at 35 to 1 wins above it
constexpr double kEvidenceLevel = 1 / kTestLevel;
// The biases the one-pocket part of the e-value mixes, equally weighted:
// doubling from 2.5 % to 320 %, so any bias in between is within a factor
// of two of one of them.
constexpr double kOnePocketBiases[] = {0.025, 0.05, 0.1, 0.2, 0.4, 0.8, 1.6, 3.2};
constexpr int kOnePocketMix = sizeof kOnePocketBiases / sizeof kOnePocketBiases[0];
constexpr double kPlanBiases[] = {1.0 / 36, 0.1, 0.2, 0.5};

double logSumExp(double a, double b) {
    if (a == -std::numeric_limits<double>::infinity()) return b;
    if (b == -std::numeric_limits<double>::infinity()) return a;
    const double m = std::max(a, b);
    return m + std::log(std::exp(a - m) + std::exp(b - m));
}

// The first cumulants of a sum of independent variables.
struct Cumulants {
    double mean = 0, var = 0, k3 = 0, k4 = 0, k5 = 0;
    Cumulants& operator+=(const Cumulants& o) {
        mean += o.mean;
        var += o.var;
        k3 += o.k3;
        k4 += o.k4;
        k5 += o.k5;
        return *this;
    }
    Cumulants times(double n) const { return {mean * n, var * n, k3 * n, k4 * n, k5 * n}; }
};

// The cumulants of a distribution given by weights w at points x (unnormalized).
template <typename Points> Cumulants cumulantsOf(const Points& points, double mass) {
    double mean = 0;
    points([&](double x, double w) { mean += x * w; });
    mean /= mass;
    double m2 = 0, m3 = 0, m4 = 0, m5 = 0;
    points([&](double x, double w) {
        const double d = x - mean, d2 = d * d;
        m2 += d2 * w;
        m3 += d2 * d * w;
        m4 += d2 * d2 * w;
        m5 += d2 * d2 * d * w;
    });
    m2 /= mass, m3 /= mass, m4 /= mass, m5 /= mass;
    return {mean, m2, m3, m4 - 3 * m2 * m2, m5 - 10 * m3 * m2};
}

// The density (or, on the integers, the probability) of a sum with these
// cumulants at x: the Edgeworth expansion to the third order, whose error
// falls as the square of the number of spins.
double edgeworth(const Cumulants& c, double x) {
    if (!(c.var > 0)) return 0;
    const double sd = std::sqrt(c.var), z = (x - c.mean) / sd;
    const double g1 = c.k3 / (c.var * sd), g2 = c.k4 / (c.var * c.var),
                 g3 = c.k5 / (c.var * c.var * sd);
    const double z2 = z * z;
    // Hermite polynomials He3..He9.
    const double he3 = z * (z2 - 3), he4 = z2 * z2 - 6 * z2 + 3, he5 = z * (z2 * z2 - 10 * z2 + 15),
                 he6 = z2 * z2 * z2 - 15 * z2 * z2 + 45 * z2 - 15,
                 he7 = z * (z2 * z2 * z2 - 21 * z2 * z2 + 105 * z2 - 105),
                 he9 =
                     z * (z2 * z2 * z2 * z2 - 36 * z2 * z2 * z2 + 378 * z2 * z2 - 1260 * z2 + 945);
    const double series = 1 + g1 / 6 * he3 + g2 / 24 * he4 + g1 * g1 / 72 * he6 + g3 / 120 * he5 +
                          g1 * g2 / 144 * he7 + g1 * g1 * g1 / 1296 * he9;
    return std::exp(-z2 / 2) / (sd * std::sqrt(2 * kPi)) * std::max(0.0, series);
}

double logPoisson(double k, double mean) {
    return k * std::log(mean) - mean - std::lgamma(k + 1);
}

// The Poisson(mean) probabilities from `low` to `high`, through a
// recurrence from the end nearer the mode (so none underflows needlessly).
std::vector<double> poissonRun(std::int64_t low, std::int64_t high, double mean) {
    std::vector<double> p(static_cast<size_t>(std::max<std::int64_t>(0, high - low + 1)));
    if (p.empty()) return p;
    const std::int64_t start = std::clamp<std::int64_t>(static_cast<std::int64_t>(mean), low, high);
    const size_t s = static_cast<size_t>(start - low);
    p[s] = std::exp(logPoisson(static_cast<double>(start), mean));
    for (size_t i = s + 1; i < p.size(); ++i)
        p[i] = p[i - 1] * mean / static_cast<double>(low + static_cast<std::int64_t>(i));
    for (size_t i = s; i-- > 0;)
        p[i] = p[i + 1] * static_cast<double>(low + static_cast<std::int64_t>(i) + 1) / mean;
    return p;
}

// The probability that Binomial(n, p) reaches k.
double binomialUpperTail(std::int64_t n, double p, std::int64_t k) {
    if (k <= 0) return 1;
    if (k > n) return 0;
    const double mean = static_cast<double>(n) * p, q = 1 - p;
    const double logPmf = std::lgamma(double(n) + 1) - std::lgamma(double(k) + 1) -
                          std::lgamma(double(n - k) + 1) + double(k) * std::log(p) +
                          double(n - k) * std::log(q);
    double term = std::exp(logPmf), sum = 0;
    if (static_cast<double>(k) > mean) { // the upper tail, upwards from k
        for (std::int64_t j = k; j <= n && term > 0; ++j) {
            sum += term;
            term *= static_cast<double>(n - j) / static_cast<double>(j + 1) * p / q;
            if (term < sum * 1e-17) break;
        }
        return std::min(1.0, sum);
    }
    // One minus the lower tail, downwards from k - 1.
    term *= static_cast<double>(k) / static_cast<double>(n - k + 1) * q / p; // pmf(k - 1)
    for (std::int64_t j = k - 1; j >= 0 && term > 0; --j) {
        sum += term;
        term *= static_cast<double>(j) / static_cast<double>(n - j + 1) * q / p;
        if (term < sum * 1e-17) break;
    }
    return std::clamp(1 - sum, 0.0, 1.0);
}

// ---------------------------------------------------------------- largest count

// A fair wheel's count of one pocket is Poisson(spins / 37) once the number
// of spins is itself made Poisson; the counts are then independent, and
// conditioning on their sum being `spins` gives the multinomial back:
// P(every count <= a) = P(each Poisson <= a and their sum = spins) / P(sum = spins).
struct TruncatedPoisson {
    double mass = 0;         // P(X <= a)
    std::vector<double> pmf; // P(X = k) for k in [low, a]
    std::int64_t low = 0;
};

TruncatedPoisson truncatedPoisson(double mean, std::int64_t a) {
    TruncatedPoisson t;
    t.low = std::max<std::int64_t>(0, static_cast<std::int64_t>(mean - 14 * std::sqrt(mean) - 10));
    t.pmf = poissonRun(t.low, a, mean);
    for (double p : t.pmf)
        t.mass += p;
    return t;
}

// P(all 37 counts <= a) in `spins` spins.
double allAtMost(std::int64_t spins, std::int64_t a, bool exact) {
    if (a < 0) return spins == 0 ? 1 : 0;
    if (a >= spins) return 1;
    if (a * kPockets < spins) return 0;
    const double n = static_cast<double>(spins), mean = n / kPockets;
    const TruncatedPoisson t = truncatedPoisson(mean, a);
    if (t.pmf.empty() || !(t.mass > 0)) return 0;
    const double sumAtSpins = std::exp(logPoisson(n, n)); // P(sum of 37 Poissons = spins)
    if (exact) {
        // The sum's distribution, pocket by pocket, over [k low, min(k a, spins)].
        std::vector<double> sum = t.pmf;
        std::int64_t sumLow = t.low;
        for (int k = 2; k <= kPockets; ++k) {
            const std::int64_t low = sumLow + t.low;
            const std::int64_t high = std::min<std::int64_t>(k * a, spins);
            // Values below this cannot be made up to `spins` by the pockets left.
            const std::int64_t need = spins - static_cast<std::int64_t>(kPockets - k) * a;
            const std::int64_t from = std::max(low, need);
            if (from > high) return 0;
            std::vector<double> next(static_cast<size_t>(high - from + 1), 0.0);
            for (size_t i = 0; i < sum.size(); ++i) {
                if (sum[i] == 0) continue;
                const std::int64_t x = sumLow + static_cast<std::int64_t>(i);
                for (size_t j = 0; j < t.pmf.size(); ++j) {
                    const std::int64_t y = x + t.low + static_cast<std::int64_t>(j);
                    if (y < from) continue;
                    if (y > high) break;
                    next[static_cast<size_t>(y - from)] += sum[i] * t.pmf[j];
                }
            }
            sum.swap(next);
            sumLow = from;
        }
        const std::int64_t at = spins - sumLow;
        if (at < 0 || at >= static_cast<std::int64_t>(sum.size())) return 0;
        return std::min(1.0, sum[static_cast<size_t>(at)] / sumAtSpins);
    }
    const Cumulants one = cumulantsOf(
        [&](auto&& f) {
            for (size_t j = 0; j < t.pmf.size(); ++j)
                f(static_cast<double>(t.low + static_cast<std::int64_t>(j)), t.pmf[j]);
        },
        t.mass);
    // The sum of the untruncated counts is Poisson(spins), whose cumulants are
    // all `spins`: dividing by its expansion rather than its exact probability
    // cancels most of the expansion's own error, which matters in the tail.
    const Cumulants poisson{n, n, n, n, n};
    const double logAll = kPockets * std::log(t.mass);
    return std::clamp(std::exp(logAll) * edgeworth(one.times(kPockets), n) / edgeworth(poisson, n),
                      0.0, 1.0);
}

// Below this union bound the p-value is the first two terms of inclusion and
// exclusion (off by at most the third, the bound's cube / 6); above it the
// Edgeworth expansion, whose error is then far smaller than the p-value.
constexpr double kBonferroniBelow = 0.01;

double largestPValue(std::int64_t spins, std::int64_t count, bool exact) {
    if (spins <= 0 || count <= 0) return 1;
    if (count > spins) return 0;
    // The union bound, 37 times one pocket's tail, is the p-value to within its
    // own square: it is taken where that is beyond what a double keeps.
    const double one = binomialUpperTail(spins, 1.0 / kPockets, count);
    const double s1 = one * kPockets;
    if (s1 < 1e-8) return s1;
    if (!exact && s1 < kBonferroniBelow) {
        // Two pockets both reaching the count: the first's count j, then the
        // second's among the n - j spins left, where it has 1/36 each.
        const double n = static_cast<double>(spins), p = 1.0 / kPockets;
        double both = 0;
        for (std::int64_t j = count; j <= spins; ++j) {
            const double pmf = std::exp(std::lgamma(n + 1) - std::lgamma(double(j) + 1) -
                                        std::lgamma(n - double(j) + 1) + double(j) * std::log(p) +
                                        (n - double(j)) * std::log1p(-p));
            both += pmf * binomialUpperTail(spins - j, 1.0 / (kPockets - 1), count);
            if (pmf < 1e-18 * one) break;
        }
        return std::clamp(s1 - both * kPockets * (kPockets - 1) / 2, 0.0, 1.0);
    }
    return std::clamp(1 - allAtMost(spins, count - 1, exact), 0.0, 1.0);
}

// The smallest largest count that a fair wheel reaches with at most the
// level's chance in `spins` spins.
std::int64_t largestCritical(std::int64_t spins) {
    const double n = static_cast<double>(spins), mean = n / kPockets;
    // Start where each pocket's tail is the level shared out over 37.
    std::int64_t m = static_cast<std::int64_t>(mean + 3.0 * std::sqrt(mean) + 1);
    while (m > 1 && largestPValue(spins, m - 1, false) <= kTestLevel)
        --m;
    while (largestPValue(spins, m, false) > kTestLevel)
        ++m;
    return m;
}

// ---------------------------------------------------------------- e-value

double logDirichletEvidence(const std::array<std::int64_t, kPockets>& counts) {
    // The uniform Dirichlet mixture of all wheels over the fair wheel:
    // 37^n Gamma(37) prod Gamma(1 + c) / Gamma(37 + n).
    double n = 0, log = std::lgamma(double(kPockets));
    for (std::int64_t c : counts) {
        n += static_cast<double>(c);
        log += std::lgamma(static_cast<double>(c) + 1);
    }
    return log + n * std::log(double(kPockets)) - std::lgamma(kPockets + n);
}

// One pocket with (1 + b)/37 and the rest equally less, against the fair
// wheel, given that pocket's count in n spins.
double logOnePocketRatio(double count, double n, double b) {
    return count * std::log1p(b) + (n - count) * std::log1p(-b / (kPockets - 1));
}

double logOnePocketEvidence(const std::array<std::int64_t, kPockets>& counts) {
    double n = 0, most = 0;
    for (std::int64_t c : counts) {
        n += static_cast<double>(c);
        most = std::max(most, static_cast<double>(c));
    }
    // Each bias's ratios share their largest term, the largest count's: the
    // rest are summed relative to it (one exponential a pocket and bias).
    double log = -std::numeric_limits<double>::infinity();
    for (double b : kOnePocketBiases) {
        const double step = std::log1p(b) - std::log1p(-b / (kPockets - 1));
        double sum = 0;
        for (std::int64_t c : counts)
            sum += std::exp((static_cast<double>(c) - most) * step);
        log = logSumExp(log, logOnePocketRatio(most, n, b) + std::log(sum));
    }
    return log - std::log(double(kPockets) * kOnePocketMix);
}

// The count the favoured pocket needs in n spins for the one-pocket part
// alone to lift the e-value to the level (the rest only adds to it).
std::int64_t evidenceCritical(std::int64_t spins) {
    const double n = static_cast<double>(spins);
    const double target = std::log(kEvidenceLevel) + std::log(2.0 * kPockets * kOnePocketMix);
    const auto reaches = [&](std::int64_t k) {
        double log = -std::numeric_limits<double>::infinity();
        for (double b : kOnePocketBiases)
            log = logSumExp(log, logOnePocketRatio(static_cast<double>(k), n, b));
        return log >= target;
    };
    std::int64_t low = 0, high = spins + 1; // reaches(high) taken as true
    while (high - low > 1) {
        const std::int64_t mid = low + (high - low) / 2;
        (reaches(mid) ? high : low) = mid;
    }
    return high;
}

// ---------------------------------------------------------------- chi-square power

// The 37-count chi-square under one pocket b more frequent follows, for many
// spins, a noncentral chi-square with 36 degrees of freedom and
// noncentrality spins x b^2 / 36.
double chiSquareCritical() {
    static const double critical = [] {
        double low = 0, high = 200;
        for (int i = 0; i < 100; ++i) {
            const double mid = (low + high) / 2;
            (chiSquareUpperTail(mid, kHighestNumber) > kTestLevel ? low : high) = mid;
        }
        return high;
    }();
    return critical;
}

double noncentralPower(double lambda) {
    // A Poisson(lambda / 2) mixture of central chi-squares with 36 + 2j
    // degrees of freedom; each tail is the chance of fewer than 18 + j events
    // of a Poisson(critical / 2).
    const double c = chiSquareCritical() / 2, half = lambda / 2;
    double tail = chiSquareUpperTail(2 * c, kHighestNumber);
    double next = std::exp(logPoisson(kHighestNumber / 2, c)); // adds to the next tail
    double weight = std::exp(-half), power = 0;
    const int last = static_cast<int>(half + 20 * std::sqrt(half) + 40);
    for (int j = 0; j <= last; ++j) {
        power += weight * tail;
        tail = std::min(1.0, tail + next);
        next *= c / (kHighestNumber / 2 + j + 1);
        weight *= half / (j + 1);
    }
    return std::min(1.0, power);
}

// The smallest spins with at least the plan's power, by bisection on a power
// that grows with the spins.
template <typename Power> std::int64_t spinsForPower(const Power& power) {
    std::int64_t low = kPockets, high = 2 * kPockets;
    while (power(high) < kPlanPower) {
        low = high;
        high *= 2;
        if (high > (std::int64_t{1} << 40)) return high;
    }
    while (high - low > 1 && high - low > low / 1000) {
        const std::int64_t mid = low + (high - low) / 2;
        (power(mid) >= kPlanPower ? high : low) = mid;
    }
    return high;
}

// ---------------------------------------------------------------- posterior

// The regularized incomplete beta function I_x(a, b), by its continued
// fraction (modified Lentz), on the side where it converges fast.
double incompleteBeta(double a, double b, double x) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    if (x > (a + 1) / (a + b + 2)) return 1 - incompleteBeta(b, a, 1 - x);
    const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                  a * std::log(x) + b * std::log1p(-x)) /
                         a;
    constexpr double tiny = 1e-300;
    double f = 1, c = 1, d = 1 - (a + b) * x / (a + 1);
    d = 1 / (std::abs(d) < tiny ? tiny : d);
    f = d;
    for (int m = 1; m < 100000; ++m) {
        const double m2 = 2.0 * m;
        double num = m * (b - m) * x / ((a + m2 - 1) * (a + m2));
        d = 1 + num * d;
        d = 1 / (std::abs(d) < tiny ? tiny : d);
        c = 1 + num / c;
        if (std::abs(c) < tiny) c = tiny;
        f *= d * c;
        num = -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1));
        d = 1 + num * d;
        d = 1 / (std::abs(d) < tiny ? tiny : d);
        c = 1 + num / c;
        if (std::abs(c) < tiny) c = tiny;
        const double step = d * c;
        f *= step;
        if (std::abs(step - 1) < 1e-15) break;
    }
    return std::clamp(front * f, 0.0, 1.0);
}

// The q-quantile of Beta(a, b), by Newton's method from the normal guess,
// kept inside a bracket.
double betaQuantile(double a, double b, double q) {
    const double mean = a / (a + b), sd = std::sqrt(a * b / ((a + b) * (a + b) * (a + b + 1)));
    // The normal quantile of q for q = 0.025 or 0.975.
    const double z = q < 0.5 ? -1.959963984540054 : 1.959963984540054;
    double low = 0, high = 1, x = std::clamp(mean + z * sd, 1e-12, 1 - 1e-12);
    const double logNorm = std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b);
    for (int i = 0; i < 60; ++i) {
        const double f = incompleteBeta(a, b, x) - q;
        (f < 0 ? low : high) = x;
        if (std::abs(f) < 1e-13 || high - low < 1e-15) break;
        const double density = std::exp(logNorm + (a - 1) * std::log(x) + (b - 1) * std::log1p(-x));
        double next = density > 0 ? x - f / density : (low + high) / 2;
        if (!(next > low && next < high)) next = (low + high) / 2;
        x = next;
    }
    return x;
}

// The chance some pocket's probability is above c under Dirichlet(alpha):
// with independent Gamma(alpha_i) variables G_i and their sum S, the
// probabilities are G / S whatever S is, so
// P(all below c) = prod P(G_i <= c s) x f(s | all G_i <= c s) / f_S(s)
// for any s (taken as the sum of alpha); the truncated sum's density is the
// Edgeworth expansion of its cumulants, each cell's found by Simpson's rule.
double pSomeAbove(const std::array<double, kPockets>& alpha, double c) {
    double total = 0;
    for (double a : alpha)
        total += a;
    const double s = total, limit = c * s;
    double logAll = 0;
    Cumulants sum;
    constexpr int kSteps = 600; // even
    for (double a : alpha) {
        const double sd = std::sqrt(a);
        const double from = std::max(0.0, a - 14 * sd - 10);
        if (limit <= from) return 1; // this pocket is above c for certain
        const double to = std::min(limit, a + 40 * sd + 60);
        const double h = (to - from) / kSteps, logNorm = -std::lgamma(a);
        std::array<double, kSteps + 1> x{}, w{};
        double mass = 0;
        for (int i = 0; i <= kSteps; ++i) {
            x[size_t(i)] = from + h * i;
            const double density =
                x[size_t(i)] > 0
                    ? std::exp(logNorm + (a - 1) * std::log(x[size_t(i)]) - x[size_t(i)])
                    : (a == 1 ? 1.0 : 0.0);
            const double simpson = (i == 0 || i == kSteps) ? 1 : (i % 2 ? 4 : 2);
            w[size_t(i)] = density * simpson * h / 3;
            mass += w[size_t(i)];
        }
        if (!(mass > 0)) return 1;
        logAll += std::log(std::min(1.0, mass));
        sum += cumulantsOf(
            [&](auto&& f) {
                for (int i = 0; i <= kSteps; ++i)
                    f(x[size_t(i)], w[size_t(i)]);
            },
            mass);
    }
    const double logDensityS = (total - 1) * std::log(s) - s - std::lgamma(total);
    const double all = std::exp(logAll - logDensityS) * edgeworth(sum, s);
    return std::clamp(1 - all, 0.0, 1.0);
}

const char* largestReading(double p) {
    return fairnessReading(p);
}

const char* evidenceReading(double e) {
    if (e >= 100) return "strong evidence of bias";
    if (e >= kEvidenceLevel) return "evidence of bias";
    if (e >= 1) return "not enough evidence yet";
    return "leaning towards a fair wheel";
}

std::string thousands(std::int64_t v) {
    std::string digits = std::to_string(v < 0 ? -v : v), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return v < 0 ? "-" + out : out;
}

} // namespace

const char* const kEvidenceMeaning =
    "The e-value weighs these spins against a fair wheel: how many times more likely they are "
    "under an uneven wheel than under a fair one. A fair wheel's e-value ever reaches 20 at most "
    "once in 20 and 100 at most once in 100, however often you look and however long you "
    "record, so you may watch it after every spin.";

WheelTallies talliesOfNight(const std::vector<int>& spins) {
    WheelTallies t;
    int previous = -1;
    for (int n : spins) {
        if (pocketOf(n) < 0) {
            previous = -1;
            continue;
        }
        t.add(previous, n);
        previous = n;
    }
    return t;
}

double largestCountPValue(std::int64_t spins, std::int64_t count) {
    return largestPValue(spins, count, spins <= kExactLargestSpins);
}

double evidenceLogE(const std::array<std::int64_t, kWheelPockets>& counts) {
    return logSumExp(logDirichletEvidence(counts), logOnePocketEvidence(counts)) - std::log(2.0);
}

double chiSquarePower(std::int64_t spins, double bias) {
    return noncentralPower(static_cast<double>(spins) * bias * bias / (kPockets - 1));
}

double largestCountPower(std::int64_t spins, double bias) {
    if (spins <= 0) return 0;
    const std::int64_t m = largestCritical(spins);
    const double favoured = (1 + bias) / kPockets, other = (1 - favoured) / (kPockets - 1);
    // The favoured pocket reaching m, or else any other: the others taken as
    // independent (their counts are slightly negatively tied, so this errs
    // by little, on the low side).
    const double missFavoured = 1 - binomialUpperTail(spins, favoured, m);
    const double missOther = 1 - binomialUpperTail(spins, other, m);
    return 1 - missFavoured * std::pow(missOther, kPockets - 1);
}

double evidencePower(std::int64_t spins, double bias) {
    if (spins <= 0) return 0;
    return binomialUpperTail(spins, (1 + bias) / kPockets, evidenceCritical(spins));
}

WheelEvidence wheelEvidence(const WheelTallies& tallies) {
    WheelEvidence e;
    e.counts = tallies.counts;
    std::array<uint64_t, kWheelPockets> byNumber{}, byPocket{};
    std::int64_t spins = 0;
    for (int n = 0; n < kPockets; ++n) {
        const auto c = static_cast<uint64_t>(std::max<std::int64_t>(0, tallies.counts[size_t(n)]));
        byNumber[size_t(n)] = c;
        byPocket[size_t(pocketOf(n))] = c;
        spins += static_cast<std::int64_t>(c);
    }
    e.spins = spins;
    std::array<uint64_t, kDistanceClasses> distances{};
    for (size_t d = 0; d < distances.size(); ++d)
        distances[d] = static_cast<uint64_t>(std::max<std::int64_t>(0, tallies.distances[d]));
    e.wheel = wheelStatsOfCounts(byPocket, distances);
    for (size_t d = 0; d < distances.size(); ++d) {
        const double share = fairDistanceShare(int(d)), m = double(e.wheel.distances);
        const double sdDistance = std::sqrt(m * share * (1 - share));
        e.distanceZ[d] = sdDistance > 0 ? (double(distances[d]) - m * share) / sdDistance : 0;
    }
    if (e.wheel.distances >= kDistancesForTest) {
        const auto m = static_cast<std::int64_t>(e.wheel.distances);
        const auto repeats = static_cast<std::int64_t>(distances[0]);
        const double p = fairDistanceShare(0);
        const double upper = binomialUpperTail(m, p, repeats),
                     lower = 1 - binomialUpperTail(m, p, repeats + 1);
        e.repeatsP = std::min(1.0, 2 * std::min(upper, lower));
    }
    e.pockets = fairnessTest(byNumber);

    const double n = static_cast<double>(spins), p = 1.0 / kPockets;
    const double sd = std::sqrt(n * p * (1 - p));
    for (int k = 0; k < kPockets; ++k) {
        const double c = static_cast<double>(byNumber[size_t(k)]);
        e.z[size_t(k)] = sd > 0 ? (c - n * p) / sd : 0;
        if (e.largest.number < 0 || byNumber[size_t(k)] > uint64_t(e.largest.count)) {
            e.largest.number = k;
            e.largest.count = static_cast<std::int64_t>(byNumber[size_t(k)]);
        }
    }
    if (spins == 0) e.largest.number = -1; // no largest count before the first spin
    e.largest.pValue = largestCountPValue(spins, e.largest.count);
    e.largest.reading = largestReading(e.largest.pValue);

    std::array<std::int64_t, kPockets> counts{};
    for (size_t k = 0; k < counts.size(); ++k)
        counts[k] = static_cast<std::int64_t>(byNumber[k]);
    const double logDirichlet = logDirichletEvidence(counts), logOne = logOnePocketEvidence(counts);
    const double logE = logSumExp(logDirichlet, logOne) - std::log(2.0);
    e.evidence.log10EValue = logE / std::log(10.0);
    e.evidence.eValue = std::exp(std::min(logE, 700.0));
    e.evidence.dirichlet = std::exp(std::min(logDirichlet, 700.0));
    e.evidence.onePocket = std::exp(std::min(logOne, 700.0));
    e.evidence.reading = evidenceReading(e.evidence.eValue);

    std::array<double, kPockets> alpha{};
    for (int k = 0; k < kPockets; ++k) {
        const double a = 1 + static_cast<double>(byNumber[size_t(k)]), b = kPockets + n - a;
        alpha[size_t(k)] = a;
        PocketPosterior& post = e.posterior[size_t(k)];
        post.mean = a / (a + b);
        post.low = betaQuantile(a, b, 0.025);
        post.high = betaQuantile(a, b, 0.975);
        post.pBetterThanEven = 1 - incompleteBeta(a, b, kBetterThanEven);
    }
    e.pSomeBetterThanEven = pSomeAbove(alpha, kBetterThanEven);

    for (double bias : kPlanBiases) {
        PlanRow row;
        row.bias = bias;
        row.probability = (1 + bias) / kPockets;
        row.chiSquare = spinsForPower([&](std::int64_t s) { return chiSquarePower(s, bias); });
        row.largest = spinsForPower([&](std::int64_t s) { return largestCountPower(s, bias); });
        row.eValue = spinsForPower([&](std::int64_t s) { return evidencePower(s, bias); });
        row.chiSquarePowerNow = spins > 0 ? chiSquarePower(spins, bias) : 0;
        row.largestPowerNow = largestCountPower(spins, bias);
        row.eValuePowerNow = evidencePower(spins, bias);
        e.plan.push_back(row);
    }
    return e;
}

nlohmann::json wheelStatsJson(const WheelTallies& tallies) {
    const WheelEvidence e = wheelEvidence(tallies);
    using nlohmann::json;
    json j;
    j["spins"] = e.spins;
    json pockets;
    pockets["counts"] = e.counts;
    pockets["expected"] = e.wheel.expectedPerPocket;
    pockets["z"] = e.z;
    pockets["chi_square"] = e.pockets ? json(e.pockets->chiSquare) : json(nullptr);
    pockets["degrees_of_freedom"] = kHighestNumber;
    pockets["p"] = e.pockets ? json(e.pockets->pValue) : json(nullptr);
    pockets["largest"] = {
        {"number", e.largest.number >= 0 ? json(e.largest.number) : json(nullptr)},
        {"count", e.largest.count},
        {"p", e.largest.pValue},
        {"exact", e.spins <= kExactLargestSpins}};
    j["pockets"] = pockets;
    json sectors = json::array();
    for (const WheelSector& s : e.wheel.sectors)
        sectors.push_back({{"name", s.name},
                           {"pockets", s.pockets},
                           {"numbers", sectorNumbers(int(&s - e.wheel.sectors.data()))},
                           {"count", s.count},
                           {"expected", s.expected}});
    j["sectors"] = sectors;
    json arcs;
    json arcList = json::array();
    for (int a = 0; a < kArcs; ++a) {
        std::vector<int> numbers;
        for (int k = 0; k < arcSize(a); ++k)
            numbers.push_back(kWheelOrder[size_t((arcFirstPocket(a) + k) % kPockets)]);
        arcList.push_back({{"numbers", numbers},
                           {"count", e.wheel.arcCounts[size_t(a)]},
                           {"expected", e.wheel.arcExpected[size_t(a)]}});
    }
    arcs["arcs"] = arcList;
    arcs["chi_square"] = e.wheel.arcs ? json(e.wheel.arcs->chiSquare) : json(nullptr);
    arcs["degrees_of_freedom"] = kArcs - 1;
    arcs["p"] = e.wheel.arcs ? json(e.wheel.arcs->pValue) : json(nullptr);
    j["arcs"] = arcs;
    json distances;
    distances["counts"] = e.wheel.distanceCounts;
    distances["expected"] = e.wheel.distanceExpected;
    distances["z"] = e.distanceZ;
    distances["repeats"] = {{"count", e.wheel.distanceCounts[0]},
                            {"expected", e.wheel.distanceExpected[0]},
                            {"z", e.distanceZ[0]},
                            {"p", e.repeatsP ? json(*e.repeatsP) : json(nullptr)}};
    distances["mean"] = e.wheel.meanDistance;
    distances["chi_square"] =
        e.wheel.distanceTest ? json(e.wheel.distanceTest->chiSquare) : json(nullptr);
    distances["degrees_of_freedom"] = kDistanceClasses - 1;
    distances["p"] = e.wheel.distanceTest ? json(e.wheel.distanceTest->pValue) : json(nullptr);
    j["distances"] = distances;
    j["evidence"] = {{"e_value", e.evidence.eValue},      {"log10_e_value", e.evidence.log10EValue},
                     {"dirichlet", e.evidence.dirichlet}, {"one_pocket", e.evidence.onePocket},
                     {"reading", e.evidence.reading},     {"meaning", kEvidenceMeaning}};
    json posterior;
    json mean = json::array(), low = json::array(), high = json::array(), better = json::array();
    for (const PocketPosterior& p : e.posterior) {
        mean.push_back(p.mean);
        low.push_back(p.low);
        high.push_back(p.high);
        better.push_back(p.pBetterThanEven);
    }
    posterior["prior"] = "uniform Dirichlet (1 for every pocket)";
    posterior["mean"] = mean;
    posterior["low_95"] = low;
    posterior["high_95"] = high;
    posterior["p_pocket_better_than_even"] = better;
    posterior["p_better_than_even"] = e.pSomeBetterThanEven;
    j["posterior"] = posterior;
    json plan = json::array();
    for (const PlanRow& r : e.plan)
        plan.push_back(
            {{"bias", r.bias},
             {"probability", r.probability},
             {"power", kPlanPower},
             {"level", kTestLevel},
             {"spins_needed",
              {{"chi_square", r.chiSquare}, {"largest", r.largest}, {"e_value", r.eValue}}},
             {"power_now",
              {{"chi_square", r.chiSquarePowerNow},
               {"largest", r.largestPowerNow},
               {"e_value", r.eValuePowerNow}}}});
    j["plan"] = plan;
    return j;
}

std::string wheelStatsText(const WheelTallies& tallies) {
    const WheelEvidence e = wheelEvidence(tallies);
    std::string t;
    char line[256];
    const auto add = [&](const char* format, auto... values) {
        std::snprintf(line, sizeof line, format, values...);
        t += line;
    };
    t += "Spins: " + thousands(e.spins) + "\n\nCounts by number (z-score):\n";
    for (int k = 0; k < kPockets; ++k)
        add("%3d %10lld %+6.2f%s", k, static_cast<long long>(e.counts[size_t(k)]), e.z[size_t(k)],
            k % 4 == 3 || k == kPockets - 1 ? "\n" : "   ");
    if (e.pockets)
        add("Chi-square of the 37 counts: %.2f (36 df), p = %.3g: %s\n", e.pockets->chiSquare,
            e.pockets->pValue, e.pockets->reading);
    else
        t += "Chi-square of the 37 counts: from 37 spins\n";
    if (e.largest.number >= 0)
        add("Largest count: %d came %lld times, p = %.3g: %s\n", e.largest.number,
            static_cast<long long>(e.largest.count), e.largest.pValue, e.largest.reading);
    t += "\nSectors:\n";
    for (const WheelSector& s : e.wheel.sectors)
        add("  %-14s (%s): %llu, expected %.1f\n", s.name, s.pockets,
            static_cast<unsigned long long>(s.count), s.expected);
    if (e.wheel.arcs)
        add("Arcs (7 neighbourhoods): chi-square %.2f (6 df), p = %.3g: %s\n",
            e.wheel.arcs->chiSquare, e.wheel.arcs->pValue, e.wheel.arcs->reading);
    t += "\nDistance to the next spin within a night (pockets, count, expected, z):\n";
    for (int d = 0; d < kDistanceClasses; ++d)
        add("%3d %10llu %12.1f %+6.2f\n", d,
            static_cast<unsigned long long>(e.wheel.distanceCounts[size_t(d)]),
            e.wheel.distanceExpected[size_t(d)], e.distanceZ[size_t(d)]);
    if (e.wheel.distances > 0)
        add("Mean distance %.3f (fair %.3f)\n", e.wheel.meanDistance, kFairMeanDistance);
    if (e.repeatsP)
        add("Repeats on the next spin: %llu against %.1f fair, z = %+.2f, p = %.3g: %s\n",
            static_cast<unsigned long long>(e.wheel.distanceCounts[0]), e.wheel.distanceExpected[0],
            e.distanceZ[0], *e.repeatsP, fairnessReading(*e.repeatsP));
    if (e.wheel.distanceTest)
        add("Distances: chi-square %.2f (18 df), p = %.3g: %s\n", e.wheel.distanceTest->chiSquare,
            e.wheel.distanceTest->pValue, e.wheel.distanceTest->reading);
    add("\nE-value against a fair wheel: %.3g (log10 %.2f): %s\n", e.evidence.eValue,
        e.evidence.log10EValue, e.evidence.reading);
    t += kEvidenceMeaning;
    add("\n\nChance some pocket pays better than even (above 1/36): %.3g\n", e.pSomeBetterThanEven);
    if (e.spins > 0) {
        const auto best = std::max_element(
            e.posterior.begin(), e.posterior.end(),
            [](const auto& a, const auto& b) { return a.pBetterThanEven < b.pBetterThanEven; });
        add("Most likely: %d, 1 in %.1f (95 %%: 1 in %.1f to 1 in %.1f), better than even %.3g\n",
            int(best - e.posterior.begin()), 1 / best->mean, 1 / best->high, 1 / best->low,
            best->pBetterThanEven);
    }
    t += "\nSpins needed to find one pocket more frequent than fair (80 % power, 5 % level):\n";
    add("  %-22s %12s %12s %12s\n", "pocket", "chi-square", "largest", "e-value");
    for (const PlanRow& r : e.plan) {
        char name[64];
        std::snprintf(name, sizeof name, "%.1f %% (1 in %.1f)", 100 * r.bias, 1 / r.probability);
        add("  %-22s %12s %12s %12s\n", name, thousands(r.chiSquare).c_str(),
            thousands(r.largest).c_str(), thousands(r.eValue).c_str());
    }
    t += "  this wheel has " + thousands(e.spins) + " spins\n";
    return t;
}

} // namespace vantel::sim
