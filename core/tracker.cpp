#include "tracker.h"

#include "headless_items.h"
#include "int_convert.h"
#include "sat_math.h"
#include "tracker_ticks.h"

#include <algorithm>
#include <chrono>
#include <string_view>
#include <utility>

namespace vantel {

using namespace std::string_view_literals;

namespace {

constexpr int kRedNumbers[] = {1, 3, 5, 7, 9, 12, 14, 16, 18, 19, 21, 23, 25, 27, 30, 32, 34, 36};

// The history strip's colour of each board number.
constexpr std::array<uint32_t, kBoardNumbers> kHistoryColours = [] {
    std::array<uint32_t, kBoardNumbers> colours{};
    for (uint32_t& c : colours)
        c = kColourNearBlack;
    for (int red : kRedNumbers)
        colours[static_cast<size_t>(red)] = kColourMaroon;
    colours[0] = kColourGreen;
    return colours;
}();
// The last row of the Martingale table: no stake of the tables is larger.
constexpr int64_t kLargestTableStake = 131072;

} // namespace

void failLine(const NumberList& list, int i) {
    throw ConvertError(list.get(i));
}

int64_t systemCalendarSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

uint32_t historyColourOf(const std::string& text) {
    // Texts are compared, so only the exact decimal forms match: "0" to "36",
    // no sign, no leading zero.
    const size_t size = text.size();
    if (size == 0 || size > 2) return kColourNearBlack;
    const char a = text[0];
    if (a < '0' || a > '9' || (size == 2 && a == '0')) return kColourNearBlack;
    int n = a - '0';
    if (size == 2) {
        const char b = text[1];
        if (b < '0' || b > '9') return kColourNearBlack;
        n = n * 10 + (b - '0');
    }
    return n <= kHighestNumber ? kHistoryColours[static_cast<size_t>(n)] : kColourNearBlack;
}

uint32_t indicatorColour(int32_t lossStreak, int safeLevel) {
    return static_cast<int64_t>(lossStreak) + 1 < safeLevel ? kColourMaroon : kColourGreen;
}

Tracker::Tracker(WindowItems& items, CalendarClock clock)
    : m_items(items), m_headless(dynamic_cast<HeadlessItems*>(&items)), m_clock(std::move(clock)) {}

Tracker::Tracker(HeadlessItems& items, int64_t calendarStart)
    : m_items(items), m_headless(&items), m_calendarStart(calendarStart) {}

inline int64_t Tracker::calendarSeconds() const {
    return m_calendarStart ? *m_calendarStart + m_headless->now() / 1000 : m_clock();
}

// Made when the virtual clock leaves the second of the numbers at hand, a
// few ticks a second: kept out of the tick.
[[gnu::noinline]] void Tracker::followSecondOf(int64_t now) {
    const int64_t second = now / 1000;
    m_classicDraw.reseed(static_cast<uint32_t>(*m_calendarStart + second));
    // The moments of the same second: the division rounds toward zero, so the
    // second 0 holds the moments -999 to 999.
    const uint64_t first = static_cast<uint64_t>(second) * 1000u;
    m_classicDraw.from = second > 0 ? first : first - 999u;
    m_classicDraw.width = second == 0 ? 1999u : 1000u;
}

template <class Body> void Tracker::withItems(Body&& body) {
    if (m_headless)
        body(*m_headless);
    else
        body(m_items);
}

NumberList Tracker::martingaleTable() {
    NumberList list;
    for (int i = 0; i < 18; ++i)
        list.append(int64_t{1} << i);
    return list;
}

const std::array<Tracker::Procedure, 37>& Tracker::numberProcedures() {
    static const std::array<Procedure, 37> procs = {
        &Tracker::Button0Click,  &Tracker::Button1Click,  &Tracker::Button2Click,
        &Tracker::Button3Click,  &Tracker::Button4Click,  &Tracker::Button5Click,
        &Tracker::Button6Click,  &Tracker::Button7Click,  &Tracker::Button8Click,
        &Tracker::Button9Click,  &Tracker::Button10Click, &Tracker::Button11Click,
        &Tracker::Button12Click, &Tracker::Button13Click, &Tracker::Button14Click,
        &Tracker::Button15Click, &Tracker::Button16Click, &Tracker::Button17Click,
        &Tracker::Button18Click, &Tracker::Button19Click, &Tracker::Button20Click,
        &Tracker::Button21Click, &Tracker::Button22Click, &Tracker::Button23Click,
        &Tracker::Button24Click, &Tracker::Button25Click, &Tracker::Button26Click,
        &Tracker::Button27Click, &Tracker::Button28Click, &Tracker::Button29Click,
        &Tracker::Button30Click, &Tracker::Button31Click, &Tracker::Button32Click,
        &Tracker::Button33Click, &Tracker::Button34Click, &Tracker::Button35Click,
        &Tracker::Button36Click};
    return procs;
}

template <class Items> void Tracker::numberClickIn(Items& items, int n) {
    if (items.buttonsLocked()) return;
    if (m_spinRecorder) m_spinRecorder(snapshot(), n);
    items.setCurrentNum(n);
    analyseIn(items);
}

void Tracker::numberClick(int n) {
    withItems([this, n](auto& items) { numberClickIn(items, n); });
}

template <class Items> void Tracker::analyseIn(Items& items) {
    currentNumberIn(items);
    historyNumIn(items);
    if (NumbersList.count() <= 4) return;
    modeStepIn(items);
}

void Tracker::Analyse() {
    withItems([this](auto& items) { analyseIn(items); });
}

template <class Items> void Tracker::currentNumberIn(Items& items) {
    NumbersList.append(items.currentNum());
}

void Tracker::CurrentNumber() {
    withItems([this](auto& items) { currentNumberIn(items); });
}

template <class Items> void Tracker::historyNumIn(Items& items) {
    const int n = items.currentNum();
    if (n >= 0 && n <= kHighestNumber) {
        // A board number: its colour is known without reading its text.
        items.pushHistoryNumber(n, kHistoryColours[static_cast<size_t>(n)]);
        return;
    }
    const std::string text = IntToStr(n);
    items.pushHistory(text, historyColourOf(text));
}

void Tracker::HistoryNum() {
    withItems([this](auto& items) { historyNumIn(items); });
}

template <class Items> void Tracker::modeStepIn(Items& items) {
    if (items.gameMode() == 0) judgeThenAnalyseIn(items, &Tracker::Analize_Classic);
    if (items.gameMode() == 1) judgeThenAnalyseIn(items, &Tracker::Analize_Mode2);
    if (items.gameMode() == 2) sequentialStep();
}

void Tracker::ModeStep() {
    withItems([this](auto& items) { modeStepIn(items); });
}

template <class Items> void Tracker::judgeThenAnalyseIn(Items& items, Procedure analysis) {
    items.Disable_Buttons();
    hideActiveIn(items);
    // Whatever lights from here on is not the sequence's suggestion.
    m_state.Sequential_Own = 0;
    winCalcIn(items);
    if (items.fixedMatrix() && m_state.Last_Win != 0) {
        m_state.Fixed_Matrix_Step = 0;
        items.setTimerEnabled(TimerId::FixedMatrix, true);
    } else {
        (this->*analysis)();
    }
}

void Tracker::sequentialStep() {
    // What the player placed on this spin, read before the first Sequential
    // step hides the lights.
    m_sequentialOutlay = spinOutlay(m_items, m_items.currentNum());
    m_items.Disable_Buttons();
    if (m_state.Sequential_Started == 0) {
        Hide_Active();
        m_state.Sequential_Started = 1;
        Sequential_Numbers_Cur.assign(Sequential_Numbers_Def);
        Reset_Sequential();
    }
    WinCalc();
    m_sequentialOutlay.reset();
    Analize_Sequential();
}

// ---- Classic draw ----

template <class Items> void Tracker::analizeClassicIn(Items& items) {
    Classic_Numbers_Cur1.assign(Classic_Numbers_Def1);
    Classic_Numbers_Cur2.assign(Classic_Numbers_Def2);
    Classic_Numbers_Cur3.assign(Classic_Numbers_Def3);
    hideActiveIn(items);
    Prediction_List.clear();
    items.setTimerEnabled(TimerId::Classic, true);
}

void Tracker::Analize_Classic() {
    withItems([this](auto& items) { analizeClassicIn(items); });
}

[[gnu::noinline]] void Tracker::Timer_ClassicTimer() {
    withItems([this](auto& items) { classicTick(items); });
}

void Tracker::ActNumber_Light() {
    withItems([this](auto& items) { lightPicked(items); });
}

template <class Items> void Tracker::hideActiveIn(Items& items) {
    items.hideActNumbers();
}

void Tracker::Hide_Active() {
    withItems([this](auto& items) { hideActiveIn(items); });
}

// ---- Win evaluation and stakes ----

template <class Items> void Tracker::winCalcIn(Items& items) {
    m_state.Last_Win = 0;
    m_state.Loss_Streak = sat32(int64_t{m_state.Loss_Streak} + 1);
    // Every line that holds the number pays once.
    for (int hits = Prediction_List.countHolding(items.currentNum()); hits > 0; --hits) {
        m_state.Loss_Streak = 0;
        m_state.Last_Win = 1;
        const int64_t win = int64_t{36} * m_state.Win_Stake;
        m_state.Balance_Value = sat32(int64_t{m_state.Balance_Value} + win);
        m_state.Balance2_Value = sat32(int64_t{m_state.Balance2_Value} + win);
    }
    if (m_state.Bet_Active == 1) calcBetIn(items);
}

void Tracker::WinCalc() {
    withItems([this](auto& items) { winCalcIn(items); });
}

template <class Items> void Tracker::setBetValueIn(Items& items, int64_t v) {
    items.setBetValue(v);
}

void Tracker::setBetValue(int64_t v) {
    withItems([this, v](auto& items) { setBetValueIn(items, v); });
}

template <class Items> void Tracker::calcBetIn(Items& items) {
    const int mode = items.gameMode();
    if (mode == 0 || mode == 1) {
        int32_t& index = m_state.Progression_Index;
        const NumberList* table = nullptr;
        if (items.bettingSystemIs("Martingale"sv)) {
            index = m_state.Last_Win == 1 ? 0 : sat32(int64_t{index} + 1);
            table = &System_Martingale;
        } else if (items.bettingSystemIs("Donald"sv)) {
            if (m_state.Last_Win == 1) {
                if (index > 0) --index;
            } else {
                index = sat32(int64_t{index} + 1);
            }
            table = &System_Donald;
        }
        m_state.Bet_Active = 0;
        if (table) {
            showRowStakeIn(items, *table, index);
        } else {
            // No table chosen: Bet's own text is converted.
            const int64_t row = StrToInt(items.betText());
            setBetValueIn(items, satMul(row, items.initialBet()));
        }
    } else if (mode == 2) {
        Calc_Bet_Sequential();
    }
}

void Tracker::Calc_Bet() {
    withItems([this](auto& items) { calcBetIn(items); });
}

template <class Items>
void Tracker::showRowStakeIn(Items& items, const NumberList& table, int32_t index) {
    // Bet once showed the row and was converted back: the row is converted
    // before the setting is read, and past the end of a table the empty row
    // stays in Bet and fails.
    const std::optional<int32_t> row = table.intAt(index);
    if (!row) {
        const std::string text = table.get(index);
        items.setBetText(text);
        throw ConvertError(text);
    }
    setBetValueIn(items, satMul(*row, items.initialBet()));
}

void Tracker::showRowStake(const NumberList& table, int32_t index) {
    withItems([this, &table, index](auto& items) { showRowStakeIn(items, table, index); });
}

void Tracker::startProgression() {
    m_state.Progression_Index = 0;
    const bool donald = m_items.bettingSystemIs("Donald"sv);
    showRowStake(donald ? System_Donald : System_Martingale, 0);
}

void Tracker::Reset_BetsClick() {
    startProgression();
    m_state.Balance_Value = sat32(satMul(m_items.initialBet(), 100000));
    if (m_items.gameMode() == 2) Reset_Sequential();
}

void Tracker::Initial_BetChange() {
    Reset_BetsClick();
}

// ---- Shared by the analyses ----

// ---- Mode2: hot numbers ----

void Tracker::orderHotNumbers() {
    const int total = NumbersList.count();
    const int first = std::max(0, total - 37);
    std::array<int, 37> hits{};
    std::array<int, 37> lastSeen{};
    lastSeen.fill(-1);
    for (int i = first; i < total; ++i) {
        const auto v = NumbersList.intAt(i);
        if (!v || *v < 0 || *v > 36) continue;
        ++hits[static_cast<size_t>(*v)];
        lastSeen[static_cast<size_t>(*v)] = i;
    }

    // The list was just reset to the board, so the board's room is enough;
    // a longer list spills into the heap.
    const auto lines = static_cast<size_t>(Mode2_Numbers_Cur.count());
    std::array<int, 2 * kBoardNumbers> room;
    std::vector<int> spill;
    int* hot = room.data();
    int* cold = room.data() + kBoardNumbers;
    if (lines > kBoardNumbers) {
        spill.resize(2 * lines);
        hot = spill.data();
        cold = spill.data() + lines;
    }
    size_t hotCount = 0;
    size_t coldCount = 0;
    for (int i = 0; i < Mode2_Numbers_Cur.count(); ++i) {
        const auto v = Mode2_Numbers_Cur.intAt(i);
        if (!v || *v < 0 || *v > 36) continue;
        if (hits[static_cast<size_t>(*v)] > 0)
            hot[hotCount++] = *v;
        else
            cold[coldCount++] = *v;
    }
    const auto before = [&](int a, int b) {
        const auto ia = static_cast<size_t>(a);
        const auto ib = static_cast<size_t>(b);
        if (hits[ia] != hits[ib]) return hits[ia] > hits[ib];
        return lastSeen[ia] > lastSeen[ib];
    };
    // A stable insertion sort: a handful of numbers, no buffer to allocate.
    for (size_t i = 1; i < hotCount; ++i) {
        const int n = hot[i];
        size_t j = i;
        for (; j > 0 && before(n, hot[j - 1]); --j)
            hot[j] = hot[j - 1];
        hot[j] = n;
    }
    m_generator.seed(static_cast<uint32_t>(calendarSeconds()));
    for (size_t i = coldCount; i > 1; --i) {
        const auto j = static_cast<size_t>(m_generator.next()) % i;
        std::swap(cold[i - 1], cold[j]);
    }

    Mode2_Numbers_Cur.clear();
    for (size_t i = 0; i < hotCount; ++i)
        Mode2_Numbers_Cur.append(hot[i]);
    for (size_t i = 0; i < coldCount; ++i)
        Mode2_Numbers_Cur.append(cold[i]);
}

void Tracker::Analize_Mode2() {
    Mode2_Numbers_Cur.assign(Mode2_Numbers_Def);
    Hide_Active();
    Prediction_List.clear();
    orderHotNumbers();
    m_state.Mode2_Step = 0;
    m_items.setTimerEnabled(TimerId::Mode2, true);
}

[[gnu::noinline]] void Tracker::Timer_Mode2Timer() {
    withItems([this](auto& items) { mode2Tick(items); });
}

// ---- Fixed Matrix: the same numbers again after a hit ----

[[gnu::noinline]] void Tracker::Fixed_Matrix_TimerTimer() {
    withItems([this](auto& items) { fixedMatrixTick(items); });
}

// ---- Sequential: longest-waiting numbers with a count-and-stake progression ----

void Tracker::Analize_Sequential() {
    holdSequence();
    orderLongestWaiting();
    Hide_Active();
    Prediction_List.clear();
    m_state.Sequential_Own = 1;
    m_state.Sequential_Step = 0;
    m_items.setTimerEnabled(TimerId::Sequential, true);
}

int32_t Tracker::sequentialCap() {
    // A typed value reaches here before the edit's own range check runs.
    return std::clamp<int32_t>(m_items.increaseTill(), 1, kMaxSuggestion);
}

void Tracker::holdSequence() {
    TrackerState& st = m_state;
    // A change of the initial bet while another mode ran could not reset the
    // sequence then; it does so now.
    if (st.Sequential_Base != m_items.initialBet()) Reset_Sequential();
    st.Sequential_Count = std::clamp(st.Sequential_Count, 1, sequentialCap());
    setBetValue(st.Sequential_Stake);
}

void Tracker::orderLongestWaiting() {
    // Scanning the record back from the newest spin finds each number's last
    // sighting first, most recent first; the scan stops once all are found.
    std::array<bool, kBoardNumbers> seen{};
    std::array<int, kBoardNumbers> recentFirst{};
    size_t found = 0;
    for (int i = NumbersList.count() - 1; i >= 0 && found < seen.size(); --i) {
        const auto v = NumbersList.intAt(i);
        if (!v || *v < 0 || *v > kHighestNumber || seen[static_cast<size_t>(*v)]) continue;
        seen[static_cast<size_t>(*v)] = true;
        recentFirst[found++] = *v;
    }
    Sequential_Numbers_Cur.clear();
    for (int n = 0; n <= kHighestNumber; ++n)
        if (!seen[static_cast<size_t>(n)]) Sequential_Numbers_Cur.append(n);
    while (found > 0)
        Sequential_Numbers_Cur.append(recentFirst[--found]);
}

[[gnu::noinline]] void Tracker::Sequential_TimerTimer() {
    withItems([this](auto& items) { sequentialTick(items); });
}

void Tracker::Calc_Bet_Sequential() {
    const std::optional<SpinOutlay> outlay = std::exchange(m_sequentialOutlay, std::nullopt);
    TrackerState& st = m_state;
    // Only the sequence's own bets move it: a draw of another mode, one the
    // safe level left dark, or a stake of nothing places nothing.
    if (!outlay || st.Sequential_Own == 0 || outlay->staked == 0) return;
    const int64_t initial = m_items.initialBet();
    st.Sequential_Result = satAdd(st.Sequential_Result, outlay->net());

    const int64_t s = st.Sequential_Stake;
    const bool doubling = m_items.progression() == 0;
    const int32_t cap = sequentialCap();
    if (!outlay->hit) {
        st.Sequential_Miss_Run = sat32(int64_t{st.Sequential_Miss_Run} + 1);
        st.Sequential_Win_Run = 0;
        if (st.Sequential_Miss_Run >= m_items.sequentialLosses()) {
            st.Sequential_Miss_Run = 0;
            const int64_t up = doubling ? satMul(s, 2) : satAdd(s, initial);
            // Past the largest stake of the tables the sequence is lost.
            if (up > satMul(initial, kLargestTableStake)) {
                Reset_Sequential();
                return;
            }
            st.Sequential_Stake = up;
            st.Sequential_Count = std::clamp(st.Sequential_Count + 1, 1, cap);
        }
    } else {
        st.Sequential_Win_Run = sat32(int64_t{st.Sequential_Win_Run} + 1);
        st.Sequential_Miss_Run = 0;
        if (st.Sequential_Win_Run >= m_items.sequentialWins()) {
            st.Sequential_Win_Run = 0;
            st.Sequential_Count = std::clamp(st.Sequential_Count - 1, 1, cap);
            const int64_t down = doubling ? s / 2 : satSub(s, initial);
            st.Sequential_Stake = std::max(down, initial);
        }
    }

    const int rule = m_items.mode3Reset();
    if ((rule == 0 && st.Sequential_Result >= 0) || (rule == 1 && st.Sequential_Result > 0)) {
        Reset_Sequential();
        return;
    }
    setBetValue(st.Sequential_Stake);
}

void Tracker::Reset_Sequential() {
    TrackerState& st = m_state;
    st.Sequential_Count = 1;
    st.Sequential_Base = m_items.initialBet();
    st.Sequential_Stake = st.Sequential_Base;
    st.Sequential_Miss_Run = 0;
    st.Sequential_Win_Run = 0;
    st.Sequential_Result = 0;
    setBetValue(st.Sequential_Stake);
}

// ---- Timers and recovery ----

// The tick procedures are kept out of line, so that a tick passes through
// here with a jump and nothing more.
void Tracker::tick(TimerId id) {
    switch (id) {
    case TimerId::Classic:
        Timer_ClassicTimer();
        break;
    case TimerId::FixedMatrix:
        Fixed_Matrix_TimerTimer();
        break;
    case TimerId::Mode2:
        Timer_Mode2Timer();
        break;
    case TimerId::Sequential:
        Sequential_TimerTimer();
        break;
    }
}

bool Tracker::recoverAfterError() {
    if (!m_items.buttonsLocked()) return false;
    for (TimerId id : kTrackerTimers)
        if (m_items.timerEnabled(id)) return false;
    // The spin ran past the end of a stake table; kept there, every later lit
    // miss would fail the same way.
    startProgression();
    m_items.Enable_Buttons();
    return true;
}

} // namespace vantel
