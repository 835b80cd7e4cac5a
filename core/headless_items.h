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
// window. Timers keep their due time on a virtual clock in milliseconds.
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

    int currentNum() const override { return m_currentNum; }
    void setCurrentNum(int n) override { m_currentNum = n; }

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

    // The setters the tracker calls on every tick are defined here, so that
    // the tracker's procedures built for these items take them inline.
    bool actNumberVisible(int n) const override {
        return n >= 0 && n <= kHighestNumber && m_act[static_cast<size_t>(n)];
    }
    void setActNumberVisible(int n, bool visible) override {
        if (n >= 0 && n <= kHighestNumber) m_act[static_cast<size_t>(n)] = visible;
    }
    std::string historyText(int cell) const override;
    void setHistoryText(int cell, const std::string& text) override;
    uint32_t historyColour(int cell) const override;
    void setHistoryColour(int cell, uint32_t rgb) override;
    // Bet keeps a number written as one, and shows its decimal text.
    std::string betText() const override { return m_betIsValue ? IntToStr(m_betValue) : m_bet; }
    void setBetText(const std::string& text) override {
        m_bet = text;
        m_betIsValue = false;
    }
    void setBetValue(int64_t v) override {
        m_betValue = v;
        m_betIsValue = true;
    }
    int progressBar() const override { return m_progress; }
    void setProgressBar(int progress) override { m_progress = std::clamp(progress, 0, 18); }
    // The bar is never below 0, so only the top needs holding.
    void stepProgressBar() override { m_progress = std::min(m_progress + 1, 18); }
    void hideActNumbers() override { m_act.fill(false); }
    void pushHistory(const std::string& text, uint32_t rgb) override;
    void pushHistoryNumber(int n, uint32_t rgb) override;

    bool timerEnabled(TimerId id) const override { return timer(id).on; }
    void setTimerEnabled(TimerId id, bool on) override {
        Timer& t = timer(id);
        if (t.on == on) return;
        t.on = on;
        if (on) rearm(id);
    }
    int timerInterval(TimerId id) const override { return timer(id).interval; }
    void setTimerInterval(TimerId id, int ms) override {
        // As a selection rather than a branch: the classic draw gives the
        // interval again and again, changed or not at random.
        Timer& t = timer(id);
        const bool restart = t.on && t.interval != ms;
        t.interval = ms;
        t.due = restart ? m_now + ms : t.due;
    }
    void setTimerIntervalTwice(TimerId id, int first, int then) override {
        // Either change restarts the count, and both restart it at the same
        // moment: once.
        Timer& t = timer(id);
        const bool restart = t.on && (t.interval != first || first != then);
        t.interval = then;
        t.due = restart ? m_now + then : t.due;
    }

    void Disable_Buttons() override { m_locked = true; }
    void Enable_Buttons() override { m_locked = false; }
    bool buttonsLocked() const override { return m_locked; }

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
    // When the timer ticks next, or -1 when it does not tick.
    int64_t dueAt(TimerId id) const {
        const Timer& t = timer(id);
        return t.on && t.interval > 0 ? t.due : -1;
    }
    void rearm(TimerId id) { timer(id).due = m_now + timer(id).interval; }

  private:
    struct Timer {
        bool on = false;
        int interval = 0;
        int64_t due = 0;
    };
    Timer& timer(TimerId id) { return m_timers[static_cast<size_t>(id)]; }
    const Timer& timer(TimerId id) const { return m_timers[static_cast<size_t>(id)]; }

    int m_currentNum = 0;
    int m_gameMode = setting::kGameMode.defaultIndex;
    std::string m_bettingSystem = std::string(setting::kBettingSystem.defaultName());
    int m_safeLevel = setting::kSafeLevel.defaultValue;
    bool m_fixedMatrix = setting::kFixedMatrix.defaultValue;
    int m_mode3Reset = setting::kResetOn.defaultIndex;
    int m_progression = setting::kProgression.defaultIndex;
    std::array<bool, kBoardNumbers> m_act{};
    // The strip as a ring: cell 1 is at m_historyFirst, cell k k - 1 places on.
    size_t slotOf(int cell) const {
        return (m_historyFirst + static_cast<size_t>(cell - 1)) % kHistoryCells;
    }
    // A cell pushed as a board number keeps the number (its text is made when
    // read); -1: the cell shows m_historyText.
    std::array<std::string, kHistoryCells> m_historyText{};
    std::array<int8_t, kHistoryCells> m_historyNumber{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    std::array<uint32_t, kHistoryCells> m_historyColour{};
    size_t m_historyFirst = 0;
    std::string m_bet = "1";
    int64_t m_betValue = 0;
    bool m_betIsValue = false;
    int m_progress = 0;
    std::array<Timer, kTrackerTimerCount> m_timers{};
    bool m_locked = false;
    int64_t m_now = 0;
    int64_t m_calendarStart = 1700000000;
    std::optional<int64_t> m_fixedSecond;
};

} // namespace vantel
