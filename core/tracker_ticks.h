#pragma once

// The tick procedures of the tracker's timers. They are defined in a header so
// that the headless driver takes them inline in its loop: on the classic draw,
// the call, the entry of the procedure and the choice of the timer cost as
// much as a seventh of a tick (bench/instructions_per_spin.sh).

#include "tracker.h"

#include <algorithm>

namespace vantel {

// A line converted as StrToInt converts its text: raises the conversion error.
[[noreturn, gnu::cold, gnu::noinline]] void failLine(const NumberList& list, int i);

inline int32_t lineToInt(const NumberList& list, int i) {
    if (const auto v = list.intAt(i)) return *v;
    failLine(list, i);
}

template <Tracker::Tell T> inline const DrawNumbers& Tracker::classicDrawNow() {
    // Without a calendar of the window's, the calendar follows the virtual
    // clock: the numbers change when the clock leaves their second, read
    // without a division.
    if ((T == Tell::Never || !m_calendar) && m_clock.calendarFollowsClock()) {
        const auto now = static_cast<uint64_t>(m_clock.now);
        if (now - m_classicDraw.from >= m_classicDraw.width)
            followSecondOf(static_cast<int64_t>(now), m_clock.calendarStart);
        return m_classicDraw;
    }
    const auto seed = static_cast<uint32_t>(calendarSeconds());
    if (seed != m_classicDraw.seed) m_classicDraw.reseed(seed);
    // A calendar read this way says nothing of the moments of its second.
    m_classicDraw.width = 0;
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

template <Tracker::Tell T> [[gnu::always_inline]] inline void Tracker::lightNumber(int n) {
    if (m_state.Loss_Streak < m_settings.safeLevel) return;
    showLit<T>(n, true);
    m_state.Bet_Active = 1;
}

template <Tracker::Tell T> [[gnu::always_inline]] inline void Tracker::lightPicked() {
    if (Prediction_List.count() < kMaxSuggestion) Prediction_List.append(m_state.Picked_Number);
    lightNumber<T>(m_state.Picked_Number);
}

template <Tracker::Tell T> inline void Tracker::endAnalysis(TimerId id, int32_t& step) {
    setTimerEnabled<T>(id, false);
    step = 0;
    showProgress<T>(0);
    Enable_Buttons();
}

template <Tracker::Tell T> [[gnu::always_inline]] inline void Tracker::classicTick() {
    // The generator is seeded with the second and gives the interval, then the
    // pick; the numbers of a second are the same at every tick within it.
    const DrawNumbers& draw = classicDrawNow<T>();
    m_generator = draw.afterInterval;
    const int interval = draw.interval;
    // A short interval becomes 150. Giving the timer the interval it already
    // has changes nothing, so the second setting is made either way, which
    // spares the draw a branch on a random number.
    setTimerIntervalTwice<T>(TimerId::Classic, interval, interval < 100 ? 150 : interval);

    stepProgress<T>();
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
    lightPicked<T>();

    if (s > 18) {
        showProgress<T>(0);
        setTimerEnabled<T>(TimerId::Classic, false);
        m_state.Classic_Step = 0;
        Enable_Buttons();
    }
}

// One step of a draw that lights its list's numbers in order, at most `last`
// of them: the next number while there is one, else the end of the analysis.
template <Tracker::Tell T>
inline void Tracker::pickTick(int32_t& step, int last, const NumberList& list, TimerId timer) {
    const int s = ++step;
    if (s <= last && s <= list.count()) {
        m_state.Picked_Number = lineToInt(list, s - 1);
        lightPicked<T>();
        stepProgress<T>();
        return;
    }
    endAnalysis<T>(timer, step);
}

template <Tracker::Tell T> inline void Tracker::mode2Tick() {
    pickTick<T>(m_state.Mode2_Step, kMaxSuggestion, Mode2_Numbers_Cur, TimerId::Mode2);
}

template <Tracker::Tell T> inline void Tracker::fixedMatrixTick() {
    const int s = ++m_state.Fixed_Matrix_Step;
    if (s <= Prediction_List.count()) {
        lightNumber<T>(lineToInt(Prediction_List, s - 1));
        stepProgress<T>();
        return;
    }
    endAnalysis<T>(TimerId::FixedMatrix, m_state.Fixed_Matrix_Step);
}

template <Tracker::Tell T> inline void Tracker::sequentialTick() {
    pickTick<T>(m_state.Sequential_Step, std::min(m_state.Sequential_Count, kMaxSuggestion),
                Sequential_Numbers_Cur, TimerId::Sequential);
}

template <Tracker::Tell T> [[gnu::always_inline]] inline void Tracker::tickBody(TimerId id) {
    // The classic draw first: it ticks most.
    if (id == TimerId::Classic) return classicTick<T>();
    if (id == TimerId::Mode2) return mode2Tick<T>();
    if (id == TimerId::Sequential) return sequentialTick<T>();
    if (id == TimerId::FixedMatrix) fixedMatrixTick<T>();
}

[[gnu::always_inline]] inline void Tracker::quietTick(TimerId id) {
    tickBody<Tell::Never>(id);
}

} // namespace vantel
