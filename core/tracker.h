#pragma once

#include "generator.h"
#include "number_list.h"
#include "outlay.h"
#include "snapshot.h"
#include "tracker_state.h"
#include "window_items.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace vantel {

class HeadlessItems;

// Seconds since 1970-01-01 00:00:00 UTC.
using CalendarClock = std::function<int64_t()>;
int64_t systemCalendarSeconds();

uint32_t historyColourOf(const std::string& text);
// The indicator's fill: maroon while the next lit draw is out of reach.
uint32_t indicatorColour(int32_t lossStreak, int safeLevel);

// What a tick of the classic draw takes from the generator seeded with a
// calendar second: its first number gives the interval (0 to 249 ms), its
// second the pick; and the generator after each. The calendar moves once a
// second while the draw ticks several times a second, so a tracker keeps the
// numbers of the last second it drew in.
struct DrawNumbers {
    explicit DrawNumbers(uint32_t s) { reseed(s); }
    void reseed(uint32_t s) {
        seed = s;
        afterInterval.seed(s);
        interval = afterInterval.next() % 250;
        afterPick = afterInterval;
        pick = afterPick.next();
    }
    uint32_t seed = 0;
    int32_t interval = 0;
    int32_t pick = 0;
    Generator afterInterval;
    Generator afterPick;
    // When the calendar follows a virtual clock: the moments of that clock
    // within the second, from + 0 to from + width - 1 (none at first).
    uint64_t from = 0;
    uint64_t width = 0;
};

#define VANTEL_NUMBER_PROC(N)                                                                      \
    void Button##N##Click() {                                                                      \
        numberClick(N);                                                                            \
    }

// The spin-tracking core: the shared state, the number lists and every
// procedure of a spin, from the click on a board number to the end of the
// analysis it starts. It sees the window only through WindowItems.
class Tracker {
  public:
    explicit Tracker(WindowItems& items, CalendarClock clock = systemCalendarSeconds);
    // On headless items whose calendar follows their virtual clock: at
    // calendarStart seconds when the virtual clock is at 0, one second later
    // every 1000 ms. The same as a clock returning calendarStart + now() / 1000,
    // read without a call through a function object.
    Tracker(HeadlessItems& items, int64_t calendarStart);

    // The number procedures, one per board number.
    // clang-format off
    VANTEL_NUMBER_PROC(0)
    VANTEL_NUMBER_PROC(1)
    VANTEL_NUMBER_PROC(2)
    VANTEL_NUMBER_PROC(3)
    VANTEL_NUMBER_PROC(4)
    VANTEL_NUMBER_PROC(5)
    VANTEL_NUMBER_PROC(6)
    VANTEL_NUMBER_PROC(7)
    VANTEL_NUMBER_PROC(8)
    VANTEL_NUMBER_PROC(9)
    VANTEL_NUMBER_PROC(10)
    VANTEL_NUMBER_PROC(11)
    VANTEL_NUMBER_PROC(12)
    VANTEL_NUMBER_PROC(13)
    VANTEL_NUMBER_PROC(14)
    VANTEL_NUMBER_PROC(15)
    VANTEL_NUMBER_PROC(16)
    VANTEL_NUMBER_PROC(17)
    VANTEL_NUMBER_PROC(18)
    VANTEL_NUMBER_PROC(19)
    VANTEL_NUMBER_PROC(20)
    VANTEL_NUMBER_PROC(21)
    VANTEL_NUMBER_PROC(22)
    VANTEL_NUMBER_PROC(23)
    VANTEL_NUMBER_PROC(24)
    VANTEL_NUMBER_PROC(25)
    VANTEL_NUMBER_PROC(26)
    VANTEL_NUMBER_PROC(27)
    VANTEL_NUMBER_PROC(28)
    VANTEL_NUMBER_PROC(29)
    VANTEL_NUMBER_PROC(30)
    VANTEL_NUMBER_PROC(31)
    VANTEL_NUMBER_PROC(32)
    VANTEL_NUMBER_PROC(33)
    VANTEL_NUMBER_PROC(34)
    VANTEL_NUMBER_PROC(35)
    VANTEL_NUMBER_PROC(36)
    // clang-format on

    using Procedure = void (Tracker::*)();
    // Button0Click .. Button36Click, indexed by number.
    static const std::array<Procedure, 37>& numberProcedures();

    // Stores n as the current number and runs Analyse; nothing while locked.
    void numberClick(int n);

    void Analyse();
    void CurrentNumber();
    void HistoryNum();
    void ModeStep();

    void Analize_Classic();
    void Timer_ClassicTimer();
    void ActNumber_Light();
    void Hide_Active();

    void WinCalc();
    void Calc_Bet();
    void Reset_BetsClick();
    void Initial_BetChange();

    void Analize_Mode2();
    void Timer_Mode2Timer();
    void Fixed_Matrix_TimerTimer();
    void Analize_Sequential();
    void Sequential_TimerTimer();
    void Calc_Bet_Sequential();
    void Reset_Sequential();

