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

// What the tracker tells of what it keeps, each once it has changed it; it
// never reads any of it back. Qt-free: the window follows it through one
// QObject that turns each notification into a signal (ui/window/tracker_signals.h);
// the backtest's tracker has no observer at all. Each notification does
// nothing unless overridden.
class TrackerObserver {
  public:
    virtual ~TrackerObserver() = default;

    // Mark Act_Number n lit or dark.
    virtual void litChanged(int /*n*/, bool /*lit*/) {}
    // The strip as it now stands (moved on by a spin, or restored).
    virtual void stripMoved(const HistoryStrip& /*strip*/) {}
    // Bet's text; a number written as one shows its decimal text.
    virtual void stakeChanged(const std::string& /*text*/) {}
    // The progress bar, within 0..18.
    virtual void progressChanged(int /*progress*/) {}
    // The lock: Disable_Buttons (true) or Enable_Buttons (false) has run.
    virtual void lockChanged(bool /*locked*/) {}
    // A spin setting's text as its reading rewrote it (tracker_settings.h);
    // the tracker has already run what the change starts.
    virtual void settingTextChanged(SpinSetting /*s*/, const std::string& /*text*/) {}
    // A timer's request as it now stands: on or off, and its interval in
    // milliseconds; restart: whether its count starts over now (switched on,
    // or given another interval while on).
    virtual void timerChanged(TimerId /*id*/, bool /*on*/, int /*interval*/, bool /*restart*/) {}
};

} // namespace vantel
