// The whole-wheel figures against calculations of this test's own: tabled
// chi-square points, a cell-by-cell recursion for the largest count, a
// spin-by-spin product for the e-value, binomial tails for the posterior, and
// small simulations for the false-alarm rate, the powers and the posterior.
#include "wheel_evidence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>

using namespace vantel::sim;

namespace {

constexpr int K = 37;

// The regularized upper incomplete gamma Q(s, x), by its series or its
// continued fraction: the chi-square tail is Q(df / 2, x / 2).
double upperGamma(double s, double x) {
    if (x <= 0) return 1;
    const double front = std::exp(s * std::log(x) - x - std::lgamma(s));
    if (x < s + 1) {
        double term = 1 / s, sum = term;
        for (int k = 1; k < 10000 && term > sum * 1e-17; ++k)
            sum += term *= x / (s + k);
        return 1 - front * sum;
    }
    double b = x + 1 - s, c = 1e300, d = 1 / b, h = d;
    for (int i = 1; i < 10000; ++i) {
        const double an = -i * (i - s);
        b += 2;
        d = 1 / (an * d + b);
        c = b + an / c;
        h *= d * c;
        if (std::abs(d * c - 1) < 1e-16) break;
    }
    return front * h;
}

double binomialPmf(long n, long k, double p) {
    return std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0) +
                    k * std::log(p) + (n - k) * std::log1p(-p));
}

// P(largest of 37 fair counts in n spins >= m): pocket after pocket, each
// pocket's count a binomial share of the spins the pockets before it left.
double largestByRecursion(long n, long m) {
    std::vector<double> g(static_cast<size_t>(n + 1));
    for (long r = 0; r <= n; ++r)
        g[size_t(r)] = r < m ? 1 : 0;
    for (int j = 2; j <= K; ++j) {
        std::vector<double> h(g.size(), 0);
        for (long r = 0; r <= n; ++r) {
            double pmf = std::pow(1 - 1.0 / j, double(r)); // k = 0
            for (long k = 0; k < m && k <= r; ++k) {
                h[size_t(r)] += pmf * g[size_t(r - k)];
                pmf *= double(r - k) / double(k + 1) / (j - 1);
            }
        }
        g.swap(h);
    }
    return 1 - g[size_t(n)];
}

// Counts of a multinomial with pocket 0 at (1 + bias) / 37, by binomials.
std::array<std::int64_t, K> drawCounts(std::mt19937_64& random, std::int64_t n, double bias) {
    std::array<std::int64_t, K> c{};
    double left = 1;
    for (int k = 0; k < K; ++k) {
        const double p = k == 0 ? (1 + bias) / K : (1 - (1 + bias) / K) / (K - 1);
        c[size_t(k)] =
            k == K - 1
                ? n
                : std::binomial_distribution<std::int64_t>(n, std::min(1.0, p / left))(random);
        n -= c[size_t(k)];
        left -= p;
    }
    return c;
}

} // namespace

TEST(WheelEvidence, ChiSquareTailMatchesTablesAndTheGammaFunction) {
    // Upper 5 % and 1 % points of the chi-square law, from printed tables.
    const struct {
        double x;
        int df;
        double p;
    } table[] = {{50.998, 36, 0.05}, {58.619, 36, 0.01}, {12.592, 6, 0.05},
                 {16.812, 6, 0.01},  {28.869, 18, 0.05}, {34.805, 18, 0.01}};
    for (const auto& t : table)
        EXPECT_NEAR(chiSquareUpperTail(t.x, t.df), t.p, 2e-5) << t.x << " " << t.df;
    for (double x : {0.5, 10.0, 35.0, 70.0, 150.0})
        for (int df : {6, 18, 36})
            EXPECT_NEAR(chiSquareUpperTail(x, df), upperGamma(df / 2.0, x / 2), 1e-12);
}

