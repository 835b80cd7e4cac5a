#include "exact.h"

#include "settings.h"
#include "stakes.h"
#include "tracker.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <new>
#include <optional>
#include <unordered_map>

namespace vantel::sim {

namespace {

// Analyse returns before the mode step while NumbersList holds 4 spins or
// fewer: spins 1 to 4 are only recorded. Spin 5 is the first one judged, but
// against an empty Prediction_List (nothing was drawn yet), so it stakes
// nothing, hits nothing and takes Loss_Streak from -1 to 0; the first
// suggestion is drawn after it.
constexpr uint64_t kFirstJudgedSpin = 5;

// Money is counted in initial bets: every stake of the tables is a row times
// the initial bet, and Sequential's stake moves by doubling, halving down to
// the initial bet, or one initial bet at a time.
using Entry = std::pair<int64_t, double>; // net result in initial bets, probability
using Dist = std::vector<Entry>;          // sorted by net, each net once

// The part of the tracker's state that decides what a session does next.
struct State {
    int32_t index = 0;   // Mode1/Mode2: Progression_Index; Sequential: Sequential_Count
    int32_t stake = 0;   // Sequential_Stake in initial bets
    int32_t missRun = 0; // Sequential_Miss_Run
    int32_t winRun = 0;  // Sequential_Win_Run
    int64_t result = 0;  // Sequential_Result in initial bets, while a Reset on rule reads it
    int32_t streak = 0;  // Loss_Streak, held at the safe level (only "reached or not" matters)
    int32_t run = 0;     // lit misses in a row, counted by the runs pass only
    int32_t longest = 0; // the longest such run so far

    bool operator==(const State& o) const {
        return index == o.index && stake == o.stake && missRun == o.missRun && winRun == o.winRun &&
               result == o.result && streak == o.streak && run == o.run && longest == o.longest;
    }
};

struct StateHash {
    size_t operator()(const State& s) const {
        uint64_t h = 0x9E3779B97F4A7C15ull;
        const auto mix = [&h](uint64_t v) {
            h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
            h *= 0xBF58476D1CE4E5B9ull;
        };
        mix(static_cast<uint32_t>(s.index) | uint64_t{static_cast<uint32_t>(s.stake)} << 32);
        mix(static_cast<uint32_t>(s.missRun) | uint64_t{static_cast<uint32_t>(s.winRun)} << 32);
        mix(static_cast<uint64_t>(s.result));
        mix(static_cast<uint32_t>(s.streak) | uint64_t{static_cast<uint32_t>(s.run)} << 32);
        mix(static_cast<uint32_t>(s.longest));
        return static_cast<size_t>(h ^ (h >> 31));
    }
};

// The states of one spin, each with its distribution of the net result. The
// distributions' memory is kept from spin to spin.
class Layer {
  public:
    Dist& at(const State& s) {
        const auto [it, fresh] = m_where.try_emplace(s, m_used);
        if (fresh) {
            if (m_used == m_dists.size()) {
                m_dists.emplace_back();
                m_states.emplace_back();
            }
            m_states[m_used] = s;
            // A slot goes to another state every spin: a large buffer is let
            // go rather than kept by a slot that may never need it again.
            Dist& d = m_dists[m_used];
            if (d.capacity() > 256)
                Dist().swap(d);
            else
                d.clear();
            ++m_used;
        }
        return m_dists[it->second];
    }
    size_t size() const { return m_used; }
    const State& state(size_t i) const { return m_states[i]; }
    const Dist& dist(size_t i) const { return m_dists[i]; }
    void clear() {
        m_where.clear();
        m_used = 0;
    }

