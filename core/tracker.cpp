#include "tracker.h"

#include "int_convert.h"
#include "sat_math.h"
#include "settings.h"
#include "tracker_ticks.h"

#include <algorithm>
#include <chrono>
#include <string_view>
#include <utility>

namespace vantel {

namespace {

// The history strip's colour of each board number.
constexpr std::array<uint32_t, kBoardNumbers> kHistoryColours = [] {
    std::array<uint32_t, kBoardNumbers> colours{};
    for (int n = 0; n <= kHighestNumber; ++n)
        colours[static_cast<size_t>(n)] = n == 0     ? kColourGreen
                                          : isRed(n) ? kColourMaroon
                                                     : kColourNearBlack;
    return colours;
}();
constexpr int64_t kLargestTableStake = stakes::kLargest;

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

// Made when the virtual clock leaves the second of the numbers at hand, a
// few ticks a second: kept out of the tick.
[[gnu::noinline]] void Tracker::followSecondOf(int64_t now, int64_t start) {
    const int64_t second = now / 1000;
    m_classicDraw.reseed(static_cast<uint32_t>(start + second));
    // The moments of the same second: the division rounds toward zero, so the
    // second 0 holds the moments -999 to 999.
    const uint64_t first = static_cast<uint64_t>(second) * 1000u;
    m_classicDraw.from = second > 0 ? first : first - 999u;
    m_classicDraw.width = second == 0 ? 1999u : 1000u;
}

// ---- Spin entry and history strip ----

void Tracker::numberClick(int n) {
    if (m_shown.locked) return;
    if (m_spinRecorder) m_spinRecorder(snapshot(), n);
    m_shown.currentNum = n;
    Analyse();
}

void Tracker::Analyse() {
    CurrentNumber();
    HistoryNum();
    // The first four spins are only recorded.
    if (NumbersList.count() <= 4) return;
    ModeStep();
}

void Tracker::CurrentNumber() {
    NumbersList.append(m_shown.currentNum);
}

void Tracker::HistoryNum() {
    const int n = m_shown.currentNum;
    if (n >= 0 && n <= kHighestNumber) {
        // A board number: its colour is known without reading its text.
        m_shown.strip.pushNumber(n, kHistoryColours[static_cast<size_t>(n)]);
    } else {
        const std::string text = IntToStr(n);
        m_shown.strip.push(text, historyColourOf(text));
    }
    if (m_observer) m_observer->stripMoved(m_shown.strip);
}

void Tracker::ModeStep() {
    if (m_settings.gameMode == setting::kMode1) judgeThenAnalyse(&Tracker::Analize_Classic);
    if (m_settings.gameMode == setting::kMode2) judgeThenAnalyse(&Tracker::Analize_Mode2);
    if (m_settings.gameMode == setting::kSequential) sequentialStep();
}

[[gnu::always_inline]] inline void Tracker::judgeThenAnalyse(void (Tracker::*analysis)()) {
    Disable_Buttons();
    Hide_Active();
    // Whatever lights from here on is not the sequence's suggestion.
    m_state.Sequential_Own = 0;
    WinCalc();
    if (m_settings.fixedMatrix && m_state.Last_Win != 0) {
        m_state.Fixed_Matrix_Step = 0;
        setTimerEnabled(TimerId::FixedMatrix, true);
    } else {
        (this->*analysis)();
    }
}

void Tracker::sequentialStep() {
    // What the player placed on this spin, read before the first Sequential
    // step hides the lights.
    m_sequentialOutlay = spinOutlay(m_shown, m_shown.currentNum);
    Disable_Buttons();
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

void Tracker::Analize_Classic() {
    Classic_Numbers_Cur1.assign(Classic_Numbers_Def1);
    Classic_Numbers_Cur2.assign(Classic_Numbers_Def2);
    Classic_Numbers_Cur3.assign(Classic_Numbers_Def3);
    Hide_Active();
    Prediction_List.clear();
    setTimerEnabled(TimerId::Classic, true);
}

// The tick procedures by name run the bodies in tracker_ticks.h, which the
// headless driver takes inline through tickInline().
void Tracker::tick(TimerId id) {
    tickBody<Tell::Maybe>(id);
}

[[gnu::noinline]] void Tracker::Timer_ClassicTimer() {
    classicTick<Tell::Maybe>();
}

void Tracker::ActNumber_Light() {
    lightPicked();
}

void Tracker::Hide_Active() {
    m_shown.lit.fill(false);
    if (m_observer)
        for (int n = 0; n <= kHighestNumber; ++n)
            m_observer->litChanged(n, false);
}

// ---- Win evaluation and stakes ----

void Tracker::WinCalc() {
    m_state.Last_Win = 0;
    m_state.Loss_Streak = sat32(int64_t{m_state.Loss_Streak} + 1);
    // Every line that holds the number pays once.
    for (int hits = Prediction_List.countHolding(m_shown.currentNum); hits > 0; --hits) {
        m_state.Loss_Streak = 0;
        m_state.Last_Win = 1;
        const int64_t win = int64_t{36} * m_state.Win_Stake;
        m_state.Balance_Value = sat32(int64_t{m_state.Balance_Value} + win);
        m_state.Balance2_Value = sat32(int64_t{m_state.Balance2_Value} + win);
    }
    if (m_state.Bet_Active == 1) Calc_Bet();
}

void Tracker::Calc_Bet() {
    const int mode = m_settings.gameMode;
    if (mode == setting::kMode1 || mode == setting::kMode2) {
        int32_t& index = m_state.Progression_Index;
        const NumberList* table = nullptr;
        if (bettingSystemIs(0)) {
            index = m_state.Last_Win == 1 ? 0 : sat32(int64_t{index} + 1);
            table = &System_Martingale;
        } else if (bettingSystemIs(1)) {
            if (m_state.Last_Win == 1) {
                if (index > 0) --index;
            } else {
                index = sat32(int64_t{index} + 1);
            }
            table = &System_Donald;
        }
        m_state.Bet_Active = 0;
        if (table) {
            showRowStake(*table, index);
        } else {
            // No table chosen: Bet's own text is converted.
            const int64_t row = StrToInt(m_shown.bet());
            showBetValue(satMul(row, initialBet()));
        }
    } else if (mode == setting::kSequential) {
        Calc_Bet_Sequential();
    }
}

void Tracker::showRowStake(const NumberList& table, int32_t index) {
    // Bet once showed the row and was converted back: the row is converted
    // before the setting is read, and past the end of a table the empty row
    // stays in Bet and fails.
    const std::optional<int32_t> row = table.intAt(index);
    if (!row) {
        const std::string text = table.get(index);
        showBet(text);
        throw ConvertError(text);
    }
    showBetValue(satMul(*row, initialBet()));
}

void Tracker::startProgression() {
    m_state.Progression_Index = 0;
    const bool donald = bettingSystemIs(1);
    showRowStake(donald ? System_Donald : System_Martingale, 0);
}

void Tracker::Reset_BetsClick() {
    startProgression();
    m_state.Balance_Value = sat32(satMul(initialBet(), 100000));
    if (m_settings.gameMode == setting::kSequential) Reset_Sequential();
}

void Tracker::Initial_BetChange() {
    Reset_BetsClick();
}

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
    setTimerEnabled(TimerId::Mode2, true);
}

[[gnu::noinline]] void Tracker::Timer_Mode2Timer() {
    mode2Tick<Tell::Maybe>();
}

// ---- Fixed Matrix: the same numbers again after a hit ----

[[gnu::noinline]] void Tracker::Fixed_Matrix_TimerTimer() {
    fixedMatrixTick<Tell::Maybe>();
}

// ---- Sequential: longest-waiting numbers with a count-and-stake progression ----

void Tracker::Analize_Sequential() {
    holdSequence();
    orderLongestWaiting();
    Hide_Active();
    Prediction_List.clear();
    m_state.Sequential_Own = 1;
    m_state.Sequential_Step = 0;
    setTimerEnabled(TimerId::Sequential, true);
}

int32_t Tracker::sequentialCap() {
    // A typed value reaches here before the edit's own range check runs.
    return std::clamp<int32_t>(increaseTill(), 1, kMaxSuggestion);
}

void Tracker::holdSequence() {
    TrackerState& st = m_state;
    // A change of the initial bet while another mode ran could not reset the
    // sequence then; it does so now.
    if (st.Sequential_Base != initialBet()) Reset_Sequential();
    st.Sequential_Count = std::clamp(st.Sequential_Count, 1, sequentialCap());
    showBetValue(st.Sequential_Stake);
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
    sequentialTick<Tell::Maybe>();
}

void Tracker::Calc_Bet_Sequential() {
    const std::optional<SpinOutlay> outlay = std::exchange(m_sequentialOutlay, std::nullopt);
    TrackerState& st = m_state;
    // Only the sequence's own bets move it: a draw of another mode, one the
    // safe level left dark, or a stake of nothing places nothing.
    if (!outlay || st.Sequential_Own == 0 || outlay->staked == 0) return;
    const int64_t initial = initialBet();
    st.Sequential_Result = satAdd(st.Sequential_Result, outlay->net());

    const int64_t s = st.Sequential_Stake;
    const bool doubling = m_settings.progression == 0;
    const int32_t cap = sequentialCap();
    if (!outlay->hit) {
        st.Sequential_Miss_Run = sat32(int64_t{st.Sequential_Miss_Run} + 1);
        st.Sequential_Win_Run = 0;
        if (st.Sequential_Miss_Run >= sequentialLosses()) {
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
        if (st.Sequential_Win_Run >= sequentialWins()) {
            st.Sequential_Win_Run = 0;
            st.Sequential_Count = std::clamp(st.Sequential_Count - 1, 1, cap);
            const int64_t down = doubling ? s / 2 : satSub(s, initial);
            st.Sequential_Stake = std::max(down, initial);
        }
    }

    const int rule = m_settings.mode3Reset;
    if ((rule == 0 && st.Sequential_Result >= 0) || (rule == 1 && st.Sequential_Result > 0)) {
        Reset_Sequential();
        return;
    }
    showBetValue(st.Sequential_Stake);
}

void Tracker::Reset_Sequential() {
    TrackerState& st = m_state;
    st.Sequential_Count = 1;
    st.Sequential_Base = initialBet();
    st.Sequential_Stake = st.Sequential_Base;
    st.Sequential_Miss_Run = 0;
    st.Sequential_Win_Run = 0;
    st.Sequential_Result = 0;
    showBetValue(st.Sequential_Stake);
}

// ---- Settings ----

bool Tracker::typeSettingText(SpinSetting s, const std::string& text) {
    if (!spinText(s).set(text)) return false;
    if (changeResetsStakes(s)) Initial_BetChange();
    return true;
}

[[gnu::noinline]] int32_t Tracker::readSpinText(SpinSetting s) {
    SettingText& t = spinText(s);
    if (!t.read()) return t.value();
    // Not a whole number: the text is now the minimum's, a change like a typed one.
    const int32_t value = t.value();
    if (m_observer) m_observer->settingTextChanged(s, t.text());
    if (changeResetsStakes(s)) Initial_BetChange();
    return value;
}

void Tracker::setChoices(const Settings& s) {
    setGameMode(s.gameMode);
    setBettingSystem(s.bettingSystem);
    setSafeLevel(s.safeLevel);
    setFixedMatrix(s.fixedMatrix);
    setMode3Reset(s.mode3Reset);
    setProgression(s.progression);
}

void Tracker::setSettings(const Settings& s) {
    setChoices(s);
    for (SpinSetting f : kSpinSettings)
        spinText(f).set(spinTextOf(spinText(f).bounds(), s.*settingMember(f)));
}

void Tracker::applySettings(const Settings& s) {
    setChoices(s);
    for (SpinSetting f : {SpinSetting::IncreaseTill, SpinSetting::MCount, SpinSetting::WCount,
                          SpinSetting::InitialBet})
        typeSettingText(f, spinTextOf(spinText(f).bounds(), s.*settingMember(f)));
}

// ---- Recovery ----

bool Tracker::recoverAfterError() {
    if (!m_shown.locked) return false;
    for (TimerId id : kTrackerTimers)
        if (timerEnabled(id)) return false;
    // The spin ran past the end of a stake table; kept there, every later lit
    // miss would fail the same way.
    startProgression();
    Enable_Buttons();
    return true;
}

// ---- Locking ----

void Tracker::Disable_Buttons() {
    m_shown.locked = true;
    if (m_observer) m_observer->lockChanged(true);
}

void Tracker::Enable_Buttons() {
    m_shown.locked = false;
    if (m_observer) m_observer->lockChanged(false);
}

} // namespace vantel