TEST(WheelEvidence, LargestCountPValueMatchesTheRecursionAndItsBounds) {
    // Exact up to 5,000 spins: against the recursion to 1e-10.
    for (long n : {37L, 150L, 1461L})
        for (double z : {0.5, 3.5}) {
            const long m = long(n / 37.0 + z * std::sqrt(n / 37.0)) + 1;
            EXPECT_NEAR(largestCountPValue(n, m), largestByRecursion(n, m), 1e-10) << n << " " << m;
        }
    // Above it: inclusion and exclusion, S1 - S2 <= p <= S1 - S2 + S3, with
    // S2 from the trinomial law of two pockets and S3 bounded by the pockets
    // taken as independent (multinomial counts are negatively associated).
    for (const auto& [n, z] : {std::pair{20000L, 3.2}, {20000L, 4.5}, {100000L, 4.5}}) {
        const long m = long(n / 37.0 + z * std::sqrt(n / 37.0));
        double tail = 0, both = 0;
        for (long i = m; i <= n; ++i) {
            const double one = binomialPmf(n, i, 1.0 / K);
            tail += one;
            for (long j = m; i + j <= n; ++j) {
                const double two =
                    std::exp(std::lgamma(n + 1.0) - std::lgamma(i + 1.0) - std::lgamma(j + 1.0) -
                             std::lgamma(n - i - j + 1.0) + (i + j) * std::log(1.0 / K) +
                             (n - i - j) * std::log(1 - 2.0 / K));
                both += two;
                if (two < 1e-17 * both) break;
            }
            if (one < 1e-17 * tail) break;
        }
        const double s1 = K * tail, s2 = K * (K - 1) / 2.0 * both,
                     s3 = K * (K - 1) * (K - 2) / 6.0 * tail * tail * tail;
        const double p = largestCountPValue(n, m);
        // Within the expansion's error where it is used (a union bound above 1 %),
        // and within what logarithms of gamma keep at many spins.
        const double slack = s1 < 0.01 ? 1e-7 : 1e-4;
        EXPECT_GE(p, (s1 - s2) * (1 - slack)) << n << " " << m;
        EXPECT_LE(p, (s1 - s2 + s3) * (1 + slack)) << n << " " << m;
    }
    // In the bulk, against a simulation (2,500 wheels of 20,000 spins).
    std::mt19937_64 random(34);
    int hits = 0;
    for (int i = 0; i < 2500; ++i) {
        const auto c = drawCounts(random, 20000, 0);
        hits += *std::max_element(c.begin(), c.end()) >= 600;
    }
    const double p = largestCountPValue(20000, 600), se = std::sqrt(p * (1 - p) / 2500);
    EXPECT_NEAR(hits / 2500.0, p, 4 * se);
}

TEST(WheelEvidence, EvidenceIsTheSpinBySpinMixtureAndKeepsItsFalseAlarmRate) {
    // The Dirichlet part as the urn's predictive product, the one-pocket part
    // as the mean of products of per-spin ratios: both spin by spin.
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> fair(0, K - 1);
    const double biases[] = {0.025, 0.05, 0.1, 0.2, 0.4, 0.8, 1.6, 3.2};
    std::array<std::int64_t, K> counts{};
    double logUrn = 0;
    std::vector<double> logRatio(K * 8, 0);
    for (int t = 0; t < 600; ++t) {
        const int x = t % 5 == 0 ? 17 : fair(random); // a little bias on 17
        logUrn += std::log((counts[size_t(x)] + 1.0) / (t + K) * K);
        ++counts[size_t(x)];
        for (int k = 0; k < K; ++k)
            for (int g = 0; g < 8; ++g)
                logRatio[size_t(k * 8 + g)] +=
                    std::log(x == k ? 1 + biases[g] : 1 - biases[g] / (K - 1));
    }
    double one = 0;
    for (double r : logRatio)
        one += std::exp(r) / (K * 8);
    const double expected = std::log((std::exp(logUrn) + one) / 2);
    EXPECT_NEAR(evidenceLogE(counts), expected, 1e-9 * std::abs(expected));
    EXPECT_GT(expected, std::log(20.0)) << "a pocket at 1 in 5 is found in 600 spins";

    // A fair wheel looked at after every spin: how many of 120 wheels of 250
    // spins ever reach an e-value of 5 (at most 1 in 5).
    int alarms = 0;
    for (int w = 0; w < 120; ++w) {
        std::array<std::int64_t, K> c{};
        for (int t = 0; t < 250; ++t) {
            ++c[size_t(fair(random))];
            if (evidenceLogE(c) >= std::log(5.0)) {
                ++alarms;
                break;
            }
        }
    }
    EXPECT_LE(alarms, 0.2 * 120 + 3 * std::sqrt(0.2 * 0.8 * 120)) << alarms;
    EXPECT_EQ(evidenceLogE({}), 0) << "no spins, no evidence";
}