  private:
    std::unordered_map<State, size_t, StateHash> m_where;
    std::vector<State> m_states;
    std::vector<Dist> m_dists;
    size_t m_used = 0;
};

// dst += [first, last) with every net moved by shift and every probability
// scaled by factor; both sorted, and dst stays sorted with each net once.
void addInto(Dist& dst, const Entry* first, const Entry* last, int64_t shift, double factor,
             Dist& scratch) {
    if (first == last) return;
    if (dst.empty() || first->first + shift > dst.back().first) {
        for (const Entry* e = first; e != last; ++e)
            dst.emplace_back(e->first + shift, e->second * factor);
        return;
    }
    scratch.clear();
    scratch.reserve(dst.size() + static_cast<size_t>(last - first));
    auto a = dst.begin();
    const Entry* b = first;
    while (a != dst.end() && b != last) {
        const int64_t nb = b->first + shift;
        if (a->first < nb) {
            scratch.push_back(*a++);
        } else if (nb < a->first) {
            scratch.emplace_back(nb, b->second * factor);
            ++b;
        } else {
            scratch.emplace_back(nb, a->second + b->second * factor);
            ++a;
            ++b;
        }
    }
    scratch.insert(scratch.end(), a, dst.end());
    for (; b != last; ++b)
        scratch.emplace_back(b->first + shift, b->second * factor);
    // Copied rather than swapped, so the scratch's room stays with it.
    dst.assign(scratch.begin(), scratch.end());
}

double massOf(const Entry* first, const Entry* last) {
    double m = 0;
    for (const Entry* e = first; e != last; ++e)
        m += e->second;
    return m;
}

// A stake table's rows, read where they lie.
struct StakeRows {
    template <size_t N>
    constexpr StakeRows(const std::array<int64_t, N>& table) : first(table.data()), count(N) {}
    size_t size() const { return count; }
    int64_t operator[](size_t i) const { return first[i]; }
    const int64_t* first;
    size_t count;
};

// The rules a session follows, read from the settings and the stake tables.
struct Rules {
    int mode = 0;
    bool sequential = false;
    bool martingale = true;
    int safeLevel = 0;
    int64_t initialBet = 1;
    std::optional<int64_t> bankroll;
    std::optional<int64_t> tableLimit;
    // The rows of the stake table of Mode1 and Mode2, as Calc_Bet reads them
    // (core/stakes.h). Stepping past the last row is the tracker's conversion
    // error.
    StakeRows rows{stakes::kMartingale};
    // Sequential (Calc_Bet_Sequential).
    int32_t cap = kMaxSuggestion; // Increase till, held at 1..18 (sequentialCap)
    bool doubling = true;         // Progression: the first choice doubles
    int32_t misses = 2;           // M. Count
    int32_t wins = 1;             // W. Count
    int resetRule = 0;            // Reset on, as its choice index
    // The last Martingale row: past it the sequence starts over.
    static constexpr int64_t kLargestStake = stakes::kLargest;
};

Rules rulesOf(const Config& config) {
    const Settings& s = config.settings;
    Rules r;
    r.mode = s.gameMode;
    r.sequential = s.gameMode == setting::kSequential;
    r.martingale = s.bettingSystem != setting::kDonald;
    // The headless items hold the safe level within the track bar's range.
    r.safeLevel = setting::kSafeLevel.clamp(s.safeLevel);
    r.initialBet = s.initialBet;
    r.bankroll = config.bankroll;
    r.tableLimit = config.tableLimit;
    r.rows = r.martingale ? StakeRows(stakes::kMartingale) : StakeRows(stakes::kDonald);
    r.cap = std::clamp<int32_t>(s.increaseTill, 1, kMaxSuggestion);
    r.doubling = s.progression == 0;
    r.misses = s.sequentialLosses;
    r.wins = s.sequentialWins;
    r.resetRule = s.mode3Reset;
    return r;
}

// What one pass of the chain keeps and what it is for.
struct Pass {
    bool keepNet = true;        // follow the net result (the bankroll needs it)
    bool keepRuns = false;      // follow the runs of lit misses
    bool collapseIndex = false; // Donald's row cannot matter: hold it at 0
    // Drop (and count) a session's mass when it places an outlay of this many
    // initial bets; 0: never.
    int64_t absorbOutlay = 0;
};

struct PassResult {
    bool done = false;
    bool cancelled = false;
    std::array<std::vector<double>, kEndingCount> endingAtSpin;
    Dist stopped; // the final net of sessions that ended early
    Dist final;   // the final net of every session
    double betSpins = 0, hits = 0, litNumbers = 0, staked = 0, returned = 0;
    int64_t largestOutlay = 0;   // in initial bets
    double absorbed = 0;         // mass dropped at the outlay of absorbOutlay
    std::vector<double> longest; // runs pass: the mass of each longest run
    std::vector<std::array<double, kBandPercentiles.size()>> bands;
    std::vector<double> means; // the mean net at each band point
    uint64_t peakEntries = 0;
    uint64_t work = 0;
    uint64_t reached = 0; // the spins computed whole when the limits stopped it
};

// The smallest net whose cumulative probability reaches p.
std::vector<double> quantiles(Dist all, const double* ps, size_t count) {
    std::sort(all.begin(), all.end());
    std::vector<double> q(count, 0);
    double total = 0;
    for (const Entry& e : all)
        total += e.second;
    double cum = 0;
    size_t k = 0;
    for (size_t i = 0; i < all.size() && k < count; ++i) {
        cum += all[i].second;
        while (k < count && cum >= ps[k] * total * (1 - 1e-12)) {
            q[k] = static_cast<double>(all[i].first);
            ++k;
        }
    }
    for (; k < count; ++k)
        q[k] = all.empty() ? 0 : static_cast<double>(all.back().first);
    return q;
}

class Chain {
    // The runs pass keeps a state for every row, run and longest run, each
    // costing far more than an entry of the money's distributions: it has a
    // limit of its own.
    uint64_t workLimit() const { return m_pass.keepRuns ? m_limits.maxRunsWork : m_limits.maxWork; }

