#include "headless_driver.h"

#include "int_convert.h"
#include "tracker_ticks.h"

namespace vantel {

HeadlessDriver::HeadlessDriver(Tracker& tracker) : m_tracker(tracker), m_clock(tracker.clock()) {}

bool HeadlessDriver::spin(int n) {
    try {
        m_tracker.numberClick(n);
        return true;
    } catch (const ConvertError& e) {
        m_errors.push_back(e.what());
        m_tracker.recoverAfterError();
        return false;
    }
}

HeadlessDriver::NextTick HeadlessDriver::nextTick() const {
    // Of timers due at the same moment, the first in kTrackerTimers ticks first.
    // Compared unsigned, a timer that does not tick (-1) or any other negative
    // time comes after every time that counts, so one comparison a timer does.
    uint64_t best = UINT64_MAX;
    TimerId id = TimerId::Classic;
    for (TimerId t : kTrackerTimers) {
        const auto d = static_cast<uint64_t>(dueAt(t));
        if (d < best) {
            best = d;
            id = t;
        }
    }
    if (best > static_cast<uint64_t>(INT64_MAX)) return {};
    return {static_cast<int64_t>(best), id};
}

HeadlessDriver::NextTick HeadlessDriver::runTicks(int64_t target, NextTick next) {
    while (next.due >= 0 && next.due <= target) {
        m_clock.now = next.due;
        m_tracker.rearmTimer(next.id);
        try {
            if (m_tracker.quiet())
                m_tracker.quietTick(next.id);
            else
                m_tracker.tick(next.id);
        } catch (const ConvertError& e) {
            // A failed tick leaves its timer on, as the event loop does.
            m_errors.push_back(e.what());
        }
        next = nextTick();
    }
    return next;
}

void HeadlessDriver::advance(int64_t ms) {
    const int64_t target = m_clock.now + ms;
    runTicks(target, nextTick());
    m_clock.now = target;
}

int64_t HeadlessDriver::runUntilIdle(int64_t limitMs) {
    // A tracker stays quiet or not for the whole run: nothing sets its
    // observer or calendar from a tick.
    return m_tracker.quiet() ? runUntilIdleAs<true>(limitMs) : runUntilIdleAs<false>(limitMs);
}

template <bool Quiet> int64_t HeadlessDriver::runUntilIdleAs(int64_t limitMs) {
    // Moment by moment: the ticks due at the earliest moment run, then the
    // limit is checked again. A timer that is on but never falls due (no
    // interval) ends the run, as one that is off does. The loop lives inside
    // one try so that a tick costs no more than the tick.
    const int64_t start = m_clock.now;
    NextTick next = nextTick();
    int64_t moment = -1; // whose ticks are running; -1 between moments
    for (;;) {
        try {
            for (;;) {
                if (moment < 0 || next.due < 0 || next.due > moment) {
                    if (next.due < 0 || m_clock.now - start >= limitMs) return m_clock.now - start;
                    moment = next.due;
                }
                m_clock.now = next.due;
                m_tracker.rearmTimer(next.id);
                if constexpr (Quiet)
                    m_tracker.quietTick(next.id);
                else
                    m_tracker.tick(next.id);
                next = nextTick();
            }
        } catch (const ConvertError& e) {
            // A failed tick leaves its timer on, as the event loop does.
            m_errors.push_back(e.what());
            next = nextTick();
        }
    }
}

} // namespace vantel
