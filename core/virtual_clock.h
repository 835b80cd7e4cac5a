#pragma once

#include <cstdint>
#include <optional>

namespace vantel {

// A clock of virtual milliseconds, for playing spins without a window: the
// tracker's timers fall due on it, and the calendar the classic draw seeds
// from follows it, at `calendarStart` seconds when the clock is at 0 and one
// second later every 1000 ms (from 1700000000 unless told), or stands still
// at one second.
struct VirtualClock {
    int64_t now = 0;
    int64_t calendarStart = 1700000000;
    std::optional<int64_t> fixedSecond;

    int64_t calendarSeconds() const {
        return fixedSecond ? *fixedSecond : calendarStart + now / 1000;
    }
    void followCalendarFrom(int64_t start) {
        calendarStart = start;
        fixedSecond.reset();
    }
    void fixCalendar(int64_t second) { fixedSecond = second; }
    bool calendarFollowsClock() const { return !fixedSecond; }
};

} // namespace vantel