  public:
    Chain(const Rules& rules, const Config& config, const Pass& pass, const ExactLimits& limits,
          const std::atomic<bool>* cancel, ExactProgress* progress, int passNumber)
        : m_r(rules), m_config(config), m_pass(pass), m_limits(limits), m_cancel(cancel),
          m_progress(progress) {
        if (m_progress) {
            m_progress->spin.store(0, std::memory_order_relaxed);
            m_progress->pass.store(passNumber, std::memory_order_relaxed);
        }
    }

    PassResult run() {
        const uint64_t total = m_config.spins;
        for (auto& v : m_out.endingAtSpin)
            v.assign(total + 1, 0.0);
        m_out.longest.assign(kRunBuckets + 1, 0.0);
        const std::vector<uint64_t> points = pathSpins(m_config);
        size_t point = 0;
        const auto recordPoints = [&](uint64_t played) {
            for (; point < points.size() && points[point] <= played; ++point) {
                m_out.bands.push_back(bandsNow());
                m_out.means.push_back(meanNow());
            }
        };

        State start;
        if (m_r.sequential) {
            // sequentialStep's first run: Reset_Sequential, one number at the
            // initial bet.
            start.index = 1;
            start.stake = 1;
        }
        m_cur.at(start).emplace_back(0, 1.0);
        recordPoints(std::min(total, kFirstJudgedSpin));
        for (uint64_t t = kFirstJudgedSpin + 1; t <= total; ++t) {
            if (m_cancel && m_cancel->load(std::memory_order_relaxed)) {
                m_out.cancelled = true;
                return std::move(m_out);
            }
            if (m_progress) m_progress->spin.store(t, std::memory_order_relaxed);
            m_next.clear();
            m_nextEntries = 0;
            for (size_t i = 0; i < m_cur.size(); ++i) {
                spin(t, m_cur.state(i), m_cur.dist(i));
                // Checked as the spin goes: one spin can multiply the entries.
                m_out.work += m_cur.dist(i).size();
                if (m_nextEntries + m_out.stopped.size() > m_limits.maxEntries ||
                    m_next.size() > m_limits.maxStates || m_out.work > workLimit()) {
                    m_out.reached = t - 1;
                    return std::move(m_out);
                }
            }
            std::swap(m_cur, m_next);
            m_out.peakEntries = std::max<uint64_t>(m_out.peakEntries, m_nextEntries);
            recordPoints(t);
        }
        recordPoints(total);

        Dist all = m_out.stopped;
        for (size_t i = 0; i < m_cur.size(); ++i) {
            const Dist& d = m_cur.dist(i);
            all.insert(all.end(), d.begin(), d.end());
            if (m_pass.keepRuns) m_out.longest[bucket(m_cur.state(i).longest)] += sumOf(d);
        }
        std::sort(all.begin(), all.end());
        for (const Entry& e : all) {
            if (!m_out.final.empty() && m_out.final.back().first == e.first)
                m_out.final.back().second += e.second;
            else
                m_out.final.push_back(e);
        }
        m_out.done = true;
        return std::move(m_out);
    }

  private:
    static size_t bucket(int32_t longest) {
        return static_cast<size_t>(std::min<int32_t>(longest, kRunBuckets));
    }
    static double sumOf(const Dist& d) { return massOf(d.data(), d.data() + d.size()); }

