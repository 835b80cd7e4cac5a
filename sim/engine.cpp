#include "engine.h"

#include "headless_driver.h"
#include "outlay.h"
#include "sat_math.h"
#include "tracker.h"
#include "wheel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace vantel::sim {

namespace {

// Sessions start at a calendar second drawn from 2020-01-01 to 2029-12-31, so
// the draws, which seed from the clock, differ from session to session.
constexpr int64_t kClockFrom = 1577836800;
constexpr uint64_t kClockSpan = 315532800;

bool anyTimerOn(const Tracker& tracker) {
    for (TimerId id : kTrackerTimers)
        if (tracker.timerEnabled(id)) return true;
    return false;
}

} // namespace

uint64_t spinsPerSession(const Config& config) {
    return config.recorded.empty() ? config.spins
                                   : std::min<uint64_t>(config.spins, config.recorded.size());
}

const char* endingName(Ending e) {
    switch (e) {
    case Ending::AllSpins:
        return "all spins played";
    case Ending::StakeTableEnd:
        return "stake table's end";
    case Ending::Bankroll:
        return "bankroll";
    case Ending::TableLimit:
        return "table limit";
    }
    return "";
}

std::vector<uint64_t> pathSpins(const Config& config) {
    const uint64_t total = spinsPerSession(config);
    const uint64_t points =
        std::min<uint64_t>(static_cast<uint64_t>(std::max(config.pathPoints, 0)), total);
    std::vector<uint64_t> at;
    for (uint64_t j = 0; j < points; ++j)
        at.push_back(((j + 1) * total + points - 1) / points);
    return at;
}

SessionResult playSession(const Config& config, uint64_t index, const std::atomic<bool>* cancel) {
    Wheel wheel(sessionSeed(config.seed, index));
    const int64_t start = kClockFrom + static_cast<int64_t>(wheel.below(kClockSpan));

    Tracker tracker;
    tracker.clock().followCalendarFrom(start);
    HeadlessDriver driver{tracker};
    // The player sets up the window before the first spin.
    tracker.applySettings(config.settings);

    const uint64_t total = spinsPerSession(config);
    const std::vector<uint64_t> points = pathSpins(config);
    SessionResult r;
    r.path.reserve(points.size());
    int64_t best = 0;
    for (uint64_t k = 0; k < total; ++k) {
        if (cancel && k % 256 == 255 && cancel->load(std::memory_order_relaxed)) break;
        const int n = config.recorded.empty() ? wheel.spin() : config.recorded[k];

        // What is on the table when the ball drops: the outlay is read before
        // the spin is entered.
        const SpinOutlay out = spinOutlay(tracker.shown(), n);
        if (out.staked > 0) {
            if (config.tableLimit && out.stake > *config.tableLimit) {
                r.ending = Ending::TableLimit;
                break;
            }
            if (config.bankroll && out.staked > satAdd(*config.bankroll, r.net)) {
                r.ending = Ending::Bankroll;
                break;
            }
            r.staked = satAdd(r.staked, out.staked);
            r.returned = satAdd(r.returned, out.returned);
            r.net = satAdd(r.net, out.net());
            r.largestOutlay = std::max(r.largestOutlay, out.staked);
            best = std::max(best, r.net);
            r.drawdown = std::max(r.drawdown, satSub(best, r.net));
            ++r.betSpins;
            r.litNumbers += static_cast<uint64_t>(out.lit);
            if (out.hit) ++r.hits;
            const double x = static_cast<double>(out.staked);
            const double y = static_cast<double>(out.returned);
            r.sxx += x * x;
            r.sxy += x * y;
            r.syy += y * y;
        }
        ++r.spins;

        const bool entered = driver.spin(n);
        if (entered) {
            driver.advance(config.spinIntervalMs);
            // A pace faster than the draw: the player waits for the window.
            if (anyTimerOn(tracker)) driver.runUntilIdle();
        }
        while (r.path.size() < points.size() && points[r.path.size()] <= r.spins)
            r.path.push_back(r.net);
        // The tracker's error (the stake table's end) or a window that stays
        // locked ends the session: no further spin could be entered.
        if (!entered || !driver.errors().empty() || tracker.buttonsLocked()) {
            r.ending = Ending::StakeTableEnd;
            break;
        }
    }
    // A player who stopped keeps the result.
    while (r.path.size() < points.size())
        r.path.push_back(r.net);
    return r;
}

std::vector<SessionResult> runSessions(const Config& config,
                                       const std::function<void(uint64_t)>& progress,
                                       const std::atomic<bool>* cancel) {
    std::function<void(const RunProgress&)> settled;
    if (progress) settled = [&progress](const RunProgress& p) { progress(p.settled); };
    return runSessionsTracked(config, settled, cancel);
}

std::vector<SessionResult>
runSessionsTracked(const Config& config, const std::function<void(const RunProgress&)>& progress,
                   const std::atomic<bool>* cancel) {
    std::vector<SessionResult> results(config.sessions);
    const unsigned threads = static_cast<unsigned>(
        std::clamp<uint64_t>(config.threads, 1, std::max<uint64_t>(config.sessions, 1)));

    std::atomic<uint64_t> next{0};
    std::atomic<uint64_t> spinsDone{0};
    std::atomic<uint64_t> spinsSettled{0};
    const uint64_t perSession = spinsPerSession(config);
    const auto now = [&] {
        return RunProgress{spinsDone.load(std::memory_order_relaxed),
                           spinsSettled.load(std::memory_order_relaxed)};
    };
    std::mutex mutex;
    std::condition_variable finished;
    unsigned running = threads;
    std::exception_ptr failure;

    auto work = [&] {
        try {
            for (;;) {
                const uint64_t i = next.fetch_add(1);
                if (i >= config.sessions) break;
                if (cancel && cancel->load(std::memory_order_relaxed)) break;
                results[i] = playSession(config, i, cancel);
                spinsDone.fetch_add(results[i].spins, std::memory_order_relaxed);
                // A session that stopped early has settled all its spins.
                spinsSettled.fetch_add(results[i].ending == Ending::AllSpins ? results[i].spins
                                                                             : perSession,
                                       std::memory_order_relaxed);
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex);
            if (!failure) failure = std::current_exception();
            next.store(config.sessions);
        }
        std::lock_guard<std::mutex> lock(mutex);
        --running;
        finished.notify_all();
    };

    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back(work);
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (running > 0) {
            finished.wait_for(lock, std::chrono::milliseconds(100));
            if (progress && running > 0) {
                lock.unlock();
                progress(now());
                lock.lock();
            }
        }
    }
    for (std::thread& t : pool)
        t.join();
    if (failure) std::rethrow_exception(failure);
    if (cancel && cancel->load()) return {};
    if (progress) progress(now());
    return results;
}

} // namespace vantel::sim
