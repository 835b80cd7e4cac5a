#pragma once

#include "board.h"
#include "int_convert.h"

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

// The items of the main window that the tracker reads and writes. The window
// implements them with widgets; HeadlessItems keeps them as plain values.
class WindowItems {
  public:
    virtual ~WindowItems() = default;

    // The calendar the classic draw seeds from, in seconds since 1970-01-01 UTC.
    virtual int64_t calendarSeconds() const = 0;

    // The current number, held as the tag of the hidden label CurrentNum.
    virtual int currentNum() const = 0;
    virtual void setCurrentNum(int n) = 0;

    // The settings, as core/settings.h names them: the index of a choice, or
    // the Betting System by its name.
    virtual int gameMode() const = 0;
    virtual std::string bettingSystem() const = 0;
    virtual int32_t initialBet() = 0; // reading may rewrite the text
    virtual int safeLevel() const = 0;
    virtual bool fixedMatrix() const = 0;
    virtual int mode3Reset() const = 0; // Reset on
    virtual int32_t increaseTill() = 0;
    virtual int progression() const = 0;
    virtual int32_t sequentialLosses() = 0;
    virtual int32_t sequentialWins() = 0;

    // Marks and texts.
    virtual bool actNumberVisible(int n) const = 0;
    virtual void setActNumberVisible(int n, bool visible) = 0;
    virtual std::string historyText(int cell) const = 0; // cells 1..10
    virtual void setHistoryText(int cell, const std::string& text) = 0;
    virtual uint32_t historyColour(int cell) const = 0;
    virtual void setHistoryColour(int cell, uint32_t rgb) = 0;
    virtual std::string betText() const = 0;
    virtual void setBetText(const std::string& text) = 0;
    virtual int progressBar() const = 0;
    virtual void setProgressBar(int progress) = 0; // held within 0..18

    // Shorter ways to what the items above do.
    // Bet shows the decimal text of v: setBetText(IntToStr(v)). An
    // implementation may keep the number and make its text when it is read.
    virtual void setBetValue(int64_t v) { setBetText(IntToStr(v)); }
    // Whether the betting system is the one named: bettingSystem() == name.
    virtual bool bettingSystemIs(std::string_view name) const { return bettingSystem() == name; }

    // The bar one step on: setProgressBar(progressBar() + 1).
    virtual void stepProgressBar() { setProgressBar(progressBar() + 1); }
    // Two intervals given in turn: setTimerInterval(id, first), then
    // setTimerInterval(id, then).
    virtual void setTimerIntervalTwice(TimerId id, int first, int then) {
        setTimerInterval(id, first);
        setTimerInterval(id, then);
    }

    // The strip moves on with the decimal text of n, as pushHistory below.
    virtual void pushHistoryNumber(int n, uint32_t rgb) { pushHistory(IntToStr(n), rgb); }

    // Writes to a whole family at once. Each is exactly the single writes
    // written out below, in their order; an implementation may take a shorter
    // way to the same end.
    // Every mark Act_Number0..Act_Number36 hidden.
    virtual void hideActNumbers() {
        for (int n = 0; n <= kHighestNumber; ++n)
            setActNumberVisible(n, false);
    }
    // The strip moves on by one: cells 2..10 take the colours, then the texts,
    // of cells 1..9 (the last cell's fall off); cell 1 shows text in rgb.
    virtual void pushHistory(const std::string& text, uint32_t rgb) {
        for (int k = kHistoryCells - 1; k >= 1; --k)
            setHistoryColour(k + 1, historyColour(k));
        for (int k = kHistoryCells - 1; k >= 1; --k)
            setHistoryText(k + 1, historyText(k));
        setHistoryText(1, text);
        setHistoryColour(1, rgb);
    }

    // Timers: an on/off flag and an interval in milliseconds.
    virtual bool timerEnabled(TimerId id) const = 0;
    virtual void setTimerEnabled(TimerId id, bool on) = 0;
    virtual int timerInterval(TimerId id) const = 0;
    virtual void setTimerInterval(TimerId id, int ms) = 0;

    // Locking.
    virtual void Disable_Buttons() = 0;
    virtual void Enable_Buttons() = 0;
    virtual bool buttonsLocked() const = 0;
};

} // namespace vantel