    double meanNow() const {
        double mean = 0;
        for (const Entry& e : m_out.stopped)
            mean += static_cast<double>(e.first) * e.second;
        for (size_t i = 0; i < m_cur.size(); ++i)
            for (const Entry& e : m_cur.dist(i))
                mean += static_cast<double>(e.first) * e.second;
        return mean * static_cast<double>(m_r.initialBet);
    }

    std::array<double, kBandPercentiles.size()> bandsNow() const {
        Dist all = m_out.stopped;
        for (size_t i = 0; i < m_cur.size(); ++i)
            all.insert(all.end(), m_cur.dist(i).begin(), m_cur.dist(i).end());
        std::array<double, kBandPercentiles.size()> ps{};
        for (size_t b = 0; b < ps.size(); ++b)
            ps[b] = kBandPercentiles[b] / 100.0;
        const std::vector<double> q = quantiles(std::move(all), ps.data(), ps.size());
        std::array<double, kBandPercentiles.size()> out{};
        for (size_t b = 0; b < out.size(); ++b)
            out[b] = q[b] * static_cast<double>(m_r.initialBet);
        return out;
    }

    void add(const State& s, const Entry* first, const Entry* last, int64_t shift, double factor) {
        Dist& d = m_next.at(s);
        const size_t before = d.size();
        addInto(d, first, last, m_pass.keepNet ? shift : 0, factor, m_scratch);
        m_nextEntries += d.size() - before;
    }

    void stop(Ending ending, uint64_t t, const State& s, const Entry* first, const Entry* last,
              int64_t shift, double factor) {
        if (first == last) return;
        const double m = massOf(first, last) * factor;
        m_out.endingAtSpin[static_cast<size_t>(ending)][t] += m;
        if (m_pass.keepRuns) m_out.longest[bucket(s.longest)] += m;
        addInto(m_out.stopped, first, last, m_pass.keepNet ? shift : 0, factor, m_scratch);
    }

    int32_t heldStreak(int32_t streak) const { return std::min(streak, m_r.safeLevel); }

    // One spin t of the wheel for the sessions in state s.
    void spin(uint64_t t, const State& s, const Dist& d) {
        const Entry* first = d.data();
        const Entry* const last = d.data() + d.size();
        // Prediction_List holds the numbers the analysis drew whether or not
        // the safe level let them light: 18 in Mode1 (six from each third) and
        // in Mode2 (the 18 first of the 37 numbers ordered hot to cold, so 18
        // even before 18 different numbers have come), Sequential_Count in
        // Sequential (at most Increase till and 18). Fixed Matrix lights the
        // same 18 again after a hit: the count does not change. WinCalc sets
        // Loss_Streak to 0 on a hit of the list and adds 1 otherwise, lit or
        // not.
        const int32_t drawn = m_r.sequential ? std::min(s.index, kMaxSuggestion) : kMaxSuggestion;
        const double pHit = drawn / 37.0;
        const double pMiss = (37 - drawn) / 37.0;
        // lightNumber lights a drawn number only when Loss_Streak has reached
        // the safe level; Bet_Active and the outlay follow the lights.
        const bool lit = s.streak >= m_r.safeLevel;
        if (!lit) {
            State hit = s;
            hit.streak = 0;
            State miss = s;
            miss.streak = heldStreak(s.streak + 1);
            add(hit, first, last, 0, pHit);
            add(miss, first, last, 0, pMiss);
            return;
        }

        // The outlay is Bet on every lit number.
        const int64_t stake = m_r.sequential ? s.stake : m_r.rows[static_cast<size_t>(s.index)];
        const int64_t staked = stake * drawn;
        const int64_t b = m_r.initialBet;
        // The player's stops, as playSession checks them before the spin.
        if (m_r.tableLimit && stake * b > *m_r.tableLimit) {
            stop(Ending::TableLimit, t, s, first, last, 0, 1.0);
            return;
        }
        if (m_r.bankroll) {
            // The nets are sorted: the sessions too far down come first.
            const Entry* keep = std::partition_point(first, last, [&](const Entry& e) {
                return staked * b > *m_r.bankroll + e.first * b;
            });
            stop(Ending::Bankroll, t, s, first, keep, 0, 1.0);
            first = keep;
        }
        if (first == last) return;
        const double m = massOf(first, last);
        m_out.largestOutlay = std::max(m_out.largestOutlay, staked);
        if (m_pass.absorbOutlay != 0 && staked == m_pass.absorbOutlay) {
            m_out.absorbed += m;
            return;
        }
        m_out.betSpins += m;
        m_out.litNumbers += m * drawn;
        m_out.hits += m * pHit;
        m_out.staked += m * static_cast<double>(staked);
        m_out.returned += m * pHit * 36.0 * static_cast<double>(stake);

        State hit = s;
        State miss = s;
        hit.streak = 0;
        miss.streak = heldStreak(s.streak + 1);
        if (m_pass.keepRuns) {
            hit.run = 0;
            miss.run = s.run + 1;
            miss.longest = std::max(s.longest, miss.run);
        }
        const int64_t hitNet = 36 * stake - staked;
        const int64_t missNet = -staked;
        const bool tableEnd = m_r.sequential ? false : stepTable(hit, miss);
        if (m_r.sequential) stepSequence(hit, miss, stake, drawn);
        add(hit, first, last, hitNet, pHit);
        if (tableEnd) {
            // Calc_Bet converts the row past the table's end and fails: the
            // spin was played, and no later one can be entered.
            stop(Ending::StakeTableEnd, t, miss, first, last, missNet, pMiss);
        } else if (m_pass.keepRuns && miss.longest >= kRunBuckets) {
            // Longer runs share the last bucket: the rest of these sessions
            // changes nothing this pass counts.
            m_out.longest[kRunBuckets] += m * pMiss;
        } else {
            add(miss, first, last, missNet, pMiss);
        }
    }

