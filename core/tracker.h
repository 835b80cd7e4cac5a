#pragma once

#include "board.h"
#include "generator.h"
#include "number_list.h"
#include "outlay.h"
#include "snapshot.h"
#include "stakes.h"
#include "tracker_observer.h"
#include "tracker_settings.h"
#include "tracker_shown.h"
#include "tracker_state.h"
#include "virtual_clock.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>

namespace vantel {

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

// The most numbers an analysis suggests.
constexpr int kMaxSuggestion = 18;

// The spin-tracking core: the shared state, the number lists and every
// procedure of a spin, from the click on a board number to the end of the
// analysis it starts. It keeps everything the window shows and tells an
// observer what changed; the window follows it, the backtest has none. The
// calendar is the window's clock when given one, else the virtual clock's,
// on which the timers' requests also fall due.
class Tracker {
  public:
    Tracker() = default;
    Tracker(const Tracker&) = delete;
    Tracker& operator=(const Tracker&) = delete;

    // Who is told what changed (none: nobody); not owned.
    void setObserver(TrackerObserver* observer) {
        m_observer = observer;
        m_quiet = !m_observer && !m_calendar;
    }
    // The calendar the classic draw seeds from, in seconds since 1970-01-01
    // UTC; none: the virtual clock's calendar.
    void setCalendar(CalendarClock calendar) {
        m_calendar = std::move(calendar);
        m_quiet = !m_observer && !m_calendar;
    }
    int64_t calendarSeconds() const {
        return m_calendar ? m_calendar() : m_clock.calendarSeconds();
    }
    // The virtual clock of a tracker played without a window.
    VirtualClock& clock() { return m_clock; }
    const VirtualClock& clock() const { return m_clock; }

    // The number procedure of board number n: stores n as the current number
    // and runs Analyse; nothing while locked. Every board cell runs it.
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
    // Whether the tracker has neither an observer nor a window's calendar: the
    // backtest's.
    bool quiet() const { return m_quiet; }
    // The tick of a quiet tracker, which tells nobody; defined in
    // tracker_ticks.h, so that the headless driver's loop takes it inline.
    void quietTick(TimerId id);
    // After an error ended a spin: when the window is locked and no analysis is
    // running to unlock it, starts the stake progression over as Reset does
    // (row 0, Bet the initial bet) and unlocks. Returns whether it unlocked.
    bool recoverAfterError();

    // Everything a spin changes, as it stands now, and its restoration through
    // told to the observer (defined in snapshot.cpp).
    Snapshot snapshot() const;
    void restore(const Snapshot& before);
    // Given the snapshot of the moment before every spin that is entered.
    using SpinRecorder = std::function<void(Snapshot&& before, int number)>;
    void setSpinRecorder(SpinRecorder recorder) { m_spinRecorder = std::move(recorder); }

    // Locks the window for an analysis (new spins and settings refused), and
    // unlocks it. Neither counts or nests.
    void Disable_Buttons();
    void Enable_Buttons();

    // The settings, given by the window as its controls change (the tracker
    // never reads a control). A selection outside a list's choices changes
    // nothing; the safe level is held within 0..10.
    // As they stand: a spin setting as its text reads, without rewriting it.
    Settings settings() const {
        Settings s = m_settings;
        for (SpinSetting f : kSpinSettings)
            s.*settingMember(f) = spinRead(spinText(f).bounds(), spinText(f).text()).value;
        return s;
    }
    void setGameMode(int index) {
        if (setting::kGameMode.holds(index)) m_settings.gameMode = index;
    }
    void setBettingSystem(const std::string& name) {
        const int index = setting::kBettingSystem.indexOf(name);
        if (index < 0) return;
        m_settings.bettingSystem = name;
        m_system = index;
    }
    void setSafeLevel(int level) { m_settings.safeLevel = setting::kSafeLevel.clamp(level); }
    void setFixedMatrix(bool on) { m_settings.fixedMatrix = on; }
    void setMode3Reset(int index) {
        if (setting::kResetOn.holds(index)) m_settings.mode3Reset = index;
    }
    void setProgression(int index) {
        if (setting::kProgression.holds(index)) m_settings.progression = index;
    }
    // A spin setting's text as it now stands in its edit; a change of Init.
    // Bet, M. Count or W. Count starts the stakes over (Initial_BetChange), as
    // every change of their text does. Returns whether the text changed.
    bool typeSettingText(SpinSetting s, const std::string& text);
    // The text as its edit starts with it: nothing runs.
    void setSettingTextQuietly(SpinSetting s, const std::string& text) { spinText(s).set(text); }
    // Reads a spin setting as a step of the tracker does, by the rules of its
    // text (tracker_settings.h): the reading may rewrite it and start the stakes over.
    int32_t readSetting(SpinSetting s) { return spinValue(s); }
    // The text as the tracker keeps it: as typed, or as its reading rewrote it.
    const std::string& settingText(SpinSetting s) const { return spinText(s).text(); }
    // Every setting at once, each spin setting as the decimal text of its
    // value held within its range; nothing runs (the settings a window starts
    // with).
    void setSettings(const Settings& s);
    // Every setting at once, in the order a player sets up the window: each
    // spin setting typed, Init. Bet last, so that its change starts the
    // stakes over with the rest in place.
    void applySettings(const Settings& s);

