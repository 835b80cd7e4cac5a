#include "headless_driver.h"

#include "int_convert.h"

namespace vantel {

HeadlessDriver::HeadlessDriver(HeadlessItems& items, Tracker& tracker)
    : m_items(items), m_tracker(tracker) {
    // The three integer settings reset the stakes on every change of their text.
    for (SpinValue* edit : {&items.Initial_Bet, &items.Sequential_Losses, &items.Sequential_Wins})
        edit->OnChange = [&tracker] { tracker.Initial_BetChange(); };
}

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

void HeadlessDriver::advance(int64_t ms) {
    const int64_t target = m_items.now() + ms;
    for (;;) {
        int64_t due = -1;
        TimerId next = TimerId::Classic;
        for (TimerId id : kTrackerTimers) {
            const int64_t d = m_items.dueAt(id);
            if (d >= 0 && d <= target && (due < 0 || d < due)) {
                due = d;
                next = id;
            }
        }
        if (due < 0) break;
        m_items.setNow(due);
        m_items.rearm(next);
        try {
            m_tracker.tick(next);
        } catch (const ConvertError& e) {
            // A failed tick leaves its timer on, as the event loop does.
            m_errors.push_back(e.what());
        }
    }
    m_items.setNow(target);
}

bool HeadlessDriver::anyTimerOn() const {
    for (TimerId id : kTrackerTimers)
        if (m_items.timerEnabled(id)) return true;
    return false;
}

int64_t HeadlessDriver::runUntilIdle(int64_t limitMs) {
    const int64_t start = m_items.now();
    while (anyTimerOn() && m_items.now() - start < limitMs) {
        int64_t due = -1;
        for (TimerId id : kTrackerTimers) {
            const int64_t d = m_items.dueAt(id);
            if (d >= 0 && (due < 0 || d < due)) due = d;
        }
        if (due < 0) break;
        advance(due - m_items.now());
    }
    return m_items.now() - start;
}

} // namespace vantel