TEST(WheelEvidence, PlannedPowersMatchASimulation) {
    std::mt19937_64 random(12);
    const struct {
        std::int64_t n;
        double bias;
    } cases[] = {{2000, 0.5}, {6000, 0.3}, {1500, 1.0}};
    const int trials = 1500;
    for (const auto& c : cases) {
        int chi = 0, largest = 0, evidence = 0;
        const double expected = double(c.n) / K;
        long critical = long(expected + 2.5 * std::sqrt(expected)); // p well above 5 %
        while (largestCountPValue(c.n, critical) > kTestLevel)
            ++critical;
        for (int i = 0; i < trials; ++i) {
            const auto counts = drawCounts(random, c.n, c.bias);
            double x = 0;
            for (auto k : counts)
                x += (k - expected) * (k - expected) / expected;
            chi += x > 50.998; // the tabled 5 % point with 36 degrees of freedom
            largest += *std::max_element(counts.begin(), counts.end()) >= critical;
            evidence += evidenceLogE(counts) >= std::log(20.0);
        }
        const auto near = [&](int hits, double planned, const char* test) {
            EXPECT_NEAR(hits / double(trials), planned, 0.045)
                << test << " n " << c.n << " bias " << c.bias;
        };
        near(chi, chiSquarePower(c.n, c.bias), "chi-square");
        near(largest, largestCountPower(c.n, c.bias), "largest");
        near(evidence, evidencePower(c.n, c.bias), "e-value");
    }
}

TEST(WheelEvidence, PosteriorMatchesBinomialTailsAndDirichletDraws) {
    // I_x(a, b) = P(Binomial(a + b - 1, x) >= a) for whole a and b: a
    // pocket's chance to be above 1/36, and its interval's ends.
    WheelTallies t;
    const std::int64_t counts[] = {0, 5, 40, 300, 2800, 30000};
    for (size_t k = 0; k < K; ++k)
        t.counts[k] = counts[k % 6] + std::int64_t(k);
    for (auto c : t.counts)
        t.spins += c;
    const WheelEvidence e = wheelEvidence(t);
    for (size_t k = 0; k < K; k += 5) {
        const long a = long(t.counts[k]) + 1, n = long(t.spins) + K - 1;
        const auto below = [&](double x) {
            double s = 0;
            for (long j = a; j <= n; ++j) {
                const double pmf = binomialPmf(n, j, x);
                s += pmf;
                if (j > n * x && pmf < 1e-18) break;
            }
            return s;
        };
        EXPECT_NEAR(e.posterior[k].pBetterThanEven, 1 - below(1.0 / 36), 1e-9) << k;
        EXPECT_NEAR(below(e.posterior[k].low), 0.025, 1e-7) << k;
        EXPECT_NEAR(below(e.posterior[k].high), 0.975, 1e-7) << k;
    }
    // Some pocket above 1/36: against draws from the Dirichlet posterior.
    std::mt19937_64 random(5);
    for (double share : {1.0, 1.012}) {
        WheelTallies w;
        for (size_t k = 0; k < K; ++k)
            w.spins += w.counts[k] = std::int64_t(5400 * (k == 3 ? share : 1.0));
        int above = 0;
        const int draws = 3000;
        for (int d = 0; d < draws; ++d) {
            std::array<double, K> g{};
            double sum = 0;
            for (size_t k = 0; k < K; ++k)
                sum += g[k] = std::gamma_distribution<double>(w.counts[k] + 1.0)(random);
            above += *std::max_element(g.begin(), g.end()) / sum > 1.0 / 36;
        }
        const double p = wheelEvidence(w).pSomeBetterThanEven;
        EXPECT_NEAR(above / double(draws), p, 4 * std::sqrt(p * (1 - p) / draws) + 0.005) << share;
    }
}

