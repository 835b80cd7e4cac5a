#include "headless_driver.h"

#include "int_convert.h"
#include "tracker_ticks.h"

namespace vantel {

template <class TrackerItems>
HeadlessDriver<TrackerItems>::HeadlessDriver(HeadlessItems& items,
                                             BasicTracker<TrackerItems>& tracker)
    : m_items(items), m_tracker(tracker) {}

template <class TrackerItems> bool HeadlessDriver<TrackerItems>::spin(int n) {
    try {
        m_tracker.numberClick(n);
        return true;
    } catch (const ConvertError& e) {
        m_errors.push_back(e.what());
        m_tracker.recoverAfterError();
        return false;
    }
}

template <class TrackerItems>
typename HeadlessDriver<TrackerItems>::NextTick HeadlessDriver<TrackerItems>::nextTick() const {
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

template <class TrackerItems>
typename HeadlessDriver<TrackerItems>::NextTick
HeadlessDriver<TrackerItems>::runTicks(int64_t target, NextTick next) {
    while (next.due >= 0 && next.due <= target) {
        m_items.setNow(next.due);
        m_items.rearm(next.id, m_tracker.timerInterval(next.id));
        try {
            m_tracker.tick(next.id);
        } catch (const ConvertError& e) {
            // A failed tick leaves its timer on, as the event loop does.
            m_errors.push_back(e.what());
        }
        next = nextTick();
    }
    return next;
}

template <class TrackerItems> void HeadlessDriver<TrackerItems>::advance(int64_t ms) {
    const int64_t target = m_items.now() + ms;
    runTicks(target, nextTick());
    m_items.setNow(target);
}

template <class TrackerItems> int64_t HeadlessDriver<TrackerItems>::runUntilIdle(int64_t limitMs) {
    // Moment by moment: the ticks due at the earliest moment run, then the
    // limit is checked again. A timer that is on but never falls due (no
    // interval) ends the run, as one that is off does. The loop lives inside
    // one try so that a tick costs no more than the tick.
    const int64_t start = m_items.now();
    NextTick next = nextTick();
    int64_t moment = -1; // whose ticks are running; -1 between moments
    for (;;) {
        try {
            for (;;) {
                if (moment < 0 || next.due < 0 || next.due > moment) {
                    if (next.due < 0 || m_items.now() - start >= limitMs)
                        return m_items.now() - start;
                    moment = next.due;
                }
                m_items.setNow(next.due);
                m_items.rearm(next.id, m_tracker.timerInterval(next.id));
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

template class HeadlessDriver<HeadlessItems>;
template class HeadlessDriver<WindowItems>;

} // namespace vantel
