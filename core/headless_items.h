#pragma once

#include "settings.h"
#include "spin_rules.h"
#include "window_items.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

namespace vantel {

// Window items as plain values, for tests and for playing spins without a
// window: the settings as values, nothing shown, and a virtual clock in
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

    int gameMode() const override { return m_gameMode; }
    std::string bettingSystem() const override { return m_bettingSystem; }
    bool bettingSystemIs(std::string_view name) const override { return m_bettingSystem == name; }
    int32_t initialBet() override { return Initial_Bet.value(); }
    int safeLevel() const override { return m_safeLevel; }
    bool fixedMatrix() const override { return m_fixedMatrix; }
    int mode3Reset() const override { return m_mode3Reset; }
    int32_t increaseTill() override { return Increase_Till.value(); }
    int progression() const override { return m_progression; }
    int32_t sequentialLosses() override { return Sequential_Losses.value(); }
    int32_t sequentialWins() override { return Sequential_Wins.value(); }

    // The tracker keeps what it shows; shown nowhere here. Defined here so that
    // the tracker's procedures built for these items drop the calls.
    void showLit(int, bool) override {}
    void showNoneLit() override {}
    void showStrip(const HistoryStrip&) override {}
    void showBet(const std::string&) override {}
    void showBetValue(int64_t) override {}
    void showProgress(int) override {}
    void showLock(bool) override {}

    // A timer's count starts over at the virtual moment now.
    void showTimer(TimerId id, bool, int interval, bool restart) override {
        // As a selection rather than a branch: the classic draw gives the
        // interval again and again, changed or not at random.
        int64_t& due = m_due[static_cast<size_t>(id)];
        due = restart ? m_now + interval : due;
    }

    // Settings a test or driver changes directly. Each keeps its control's
    // range: a selection outside the list's items changes nothing, and the safe
    // level is held within the track bar's 0..10.
    void setGameMode(int index);
    void setBettingSystem(const std::string& name);
    void setSafeLevel(int level);
    void setFixedMatrix(bool on) { m_fixedMatrix = on; }
    void setMode3Reset(int index);
    void setProgression(int index);

    // Every setting at once, in the order a player sets up the window.
    void apply(const Settings& settings);

    SpinValue Initial_Bet{setting::kInitialBet.bounds(), setting::kInitialBet.defaultValue};
    SpinValue Increase_Till{setting::kIncreaseTill.bounds(), setting::kIncreaseTill.defaultValue};
    SpinValue Sequential_Losses{setting::kMCount.bounds(), setting::kMCount.defaultValue};
    SpinValue Sequential_Wins{setting::kWCount.bounds(), setting::kWCount.defaultValue};

    // Virtual clock of the timers.
    int64_t now() const { return m_now; }
    void setNow(int64_t ms) { m_now = ms; }
    // When a timer whose count started over ticks next.
    int64_t dueOf(TimerId id) const { return m_due[static_cast<size_t>(id)]; }
    // A tick: the count starts over.
    void rearm(TimerId id, int interval) { m_due[static_cast<size_t>(id)] = m_now + interval; }

  private:
    int m_gameMode = setting::kGameMode.defaultIndex;
    std::string m_bettingSystem = std::string(setting::kBettingSystem.defaultName());
    int m_safeLevel = setting::kSafeLevel.defaultValue;
    bool m_fixedMatrix = setting::kFixedMatrix.defaultValue;
    int m_mode3Reset = setting::kResetOn.defaultIndex;
    int m_progression = setting::kProgression.defaultIndex;
    std::array<int64_t, kTrackerTimerCount> m_due{};
    int64_t m_now = 0;
    int64_t m_calendarStart = 1700000000;
    std::optional<int64_t> m_fixedSecond;
};

} // namespace vantel