    // What the tracker shows in the window, kept by the tracker itself.
    const TrackerShown& shown() const { return m_shown; }
    int currentNum() const { return m_shown.currentNum; }
    bool actNumberVisible(int n) const { return m_shown.isLit(n); }
    std::string historyText(int cell) const { return m_shown.strip.text(cell); }
    uint32_t historyColour(int cell) const { return m_shown.strip.colour(cell); }
    std::string betText() const { return m_shown.bet(); }
    int progressBar() const { return m_shown.progress; }
    bool buttonsLocked() const { return m_shown.locked; }
    // The timers' requests: on or off, and the interval in milliseconds.
    bool timerEnabled(TimerId id) const { return timer(id).on; }
    int timerInterval(TimerId id) const { return timer(id).interval; }

    const TrackerState& state() const { return m_state; }
    TrackerState& state() { return m_state; }
    // When a timer whose count started over falls due on the virtual clock.
    int64_t timerDue(TimerId id) const { return timer(id).due; }
    // A tick of a timer on the virtual clock: its count starts over now.
    void rearmTimer(TimerId id) {
        TimerRequest& t = timer(id);
        t.due = m_clock.now + t.interval;
    }

    NumberList NumbersList;
    NumberList Prediction_List;
    const NumberList Classic_Numbers_Def1 = NumberList::range(0, 12);
    const NumberList Classic_Numbers_Def2 = NumberList::range(13, 24);
    const NumberList Classic_Numbers_Def3 = NumberList::range(25, 36);
    NumberList Classic_Numbers_Cur1 = NumberList::range(0, 12);
    NumberList Classic_Numbers_Cur2 = NumberList::range(13, 24);
    NumberList Classic_Numbers_Cur3 = NumberList::range(25, 36);
    const NumberList System_Martingale = NumberList::of(stakes::kMartingale);
    const NumberList System_Donald = NumberList::of(stakes::kDonald);
    const NumberList Sequential_Numbers_Def = NumberList::range(0, 36);
    NumberList Sequential_Numbers_Cur = NumberList::range(0, 36);
    const NumberList Mode2_Numbers_Def = NumberList::range(0, 36);
    NumberList Mode2_Numbers_Cur = NumberList::range(0, 36);

  private:
    // The settings chosen from a list, a slider or a box, as given.
    void setChoices(const Settings& s);
    // Whether a step tells the observer what it changed: Maybe, when there may
    // be one; Never, in the tick of a tracker that has none nor a calendar of a
    // window's (the backtest's), whose loop so pays nothing for the window.
    enum class Tell { Maybe, Never };
    // The bodies of the tick procedures (tracker_ticks.h).
    template <Tell T> void tickBody(TimerId id);
    template <Tell T> void classicTick();
    template <Tell T> void mode2Tick();
    template <Tell T> void fixedMatrixTick();
    template <Tell T> void sequentialTick();
    void pickFrom(NumberList& list, const DrawNumbers& draw);
    template <Tell T> void pickTick(int32_t& step, int last, const NumberList& list, TimerId timer);
    template <Tell T = Tell::Maybe> void lightPicked();
    // Lights a number when the loss streak has reached the safe level.
    template <Tell T = Tell::Maybe> void lightNumber(int n);
    template <Tell T> void endAnalysis(TimerId id, int32_t& step);
    // The classic draw's numbers for the calendar second as it is now.
    template <Tell T> const DrawNumbers& classicDrawNow();
    // The numbers of the second of virtual moment now, the calendar at start
    // seconds when the virtual clock is at 0.
    void followSecondOf(int64_t now, int64_t start);

    // The mode step of Mode1 and Mode2: judge the spin, then draw (or light the
    // same numbers again under Fixed Matrix).
    void judgeThenAnalyse(void (Tracker::*analysis)());
    // The mode step of Sequential.
    void sequentialStep();
    void orderHotNumbers();
    void orderLongestWaiting();
    // Row index of a stake table times the initial bet, in Bet.
    void showRowStake(const NumberList& table, int32_t index);
    // Row 0 of the selected table times the initial bet, in Bet.
    void startProgression();
    // Holds the sequence to the settings as they are now.
    void holdSequence();
    int32_t sequentialCap();

