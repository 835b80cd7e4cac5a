#include "snapshot.h"

#include "tracker.h"

namespace vantel {

namespace {

// The members of the tracker, in their order. A member added to the tracker
// changes its size and stops the build here: a new working list must be
// captured below.
struct TrackerMembers {
    std::array<NumberList, 14> lists;
    TrackerObserver* observer;
    CalendarClock calendar;
    bool quiet;
    VirtualClock clock; // the virtual time goes on: nothing to capture
    Generator generator;
    DrawNumbers classicDraw{0}; // made again from its seed: nothing to capture
    TrackerState state;
    TrackerShown shown;
    // The settings are the window's: a spin taken back leaves them as they are.
    Settings settings;
    int system;
    std::array<SettingText, kSpinSettingCount> texts;
    std::array<TimerRequest, kTrackerTimerCount> timers;
    // Lives only inside one Sequential mode step: nothing to capture.
    std::optional<SpinOutlay> sequentialOutlay;
    Tracker::SpinRecorder recorder;
};
static_assert(sizeof(TrackerMembers) == sizeof(Tracker),
              "the tracker has a new member: capture it in snapshot() and restore it");

size_t textBytes(const std::string& text) {
    return text.size() >= sizeof(std::string) - sizeof(size_t) - sizeof(char*) ? text.size() + 1
                                                                               : 0;
}

} // namespace

size_t Snapshot::bytes() const {
    size_t total = sizeof(Snapshot) + textBytes(betText);
    for (const NumberList* list :
         {&Prediction_List, &Classic_Numbers_Cur1, &Classic_Numbers_Cur2, &Classic_Numbers_Cur3,
          &Sequential_Numbers_Cur, &Mode2_Numbers_Cur})
        total += list->lineBytes();
    for (const std::string& text : historyText)
        total += textBytes(text);
    return total;
}

Snapshot Tracker::snapshot() const {
    Snapshot s;
    s.state = m_state;
    s.generator = m_generator;
    s.numbersCount = NumbersList.count();
    s.Prediction_List = Prediction_List;
    s.Classic_Numbers_Cur1 = Classic_Numbers_Cur1;
    s.Classic_Numbers_Cur2 = Classic_Numbers_Cur2;
    s.Classic_Numbers_Cur3 = Classic_Numbers_Cur3;
    s.Sequential_Numbers_Cur = Sequential_Numbers_Cur;
    s.Mode2_Numbers_Cur = Mode2_Numbers_Cur;

    s.currentNum = m_shown.currentNum;
    for (int n = 0; n <= kHighestNumber; ++n)
        if (m_shown.lit[static_cast<size_t>(n)]) s.actNumbers |= uint64_t{1} << n;
    for (int cell = 1; cell <= kHistoryCells; ++cell) {
        s.historyText[static_cast<size_t>(cell - 1)] = m_shown.strip.text(cell);
        s.historyColour[static_cast<size_t>(cell - 1)] = m_shown.strip.colour(cell);
    }
    s.betText = m_shown.bet();
    s.progressBar = m_shown.progress;
    for (TimerId id : kTrackerTimers)
        s.timers[static_cast<size_t>(id)] = {timerEnabled(id), timerInterval(id)};
    return s;
}

void Tracker::restore(const Snapshot& before) {
    m_state = before.state;
    m_generator = before.generator;
    // Only the lines the spins since then appended go.
    while (NumbersList.count() > before.numbersCount)
        NumbersList.remove(NumbersList.count() - 1);
    Prediction_List = before.Prediction_List;
    Classic_Numbers_Cur1 = before.Classic_Numbers_Cur1;
    Classic_Numbers_Cur2 = before.Classic_Numbers_Cur2;
    Classic_Numbers_Cur3 = before.Classic_Numbers_Cur3;
    Sequential_Numbers_Cur = before.Sequential_Numbers_Cur;
    Mode2_Numbers_Cur = before.Mode2_Numbers_Cur;

    m_shown.currentNum = before.currentNum;
    for (int n = 0; n <= kHighestNumber; ++n)
        showLit(n, (before.actNumbers >> n) & 1u);
    for (int cell = 1; cell <= kHistoryCells; ++cell)
        m_shown.strip.set(cell, before.historyText[static_cast<size_t>(cell - 1)],
                          before.historyColour[static_cast<size_t>(cell - 1)]);
    if (m_observer) m_observer->stripMoved(m_shown.strip);
    showBet(before.betText);
    showProgress(before.progressBar);
    for (TimerId id : kTrackerTimers) {
        const Snapshot::TimerSetting& t = before.timers[static_cast<size_t>(id)];
        setTimerInterval(id, t.interval);
        setTimerEnabled(id, t.on);
    }
}

} // namespace vantel