    // Calc_Bet for Mode1 and Mode2, which runs only after a lit spin
    // (Bet_Active): Martingale goes to row 0 on a hit and one row on after a
    // miss; Donald one row back (not below 0) after a hit and one on after a
    // miss. Returns whether the miss steps past the table's end.
    bool stepTable(State& hit, State& miss) const {
        if (m_pass.collapseIndex) return false;
        hit.index = m_r.martingale ? 0 : std::max(hit.index - 1, 0);
        miss.index = miss.index + 1;
        return static_cast<size_t>(miss.index) >= m_r.rows.size();
    }

    void resetSequence(State& s) const {
        // Reset_Sequential: one number at the initial bet, runs and result 0.
        s.index = 1;
        s.stake = 1;
        s.missRun = 0;
        s.winRun = 0;
        s.result = 0;
    }

    // Calc_Bet_Sequential after a spin that staked on the sequence's own
    // numbers (a spin the safe level left dark changes nothing).
    void stepSequence(State& hit, State& miss, int64_t stake, int32_t count) const {
        const bool keepResult = m_r.resetRule != 2;
        const auto ahead = [&](const State& s) {
            return (m_r.resetRule == 0 && s.result >= 0) || (m_r.resetRule == 1 && s.result > 0);
        };
        if (keepResult) miss.result -= stake * count;
        miss.missRun = miss.missRun + 1;
        miss.winRun = 0;
        if (miss.missRun >= m_r.misses) {
            miss.missRun = 0;
            const int64_t up = m_r.doubling ? stake * 2 : stake + 1;
            if (up > Rules::kLargestStake) {
                resetSequence(miss); // the sequence is lost; no Reset on rule is read
            } else {
                miss.stake = static_cast<int32_t>(up);
                miss.index = std::clamp(miss.index + 1, 1, m_r.cap);
                if (ahead(miss)) resetSequence(miss);
            }
        } else if (ahead(miss)) {
            resetSequence(miss);
        }

        if (keepResult) hit.result += stake * (36 - count);
        hit.winRun = hit.winRun + 1;
        hit.missRun = 0;
        if (hit.winRun >= m_r.wins) {
            hit.winRun = 0;
            hit.index = std::clamp(hit.index - 1, 1, m_r.cap);
            // Halving or one initial bet down, never below the initial bet
            // (an odd stake of one initial bet halves below it).
            const int64_t down = m_r.doubling ? stake / 2 : stake - 1;
            hit.stake = static_cast<int32_t>(std::max<int64_t>(down, 1));
        }
        if (ahead(hit)) resetSequence(hit);
    }

