#pragma once

#include "window_items.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

namespace vantel {

// Window items as plain values, for tests and for playing spins without a
// window: nothing shown, and a virtual clock in
// milliseconds on which the tracker's timers fall due.
class HeadlessItems final : public WindowItems {
  public:
    HeadlessItems();

    // The calendar follows the virtual clock: at `start` seconds when the clock
    // is at 0, one second later every 1000 ms (from 1700000000 unless told).
    int64_t calendarSeconds() const override {
        return m_fixedSecond ? *m_fixedSecond : m_calendarStart + m_now / 1000;
    }
    void followCalendarFrom(int64_t start) {
        m_calendarStart = start;
        m_fixedSecond.reset();
    }
    // Or it stands still at one second.
    void fixCalendar(int64_t second) { m_fixedSecond = second; }
    bool calendarFollowsClock() const { return !m_fixedSecond; }
    int64_t calendarStart() const { return m_calendarStart; }

    // The tracker keeps what it shows; shown nowhere here. Defined here so that
    // the tracker's procedures built for these items drop the calls.
    void showLit(int, bool) override {}
    void showNoneLit() override {}
    void showStrip(const HistoryStrip&) override {}
    void showBet(const std::string&) override {}
    void showBetValue(int64_t) override {}
    void showProgress(int) override {}
    void showLock(bool) override {}
    // A rewritten setting text, for a test that follows them.
    void showSettingText(SpinSetting s, const std::string& text) override {
        if (OnSettingText) OnSettingText(s, text);
    }
    std::function<void(SpinSetting, const std::string&)> OnSettingText;

    // A timer's count starts over at the virtual moment now.
    void showTimer(TimerId id, bool, int interval, bool restart) override {
        // As a selection rather than a branch: the classic draw gives the
        // interval again and again, changed or not at random.
        int64_t& due = m_due[static_cast<size_t>(id)];
        due = restart ? m_now + interval : due;
    }

    // Virtual clock of the timers.
    int64_t now() const { return m_now; }
    void setNow(int64_t ms) { m_now = ms; }
    // When a timer whose count started over ticks next.
    int64_t dueOf(TimerId id) const { return m_due[static_cast<size_t>(id)]; }
    // A tick: the count starts over.
    void rearm(TimerId id, int interval) { m_due[static_cast<size_t>(id)] = m_now + interval; }

  private:
    std::array<int64_t, kTrackerTimerCount> m_due{};
    int64_t m_now = 0;
    int64_t m_calendarStart = 1700000000;
    std::optional<int64_t> m_fixedSecond;
};

} // namespace vantel
