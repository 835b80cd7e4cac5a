#pragma once

#include "board.h"
#include "int_convert.h"
#include "tracker_settings.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vantel {

// The timers whose ticks run tracker procedures.
enum class TimerId { Classic, FixedMatrix, Mode2, Sequential };
constexpr int kTrackerTimerCount = 4;
constexpr std::array<TimerId, kTrackerTimerCount> kTrackerTimers = {
    TimerId::Classic, TimerId::FixedMatrix, TimerId::Mode2, TimerId::Sequential};

// Each timer's interval when the window starts; every timer starts off.
constexpr std::array<int, kTrackerTimerCount> kTimerStartIntervals = {60, 100, 60, 60};

// The history strip: cells 1 to 10.
constexpr int kHistoryCells = 10;

// Seconds since 1970-01-01 00:00:00 UTC.
using CalendarClock = std::function<int64_t()>;
int64_t systemCalendarSeconds();

constexpr uint32_t kColourBlack = 0x000000;
constexpr uint32_t kColourMaroon = 0x800000;
constexpr uint32_t kColourGreen = 0x008000;
constexpr uint32_t kColourNearBlack = 0x202020;

class HistoryStrip;

// The items of the main window: the calendar the tracker reads, and where it
// shows what it keeps itself (the lit marks, the strip, Bet, the progress bar,
// the lock, a setting's rewritten text and its timers' requests), which it
// never reads back. The settings are given to the tracker, never read from
// here. The window implements them with widgets; HeadlessItems shows nothing.
class WindowItems {
  public:
    virtual ~WindowItems() = default;

    // The calendar the classic draw seeds from, in seconds since 1970-01-01 UTC.
    virtual int64_t calendarSeconds() const = 0;

    // What the tracker shows, each once it has changed it.
    // Mark Act_Number n lit or dark.
    virtual void showLit(int n, bool lit) = 0;
    // Every mark Act_Number0..Act_Number36 dark.
    virtual void showNoneLit() {
        for (int n = 0; n <= kHighestNumber; ++n)
            showLit(n, false);
    }
    // The strip as it now stands (moved on by a spin, or restored).
    virtual void showStrip(const HistoryStrip& strip) = 0;
    // Bet's text; a number written as one shows its decimal text.
    virtual void showBet(const std::string& text) = 0;
    virtual void showBetValue(int64_t v) { showBet(IntToStr(v)); }
    // The progress bar, within 0..18.
    virtual void showProgress(int progress) = 0;
    // The lock: Disable_Buttons (true) or Enable_Buttons (false) has run.
    virtual void showLock(bool locked) = 0;
    // A spin setting's text as its reading rewrote it (tracker_settings.h);
    // the tracker has already run what the change starts.
    virtual void showSettingText(SpinSetting s, const std::string& text) = 0;

    // A timer's request as it now stands: on or off, and its interval in
    // milliseconds; restart: whether its count starts over now (switched on,
    // or given another interval while on).
    virtual void showTimer(TimerId id, bool on, int interval, bool restart) = 0;
};

} // namespace vantel
