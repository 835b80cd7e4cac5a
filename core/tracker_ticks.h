#pragma once

// The tick procedures of the tracker's timers. They are defined in a header so
// that the headless driver takes them inline in its loop: on the classic draw,
// the call, the entry of the procedure and the choice of the timer cost as
// much as a seventh of a tick (bench/instructions_per_spin.sh).

#include "headless_items.h"
#include "tracker.h"

#include <algorithm>
#include <type_traits>

namespace vantel {

// A line converted as StrToInt converts its text: raises the conversion error.
[[noreturn, gnu::cold, gnu::noinline]] void failLine(const NumberList& list, int i);

inline int32_t lineToInt(const NumberList& list, int i) {
    if (const auto v = list.intAt(i)) return *v;
    failLine(list, i);
}

template <class Items> inline const DrawNumbers& BasicTracker<Items>::classicDrawNow() {
    if constexpr (std::is_same_v<Items, HeadlessItems>) {
        // The calendar follows the virtual clock: the numbers change when the
        // clock leaves their second, read without a division.
        if (m_items.calendarFollowsClock()) {
            const auto now = static_cast<uint64_t>(m_items.now());
            if (now - m_classicDraw.from >= m_classicDraw.width)
                followSecondOf(static_cast<int64_t>(now), m_items.calendarStart());
            return m_classicDraw;
        }
    }
    const auto seed = static_cast<uint32_t>(m_items.calendarSeconds());
    if (seed != m_classicDraw.seed) m_classicDraw.reseed(seed);
    // A calendar read this way says nothing of the moments of its second.
    m_classicDraw.width = 0;
    return m_classicDraw;
}

template <class Items>
inline void BasicTracker<Items>::pickFrom(NumberList& list, const DrawNumbers& draw) {
    const int c = list.count();
    if (c <= 0) return;
    m_generator = draw.afterPick;
    int index = 0;
    int32_t v = 0;
    if (!list.takeIntAtRemainder(draw.pick, index, v)) failLine(list, index);
    m_state.Picked_Number = v;
}

template <class Items> [[gnu::always_inline]] inline void BasicTracker<Items>::lightNumber(int n) {
    if (m_state.Loss_Streak < m_settings.safeLevel) return;
    showLit(n, true);
    m_state.Bet_Active = 1;
}

template <class Items> [[gnu::always_inline]] inline void BasicTracker<Items>::lightPicked() {
    if (Prediction_List.count() < kMaxSuggestion) Prediction_List.append(m_state.Picked_Number);
    lightNumber(m_state.Picked_Number);
}

template <class Items> inline void BasicTracker<Items>::endAnalysis(TimerId id, int32_t& step) {
    setTimerEnabled(id, false);
    step = 0;
    showProgress(0);
    Enable_Buttons();
}

template <class Items> [[gnu::always_inline]] inline void BasicTracker<Items>::classicTick() {
    // The generator is seeded with the second and gives the interval, then the
    // pick; the numbers of a second are the same at every tick within it.
    const DrawNumbers& draw = classicDrawNow();
    m_generator = draw.afterInterval;
    const int interval = draw.interval;
    // A short interval becomes 150. Giving the timer the interval it already
    // has changes nothing, so the second setting is made either way, which
    // spares the draw a branch on a random number.
    setTimerIntervalTwice(TimerId::Classic, interval, interval < 100 ? 150 : interval);

    stepProgress();
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
    lightPicked();

    if (s > 18) {
        showProgress(0);
        setTimerEnabled(TimerId::Classic, false);
        m_state.Classic_Step = 0;
        Enable_Buttons();
    }
}

// One step of a draw that lights its list's numbers in order, at most `last`
// of them: the next number while there is one, else the end of the analysis.
template <class Items>
inline void BasicTracker<Items>::pickTick(int32_t& step, int last, const NumberList& list,
                                          TimerId timer) {
    const int s = ++step;
    if (s <= last && s <= list.count()) {
        m_state.Picked_Number = lineToInt(list, s - 1);
        lightPicked();
        stepProgress();
        return;
    }
    endAnalysis(timer, step);
}

template <class Items> inline void BasicTracker<Items>::mode2Tick() {
    pickTick(m_state.Mode2_Step, kMaxSuggestion, Mode2_Numbers_Cur, TimerId::Mode2);
}

template <class Items> inline void BasicTracker<Items>::fixedMatrixTick() {
    const int s = ++m_state.Fixed_Matrix_Step;
    if (s <= Prediction_List.count()) {
        lightNumber(lineToInt(Prediction_List, s - 1));
        stepProgress();
        return;
    }
    endAnalysis(TimerId::FixedMatrix, m_state.Fixed_Matrix_Step);
}

template <class Items> inline void BasicTracker<Items>::sequentialTick() {
    pickTick(m_state.Sequential_Step, std::min(m_state.Sequential_Count, kMaxSuggestion),
             Sequential_Numbers_Cur, TimerId::Sequential);
}

template <class Items> [[gnu::always_inline]] inline void BasicTracker<Items>::tick(TimerId id) {
    // The classic draw first: it ticks most.
    if (id == TimerId::Classic) return classicTick();
    if (id == TimerId::Mode2) return mode2Tick();
    if (id == TimerId::Sequential) return sequentialTick();
    if (id == TimerId::FixedMatrix) fixedMatrixTick();
}

} // namespace vantel