    const Rules& m_r;
    const Config& m_config;
    Pass m_pass;
    ExactLimits m_limits;
    const std::atomic<bool>* m_cancel;
    ExactProgress* m_progress;
    Layer m_cur, m_next;
    uint64_t m_nextEntries = 0;
    Dist m_scratch;
    PassResult m_out;
};

Estimate sure(double v) {
    return {v, v, v};
}

// What the settings are, as a refusal names them.
std::string settingsName(const Rules& r) {
    if (r.sequential) return r.bankroll ? "Sequential with a bankroll" : "Sequential";
    return format("%s with %s%s", gameModeName(r.mode), r.martingale ? "Martingale" : "Donald",
                  r.bankroll ? " and a bankroll" : "");
}

// A count of spins said as "about": down to two significant digits.
uint64_t about(uint64_t spins) {
    uint64_t scale = 1;
    while (spins / scale >= 100)
        scale *= 10;
    return spins / scale * scale;
}

std::string outOfReach(const Rules& r, const PassResult& pass) {
    return format("%s is computed exactly up to about %llu spins; shorten the session or run "
                  "Monte Carlo",
                  settingsName(r).c_str(), static_cast<unsigned long long>(about(pass.reached)));
}

ExactResult computeExactRisk(const Config& config, const std::atomic<bool>* cancel,
                             const ExactLimits& limits, ExactProgress* progress);

double massOfEndings(const PassResult& pass, std::initializer_list<Ending> endings) {
    double m = 0;
    for (Ending e : endings)
        for (double p : pass.endingAtSpin[static_cast<size_t>(e)])
            m += p;
    return m;
}

} // namespace

ExactResult exactRisk(const Config& config, const std::atomic<bool>* cancel,
                      const ExactLimits& limits, ExactProgress* progress) {
    try {
        return computeExactRisk(config, cancel, limits, progress);
    } catch (const std::bad_alloc&) {
        ExactResult out;
        out.reason = format("These settings need more memory than is free to be computed exactly "
                            "for %llu spins; shorten the session or run Monte Carlo",
                            static_cast<unsigned long long>(config.spins));
        return out;
    }
}

namespace {

ExactResult computeExactRisk(const Config& config, const std::atomic<bool>* cancel,
                             const ExactLimits& limits, ExactProgress* progress) {
    ExactResult out;
    if (!config.recorded.empty()) {
        out.reason = "Recorded spins are not a fair wheel: the exact figures are for the wheel "
                     "only; run Monte Carlo on them";
        return out;
    }
    const Rules rules = rulesOf(config);
    const int64_t b = rules.initialBet;

    // The money: endings, expectations, the net's distribution, the bands.
    Pass money;
    PassResult a = Chain(rules, config, money, limits, cancel, progress, 1).run();
    if (a.cancelled) {
        out.cancelled = true;
        out.reason = "cancelled";
        return out;
    }
    if (!a.done) {
        out.reason = outOfReach(rules, a);
        return out;
    }
    ExactFigures& f = out.figures;
    f.peakEntries = a.peakEntries;
    f.work = a.work;

    // The largest outlay, and how likely a session is to place it.
    Pass largest;
    largest.keepNet = rules.bankroll.has_value();
    largest.absorbOutlay = a.largestOutlay;
    if (a.largestOutlay > 0) {
        const PassResult l = Chain(rules, config, largest, limits, cancel, progress, 2).run();
        if (l.cancelled) {
            out.cancelled = true;
            out.reason = "cancelled";
            return out;
        }
        if (!l.done) {
            out.reason = outOfReach(rules, l);
            return out;
        }
        f.largestOutlayProbability = l.absorbed;
        f.work += l.work;
    }

    // The longest run of lit misses. Without a bankroll nothing depends on the
    // net; Donald's row matters only when its table's end or the table limit
    // can be reached within the session.
    Pass runs;
    runs.keepRuns = true;
    runs.keepNet = rules.bankroll.has_value();
    if (!rules.sequential && !rules.martingale && !rules.bankroll) {
        const uint64_t litSpins =
            config.spins > kFirstJudgedSpin ? config.spins - kFirstJudgedSpin : 0;
        const uint64_t highestRow =
            std::min<uint64_t>(litSpins == 0 ? 0 : litSpins - 1, rules.rows.size() - 1);
        const bool endReachable = litSpins >= rules.rows.size();
        const bool limitReachable =
            rules.tableLimit && rules.rows[highestRow] * b > *rules.tableLimit;
        runs.collapseIndex = !endReachable && !limitReachable;
        // Reachable, but by so few sessions that no figure shown could move:
        // those sessions are counted as if they played on.
        const double stopping = massOfEndings(a, {Ending::StakeTableEnd, Ending::TableLimit});
        if (!runs.collapseIndex && stopping < limits.negligibleStops) {
            runs.collapseIndex = true;
            out.figures.runsNote =
                format("counting the %.2g of sessions that reach %s as if they played on", stopping,
                       endReachable ? "the stake table's end" : "the table limit");
        }
    }
    const PassResult r = Chain(rules, config, runs, limits, cancel, progress, 3).run();
    if (r.cancelled) {
        out.cancelled = true;
        out.reason = "cancelled";
        return out;
    }
    if (r.done) {
        f.longestRun = r.longest;
        while (f.longestRun.size() > 1 && f.longestRun.back() == 0)
            f.longestRun.pop_back();
        f.work += r.work;
    } else {
        f.runsNote = format("not computed: following %s run by run is out of reach past about %llu "
                            "spins; shorten the session%s",
                            runs.collapseIndex || rules.sequential ? "every state" : "Donald's row",
                            static_cast<unsigned long long>(about(r.reached)),
                            rules.tableLimit ? " or raise the table limit" : "");
    }

    // The figures.
    f.endingAtSpin = a.endingAtSpin;
    for (size_t e = 0; e < kEndingCount; ++e)
        for (double p : a.endingAtSpin[e])
            f.ending[e] += p;
    f.ending[static_cast<size_t>(Ending::AllSpins)] =
        std::max(0.0, 1.0 - f.ending[1] - f.ending[2] - f.ending[3]);
    double gone = 0;
    for (uint64_t t = 1; t <= config.spins; ++t) {
        const double before = a.endingAtSpin[static_cast<size_t>(Ending::Bankroll)][t] +
                              a.endingAtSpin[static_cast<size_t>(Ending::TableLimit)][t];
        f.spins += 1 - gone - before;
        gone += before + a.endingAtSpin[static_cast<size_t>(Ending::StakeTableEnd)][t];
    }
    double total = 0, mean = 0;
    for (const Entry& e : a.final) {
        total += e.second;
        mean += e.second * static_cast<double>(e.first);
        f.net.emplace_back(e.first * b, e.second);
    }
    double squares = 0;
    for (const Entry& e : a.final)
        squares += e.second * (static_cast<double>(e.first) - mean) *
                   (static_cast<double>(e.first) - mean);
    f.betSpins = a.betSpins;
    f.hits = a.hits;
    f.litNumbers = a.litNumbers;
    f.staked = a.staked * static_cast<double>(b);
    f.returned = (mean + a.staked) * static_cast<double>(b);
    f.largestOutlay = a.largestOutlay * b;
    f.lowestProbability = a.final.front().second;
    f.highestProbability = a.final.back().second;

    // The computation checks itself: every session is somewhere, and what the
    // distribution of the net says was returned is what the stakes return on
    // a fair wheel, 36/37 of them.
    const double scale = std::max(1.0, a.staked);
    if (std::fabs(total - 1) > 1e-9 || std::fabs(mean + a.staked - a.returned) > 1e-9 * scale ||
        std::fabs(a.returned - a.staked * 36.0 / 37.0) > 1e-9 * scale) {
        out.reason = format("the computation failed its own check (probability %.12f, returned "
                            "%.6f against %.6f)",
                            total, mean + a.staked, a.returned);
        return out;
    }

    Report& rep = out.report;
    rep.exact = true;
    rep.expectedSpins = f.spins;
    rep.expectedStaked = f.staked;
    rep.expectedReturned = f.returned;
    rep.expectedBetSpins = f.betSpins;
    rep.netMean = mean * static_cast<double>(b);
    rep.netSd = std::sqrt(std::max(0.0, squares)) * static_cast<double>(b);
    std::array<double, kNetPercentiles.size()> ps{};
    for (size_t i = 0; i < ps.size(); ++i)
        ps[i] = kNetPercentiles[i] / 100.0;
    const std::vector<double> q = quantiles(a.final, ps.data(), ps.size());
    for (size_t i = 0; i < ps.size(); ++i)
        rep.netPercentiles[i] = q[i] * static_cast<double>(b);
    rep.netMin = a.final.front().first * b;
    rep.netMax = a.final.back().first * b;
    for (size_t e = 0; e < kEndingCount; ++e)
        rep.endingRates[e] = sure(f.ending[e]);
    if (a.staked > 0) rep.returnToPlayer = sure(f.returned / f.staked);
    if (a.betSpins > 0) {
        rep.hitRate = sure(a.hits / a.betSpins);
        rep.randomHitRate = a.litNumbers / (37.0 * a.betSpins);
    }
    rep.largestOutlay = f.largestOutlay;
    // Martingale's drawdown: the net is at its best after every lit hit (each
    // run of misses ended by a hit wins back 18 initial bets more than it
    // lost), and a run of r lit misses from row 0 loses 18 x (2^r - 1)
    // initial bets; so the deepest drawdown of a session is that of its
    // longest run.
    if (rules.martingale && !rules.sequential && !f.longestRun.empty()) {
        f.drawdownKnown = true;
        double meanDrawdown = 0;
        int deepest = 0;
        for (size_t run = 0; run < f.longestRun.size(); ++run) {
            const double loss = 18.0 * static_cast<double>((int64_t{1} << run) - 1);
            meanDrawdown += f.longestRun[run] * loss;
            if (f.longestRun[run] > 0) deepest = static_cast<int>(run);
        }
        rep.meanDrawdown = meanDrawdown * static_cast<double>(b);
        rep.deepestDrawdown = 18 * ((int64_t{1} << deepest) - 1) * b;
    }
    rep.drawdownKnown = f.drawdownKnown;
    rep.bandSpins = pathSpins(config);
    for (auto& band : rep.bands)
        band.resize(a.bands.size());
    for (size_t j = 0; j < a.bands.size(); ++j)
        for (size_t k = 0; k < kBandPercentiles.size(); ++k)
            rep.bands[k][j] = a.bands[j][k];
    rep.meanPath = a.means;
    rep.netDistribution = f.net;
    out.exact = true;
    return out;
}

} // namespace

std::string probabilityText(double p) {
    // Far-off nets can be less likely than a double can hold: they can still
    // happen, so they are not shown as 0.
    if (p < std::numeric_limits<double>::min()) return "below 1e-308";
    return format("%.6g", p);
}

std::string formatExactFigures(const Config& config, const ExactResult& result) {
    (void)config;
    std::string out;
    if (!result.exact) return "Exact          " + result.reason + "\n";
    const ExactFigures& f = result.figures;
    out += "\n";
    out +=
        format("Lowest, highest probability %s, %s\n", probabilityText(f.lowestProbability).c_str(),
               probabilityText(f.highestProbability).c_str());
    out += format("Largest outlay placed by    %.6g %% of sessions\n",
                  100 * f.largestOutlayProbability);
    out += format("Computed over  %llu entries of a state and a net result at most, %llu in all\n",
                  static_cast<unsigned long long>(f.peakEntries),
                  static_cast<unsigned long long>(f.work));
    out += "Endings by spin\n";
    for (size_t e = 1; e < kEndingCount; ++e) {
        const std::vector<double>& at = f.endingAtSpin[e];
        if (f.ending[e] <= 0) continue;
        size_t firstSpin = 0;
        double meanSpin = 0;
        for (size_t t = 0; t < at.size(); ++t) {
            if (at[t] > 0 && firstSpin == 0) firstSpin = t;
            meanSpin += static_cast<double>(t) * at[t];
        }
        out += format("  %-20s from spin %zu, at spin %.1f on average when it happens\n",
                      endingName(static_cast<Ending>(e)), firstSpin, meanSpin / f.ending[e]);
    }
    out += "Longest run of lit misses";
    if (f.longestRun.empty()) return out + " " + f.runsNote + "\n";
    out += f.runsNote.empty() ? "\n" : " (" + f.runsNote + ")\n";
    double atLeast = 1;
    for (size_t r = 0; r < f.longestRun.size(); ++r) {
        const bool last = r + 1 == f.longestRun.size();
        // Runs a session almost never has are left out, except the longest.
        if (f.longestRun[r] >= 1e-9 || last)
            out += format("  %3zu%s %12.9f %%   %zu or more: %12.9f %%\n", r,
                          r == static_cast<size_t>(kRunBuckets) ? "+" : " ", 100 * f.longestRun[r],
                          r, 100 * std::max(0.0, atLeast));
        atLeast -= f.longestRun[r];
    }
    return out;
}

} // namespace vantel::sim