TEST(WheelEvidence, StatsJsonOfARealNightMatchesItsOwnCalculation) {
    std::ifstream in(VANTEL_SIM_TEST_DATA "/live_vip.txt");
    std::vector<int> spins;
    for (int n; in >> n;)
        spins.push_back(n);
    ASSERT_EQ(spins.size(), 1461u);
    const nlohmann::json j = wheelStatsJson(talliesOfNight(spins));

    const int order[K] = {0, 32, 15, 19, 4, 21, 2,  25, 17, 34, 6,  27, 13, 36, 11, 30, 8, 23, 10,
                          5, 24, 16, 33, 1, 20, 14, 31, 9,  22, 18, 29, 7,  28, 12, 35, 3, 26};
    int place[K];
    for (int i = 0; i < K; ++i)
        place[order[i]] = i;
    std::array<double, K> c{};
    std::array<double, 19> dist{};
    for (size_t i = 0; i < spins.size(); ++i) {
        ++c[size_t(spins[i])];
        if (i == 0) continue;
        const int d = std::abs(place[spins[i]] - place[spins[i - 1]]);
        ++dist[size_t(std::min(d, K - d))];
    }
    const double n = 1461;
    double x = 0;
    for (double k : c)
        x += (k - n / K) * (k - n / K) / (n / K);
    // Seven arcs of neighbours, the first (five pockets) centred on zero.
    double arcs = 0;
    for (int a = 0; a < 7; ++a) {
        const int first = a * K / 7 - 2, size = (a + 1) * K / 7 - a * K / 7;
        double count = 0;
        for (int i = 0; i < size; ++i)
            count += c[size_t(order[(first + i + K) % K])];
        arcs += std::pow(count - n * size / K, 2) / (n * size / K);
    }
    double dx = 0;
    for (int d = 0; d < 19; ++d) {
        const double expected = (n - 1) * (d == 0 ? 1.0 : 2.0) / K;
        dx += (dist[size_t(d)] - expected) * (dist[size_t(d)] - expected) / expected;
        EXPECT_EQ(j["distances"]["counts"][size_t(d)], dist[size_t(d)]) << d;
    }
    // Repeats: two-sided, twice the smaller binomial tail.
    double upper = 0, lower = 0;
    for (long k = 0; k <= 1460; ++k) {
        const double pmf = binomialPmf(1460, k, 1.0 / K);
        upper += k >= long(dist[0]) ? pmf : 0;
        lower += k <= long(dist[0]) ? pmf : 0;
    }
    const long top = long(*std::max_element(c.begin(), c.end()));
    EXPECT_EQ(j["spins"], 1461);
    EXPECT_EQ(j["pockets"]["largest"]["count"], top);
    EXPECT_EQ(c[j["pockets"]["largest"]["number"].get<size_t>()], top);
    const struct {
        const char* what;
        double got, expected;
    } figures[] = {
        {"pockets.chi_square", j["pockets"]["chi_square"], x},
        {"pockets.p", j["pockets"]["p"], upperGamma(18, x / 2)},
        {"pockets.largest.p", j["pockets"]["largest"]["p"], largestByRecursion(1461, top)},
        {"arcs.chi_square", j["arcs"]["chi_square"], arcs},
        {"arcs.p", j["arcs"]["p"], upperGamma(3, arcs / 2)},
        {"distances.chi_square", j["distances"]["chi_square"], dx},
        {"distances.p", j["distances"]["p"], upperGamma(9, dx / 2)},
        {"distances.repeats.p", j["distances"]["repeats"]["p"],
         std::min(1.0, 2 * std::min(upper, lower))},
    };
    for (const auto& f : figures)
        EXPECT_NEAR(f.got, f.expected, 1e-9) << f.what;
    // The three sectors, named by their numbers.
    const std::vector<std::vector<int>> sectors = {
        {22, 18, 29, 7, 28, 12, 35, 3, 26, 0, 32, 15, 19, 4, 21, 2, 25},
        {27, 13, 36, 11, 30, 8, 23, 10, 5, 24, 16, 33},
        {17, 34, 6, 1, 20, 14, 31, 9}};
    for (size_t s = 0; s < 3; ++s) {
        double count = 0;
        for (int k : sectors[s])
            count += c[size_t(k)];
        EXPECT_EQ(j["sectors"][s]["count"], count) << s;
        EXPECT_NEAR(j["sectors"][s]["expected"].get<double>(), n * sectors[s].size() / K, 1e-9);
    }
    ASSERT_EQ(j["plan"].size(), 4u);
    for (size_t r = 1; r < 4; ++r)
        EXPECT_LT(j["plan"][r]["spins_needed"]["largest"],
                  j["plan"][r - 1]["spins_needed"]["largest"]);
    EXPECT_GE(j["posterior"]["p_better_than_even"].get<double>(), 0.0);
}

TEST(WheelEvidence, NightsAddUpWithoutDistancesAcrossThem) {
    WheelTallies both = talliesOfNight({0, 32, 99, 15, 15});
    both += talliesOfNight({26, 0});
    EXPECT_EQ(both.spins, 6);
    EXPECT_EQ(both.counts[15], 2);
    // 0-32 and 15-15 in the first night (99 breaks it), 26-0 in the second.
    EXPECT_EQ(both.distances[1], 2);
    EXPECT_EQ(both.distances[0], 1);
    std::int64_t distances = 0;
    for (auto d : both.distances)
        distances += d;
    EXPECT_EQ(distances, 3);
}
