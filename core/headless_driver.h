#pragma once

#include "tracker.h"

#include <string>
#include <vector>

namespace vantel {

// Plays the tracker without a window: clicks run like the window's, and the
// timers tick on the tracker's virtual clock, each one that is on once per
// interval, in time order. Errors are collected as the window would show them.
class HeadlessDriver {
  public:
    explicit HeadlessDriver(Tracker& tracker);

    // Enters a spin like a click on a board cell; returns false when the
    // number procedure raised an error (recorded in errors()).
    bool spin(int n);
    // Advances the virtual clock by ms, running every tick that falls due.
    void advance(int64_t ms);
    // Runs ticks until no tracker timer is on; returns the virtual time spent.
    int64_t runUntilIdle(int64_t limitMs = 60000);

    // When a timer ticks next on the virtual clock, or -1 when it does not tick.
    int64_t dueAt(TimerId id) const {
        return m_tracker.timerEnabled(id) && m_tracker.timerInterval(id) > 0
                   ? m_tracker.timerDue(id)
                   : -1;
    }

    const std::vector<std::string>& errors() const { return m_errors; }
    void clearErrors() { m_errors.clear(); }

  private:
    // The timer that ticks next and when; due is -1 when no timer ticks.
    struct NextTick {
        int64_t due = -1;
        TimerId id = TimerId::Classic;
    };
    NextTick nextTick() const;
    // Runs the ticks due up to target, starting with next; returns the tick
    // that follows them.
    NextTick runTicks(int64_t target, NextTick next);
    // runUntilIdle for a quiet tracker (its ticks inline) or any other.
    template <bool Quiet> int64_t runUntilIdleAs(int64_t limitMs);

    Tracker& m_tracker;
    VirtualClock& m_clock;
    std::vector<std::string> m_errors;
};

} // namespace vantel