    // Runs the tick procedure of a timer.
    void tick(TimerId id);
    // The same, with the procedure taken inline on headless items (defined in
    // tracker_ticks.h, for the headless driver's loop).
    void tickInline(TimerId id);
    // After an error ended a spin: when the window is locked and no analysis is
    // running to unlock it, starts the stake progression over as Reset does
    // (row 0, Bet the initial bet) and unlocks. Returns whether it unlocked.
    bool recoverAfterError();

    // Everything a spin changes, as it stands now, and its restoration through
    // the window items (defined in snapshot.cpp).
    Snapshot snapshot() const;
    void restore(const Snapshot& before);
    // Given the snapshot of the moment before every spin that is entered.
    using SpinRecorder = std::function<void(Snapshot&& before, int number)>;
    void setSpinRecorder(SpinRecorder recorder) { m_spinRecorder = std::move(recorder); }

    const TrackerState& state() const { return m_state; }
    TrackerState& state() { return m_state; }
    WindowItems& items() { return m_items; }

    NumberList NumbersList;
    NumberList Prediction_List;
    const NumberList Classic_Numbers_Def1 = NumberList::range(0, 12);
    const NumberList Classic_Numbers_Def2 = NumberList::range(13, 24);
    const NumberList Classic_Numbers_Def3 = NumberList::range(25, 36);
    NumberList Classic_Numbers_Cur1 = NumberList::range(0, 12);
    NumberList Classic_Numbers_Cur2 = NumberList::range(13, 24);
    NumberList Classic_Numbers_Cur3 = NumberList::range(25, 36);
    const NumberList System_Martingale = martingaleTable();
    const NumberList System_Donald = NumberList::range(1, 1000);
    const NumberList Sequential_Numbers_Def = NumberList::range(0, 36);
    NumberList Sequential_Numbers_Cur = NumberList::range(0, 36);
    const NumberList Mode2_Numbers_Def = NumberList::range(0, 36);
    NumberList Mode2_Numbers_Cur = NumberList::range(0, 36);

  private:
    static NumberList martingaleTable();
    void pickFrom(NumberList& list, const DrawNumbers& draw);

    // The procedures of a timer tick, built twice from the same code: for any
    // window items, and for the headless items, which they then call directly
    // rather than through WindowItems. withItems runs body with the items at
    // hand, as the headless items when they are.
    template <class Body> void withItems(Body&& body);
    template <class Items> void classicTick(Items& items);
    template <class Items>
    void pickTick(Items& items, int32_t& step, int last, const NumberList& list, TimerId timer);
    template <class Items> void mode2Tick(Items& items);
    template <class Items> void fixedMatrixTick(Items& items);
    template <class Items> void sequentialTick(Items& items);
    template <class Items> void lightPicked(Items& items);
    // Lights a number when the loss streak has reached the safe level.
    template <class Items> void lightNumber(Items& items, int n);
    template <class Items> void advanceProgress(Items& items);
    template <class Items> void endAnalysis(Items& items, TimerId id, int32_t& step);
    // The procedures of a spin, built the same two ways; each public procedure
    // runs its twin with the items at hand.
    template <class Items> void numberClickIn(Items& items, int n);
    template <class Items> void analyseIn(Items& items);
    template <class Items> void currentNumberIn(Items& items);
    template <class Items> void historyNumIn(Items& items);
    template <class Items> void modeStepIn(Items& items);
    template <class Items> void judgeThenAnalyseIn(Items& items, Procedure analysis);
    template <class Items> void hideActiveIn(Items& items);
    template <class Items> void winCalcIn(Items& items);
    template <class Items> void calcBetIn(Items& items);
    template <class Items> void analizeClassicIn(Items& items);
    template <class Items> void setBetValueIn(Items& items, int64_t v);
    template <class Items>
    void showRowStakeIn(Items& items, const NumberList& table, int32_t index);
    void orderHotNumbers();
    void setBetValue(int64_t v);
    // Row index of a stake table times the initial bet, in Bet.
    void showRowStake(const NumberList& table, int32_t index);
    // Row 0 of the selected table times the initial bet, in Bet.
    void startProgression();

    // The mode step of Sequential (that of Mode1 and Mode2 is judgeThenAnalyseIn).
    void sequentialStep();
    void orderLongestWaiting();
    // Holds the sequence to the settings as they are now.
    void holdSequence();
    int32_t sequentialCap();

    // What the player placed on the spin being judged in Sequential.
    std::optional<SpinOutlay> m_sequentialOutlay;

    WindowItems& m_items;
    // m_items when they are the headless items, else null.
    HeadlessItems* m_headless = nullptr;
    CalendarClock m_clock;
    // Set by the second constructor: the calendar follows m_headless's clock.
    std::optional<int64_t> m_calendarStart;
    int64_t calendarSeconds() const;
    // The classic draw's numbers for the calendar second as it is now.
    const DrawNumbers& classicDrawNow();
    void followSecondOf(int64_t now);
    Generator m_generator;
    // Made again from its seed whenever the second changes: never captured.
    DrawNumbers m_classicDraw{0};
    TrackerState m_state;
    SpinRecorder m_spinRecorder;
};

#undef VANTEL_NUMBER_PROC

} // namespace vantel
