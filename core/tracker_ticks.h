#pragma once

// The tick procedures of the tracker's timers, for any window items. They are
// defined in a header so that the headless driver takes them inline in its
// loop (tickInline): on the classic draw, the call, the entry of the procedure
// and the choice of the timer cost as much as a seventh of a tick.

#include "headless_items.h"
#include "tracker.h"

namespace vantel {

// The most numbers an analysis suggests.
constexpr int kMaxSuggestion = 18;

// A line converted as StrToInt converts its text: raises the conversion error.
[[noreturn, gnu::cold, gnu::noinline]] void failLine(const NumberList& list, int i);

inline int32_t lineToInt(const NumberList& list, int i) {
    if (const auto v = list.intAt(i)) return *v;
    failLine(list, i);
}

inline const DrawNumbers& Tracker::classicDrawNow() {
    if (m_calendarStart) {
        const auto now = static_cast<uint64_t>(m_headless->now());
        if (now - m_classicDraw.from >= m_classicDraw.width)
            followSecondOf(static_cast<int64_t>(now));
        return m_classicDraw;
    }
    const auto seed = static_cast<uint32_t>(m_clock());
    if (seed != m_classicDraw.seed) m_classicDraw.reseed(seed);
    return m_classicDraw;
}

inline void Tracker::pickFrom(NumberList& list, const DrawNumbers& draw) {
    const int c = list.count();
    if (c <= 0) return;
    m_generator = draw.afterPick;
    int index = 0;
    int32_t v = 0;
    if (!list.takeIntAtRemainder(draw.pick, index, v)) failLine(list, index);
    m_state.Picked_Number = v;
}

template <class Items>
[[gnu::always_inline]] inline void Tracker::lightNumber(Items& items, int n) {
    if (m_state.Loss_Streak < items.safeLevel()) return;
    items.setActNumberVisible(n, true);
    m_state.Bet_Active = 1;
}

template <class Items> [[gnu::always_inline]] inline void Tracker::lightPicked(Items& items) {
    if (Prediction_List.count() < kMaxSuggestion) Prediction_List.append(m_state.Picked_Number);
    lightNumber(items, m_state.Picked_Number);
}

template <class Items> inline void Tracker::advanceProgress(Items& items) {
    items.stepProgressBar();
}

template <class Items> inline void Tracker::endAnalysis(Items& items, TimerId id, int32_t& step) {
    items.setTimerEnabled(id, false);
    step = 0;
    items.setProgressBar(0);
    items.Enable_Buttons();
}

template <class Items> [[gnu::always_inline]] inline void Tracker::classicTick(Items& items) {
    // The generator is seeded with the second and gives the interval, then the
    // pick; the numbers of a second are the same at every tick within it.
    const DrawNumbers& draw = classicDrawNow();
    m_generator = draw.afterInterval;
    const int interval = draw.interval;
    // A short interval becomes 150. Giving the timer the interval it already
    // has changes nothing, so the second setting is made either way, which
    // spares the draw a branch on a random number.
    items.setTimerIntervalTwice(TimerId::Classic, interval, interval < 100 ? 150 : interval);

    items.stepProgressBar();
    const int s = ++m_state.Classic_Step;
    // Steps 1-6 draw from the first third, 7-12 the second, 13-18 the last;
    // one call site, so the draw is inlined.
    NumberList* third = nullptr;
    if (s >= 1 && s <= 6)
        third = &Classic_Numbers_Cur1;
    else if (s >= 7 && s <= 12)
        third = &Classic_Numbers_Cur2;
    else if (s >= 13 && s <= 18)
        third = &Classic_Numbers_Cur3;
    if (third) pickFrom(*third, draw);
    lightPicked(items);

    if (s > 18) {
        items.setProgressBar(0);
        items.setTimerEnabled(TimerId::Classic, false);
        m_state.Classic_Step = 0;
        items.Enable_Buttons();
    }
}

// One step of a draw that lights its list's numbers in order, at most `last`
// of them: the next number while there is one, else the end of the analysis.
template <class Items>
inline void Tracker::pickTick(Items& items, int32_t& step, int last, const NumberList& list,
                              TimerId timer) {
    const int s = ++step;
    if (s <= last && s <= list.count()) {
        m_state.Picked_Number = lineToInt(list, s - 1);
        lightPicked(items);
        advanceProgress(items);
        return;
    }
    endAnalysis(items, timer, step);
}

template <class Items> inline void Tracker::mode2Tick(Items& items) {
    pickTick(items, m_state.Mode2_Step, kMaxSuggestion, Mode2_Numbers_Cur, TimerId::Mode2);
}

template <class Items> inline void Tracker::fixedMatrixTick(Items& items) {
    const int s = ++m_state.Fixed_Matrix_Step;
    if (s <= Prediction_List.count()) {
        lightNumber(items, lineToInt(Prediction_List, s - 1));
        advanceProgress(items);
        return;
    }
    endAnalysis(items, TimerId::FixedMatrix, m_state.Fixed_Matrix_Step);
}

template <class Items> inline void Tracker::sequentialTick(Items& items) {
    pickTick(items, m_state.Sequential_Step, std::min(m_state.Sequential_Count, kMaxSuggestion),
             Sequential_Numbers_Cur, TimerId::Sequential);
}

[[gnu::always_inline]] inline void Tracker::tickInline(TimerId id) {
    if (!m_headless) return tick(id);
    // The classic draw first: it ticks most.
    HeadlessItems& items = *m_headless;
    if (id == TimerId::Classic) return classicTick(items);
    if (id == TimerId::Mode2) return mode2Tick(items);
    if (id == TimerId::Sequential) return sequentialTick(items);
    if (id == TimerId::FixedMatrix) fixedMatrixTick(items);
}

} // namespace vantel