    // A spin setting's value by the rules of its text (tracker_settings.h).
    SettingText& spinText(SpinSetting s) { return m_texts[static_cast<size_t>(s)]; }
    const SettingText& spinText(SpinSetting s) const { return m_texts[static_cast<size_t>(s)]; }
    int32_t spinValue(SpinSetting s) {
        const SettingText& t = spinText(s);
        return t.valueKnown() ? t.value() : readSpinText(s);
    }
    int32_t readSpinText(SpinSetting s);
    int32_t initialBet() { return spinValue(SpinSetting::InitialBet); }
    int32_t increaseTill() { return spinValue(SpinSetting::IncreaseTill); }
    int32_t sequentialLosses() { return spinValue(SpinSetting::MCount); }
    int32_t sequentialWins() { return spinValue(SpinSetting::WCount); }
    bool bettingSystemIs(int index) const { return m_system == index; }

    TimerRequest& timer(TimerId id) { return m_timers[static_cast<size_t>(id)]; }
    const TimerRequest& timer(TimerId id) const { return m_timers[static_cast<size_t>(id)]; }
    // Switching a timer on, or giving it another interval while on, starts its
    // count over; the state or interval it already has changes nothing.
    template <Tell T = Tell::Maybe> void setTimerEnabled(TimerId id, bool on) {
        TimerRequest& t = timer(id);
        if (t.on == on) return;
        t.on = on;
        if (on) t.due = m_clock.now + t.interval;
        if (T == Tell::Maybe && m_observer) m_observer->timerChanged(id, on, t.interval, on);
    }
    void setTimerInterval(TimerId id, int ms) {
        TimerRequest& t = timer(id);
        const bool restart = t.on && t.interval != ms;
        t.interval = ms;
        t.due = restart ? m_clock.now + ms : t.due;
        if (m_observer) m_observer->timerChanged(id, t.on, ms, restart);
    }
    // Two intervals given in turn: either change restarts the count, both at
    // the same moment, so once.
    template <Tell T> void setTimerIntervalTwice(TimerId id, int first, int then) {
        TimerRequest& t = timer(id);
        const bool restart = t.on && (t.interval != first || first != then);
        t.interval = then;
        // As a selection rather than a branch: the classic draw gives the
        // interval again and again, changed or not at random.
        t.due = restart ? m_clock.now + then : t.due;
        if (T == Tell::Maybe && m_observer) m_observer->timerChanged(id, t.on, then, restart);
    }

    // Each changes what the tracker keeps and shows it.
    template <Tell T = Tell::Maybe> void showLit(int n, bool lit) {
        m_shown.lit[static_cast<size_t>(n)] = lit;
        if (T == Tell::Maybe && m_observer) m_observer->litChanged(n, lit);
    }
    void showBet(const std::string& text) {
        m_shown.betText = text;
        m_shown.betIsValue = false;
        if (m_observer) m_observer->stakeChanged(text);
    }
    void showBetValue(int64_t v) {
        m_shown.betValue = v;
        m_shown.betIsValue = true;
        if (m_observer) m_observer->stakeChanged(IntToStr(v));
    }
    template <Tell T = Tell::Maybe> void showProgress(int progress) {
        m_shown.progress = std::clamp(progress, 0, kProgressBarMax);
        if (T == Tell::Maybe && m_observer) m_observer->progressChanged(m_shown.progress);
    }
    // The bar one step on; it is never below 0, so only the top needs holding.
    template <Tell T> void stepProgress() {
        m_shown.progress = std::min(m_shown.progress + 1, kProgressBarMax);
        if (T == Tell::Maybe && m_observer) m_observer->progressChanged(m_shown.progress);
    }

    TrackerObserver* m_observer = nullptr;
    CalendarClock m_calendar;
    // Neither an observer nor a calendar of a window's: the backtest's tracker,
    // whose ticks tell nobody and read the virtual clock's calendar.
    bool m_quiet = true;
    VirtualClock m_clock;
    Generator m_generator;
    // Made again from its seed whenever the second changes: never captured.
    DrawNumbers m_classicDraw{0};
    TrackerState m_state;
    TrackerShown m_shown;
    Settings m_settings;
    // The Betting System's index in its list.
    int m_system = setting::kBettingSystem.defaultIndex;
    std::array<SettingText, kSpinSettingCount> m_texts{
        SettingText(SpinSetting::InitialBet), SettingText(SpinSetting::IncreaseTill),
        SettingText(SpinSetting::MCount), SettingText(SpinSetting::WCount)};
    // Every timer starts off, at its start interval.
    std::array<TimerRequest, kTrackerTimerCount> m_timers{{{false, kTimerStartIntervals[0]},
                                                           {false, kTimerStartIntervals[1]},
                                                           {false, kTimerStartIntervals[2]},
                                                           {false, kTimerStartIntervals[3]}}};
    // What the player placed on the spin being judged in Sequential.
    std::optional<SpinOutlay> m_sequentialOutlay;
    SpinRecorder m_spinRecorder;
};

} // namespace vantel
