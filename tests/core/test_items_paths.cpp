// The tracker's procedures are built twice: for any window items, called
// through WindowItems (as the window is), and for the headless items, called
// directly with their shorter ways to the same end. Played side by side on the
// same spins and settings, the two must show the same items, lists, counters
// and errors after every spin.
#include "headless_driver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>

namespace {

using namespace vantel;

// Window items that forward every single item to headless items and keep the
// interface's own writes for the families, the Bet value, the betting system
// by name and the strip: the road the window takes.
class ForwardingItems final : public WindowItems {
  public:
    explicit ForwardingItems(HeadlessItems& to) : m_to(to) {}

    int currentNum() const override { return m_to.currentNum(); }
    void setCurrentNum(int n) override { m_to.setCurrentNum(n); }
    int gameMode() const override { return m_to.gameMode(); }
    std::string bettingSystem() const override { return m_to.bettingSystem(); }
    int32_t initialBet() override { return m_to.initialBet(); }
    int safeLevel() const override { return m_to.safeLevel(); }
    bool fixedMatrix() const override { return m_to.fixedMatrix(); }
    int mode3Reset() const override { return m_to.mode3Reset(); }
    int32_t increaseTill() override { return m_to.increaseTill(); }
    int progression() const override { return m_to.progression(); }
    int32_t sequentialLosses() override { return m_to.sequentialLosses(); }
    int32_t sequentialWins() override { return m_to.sequentialWins(); }
    bool actNumberVisible(int n) const override { return m_to.actNumberVisible(n); }
    void setActNumberVisible(int n, bool visible) override { m_to.setActNumberVisible(n, visible); }
    std::string historyText(int cell) const override { return m_to.historyText(cell); }
    void setHistoryText(int cell, const std::string& text) override {
        m_to.setHistoryText(cell, text);
    }
    uint32_t historyColour(int cell) const override { return m_to.historyColour(cell); }
    void setHistoryColour(int cell, uint32_t rgb) override { m_to.setHistoryColour(cell, rgb); }
    std::string betText() const override { return m_to.betText(); }
    void setBetText(const std::string& text) override { m_to.setBetText(text); }
    int progressBar() const override { return m_to.progressBar(); }
    void setProgressBar(int progress) override { m_to.setProgressBar(progress); }
    bool timerEnabled(TimerId id) const override { return m_to.timerEnabled(id); }
    void setTimerEnabled(TimerId id, bool on) override { m_to.setTimerEnabled(id, on); }
    int timerInterval(TimerId id) const override { return m_to.timerInterval(id); }
    void setTimerInterval(TimerId id, int ms) override { m_to.setTimerInterval(id, ms); }
    void Disable_Buttons() override { m_to.Disable_Buttons(); }
    void Enable_Buttons() override { m_to.Enable_Buttons(); }
    bool buttonsLocked() const override { return m_to.buttonsLocked(); }

  private:
    HeadlessItems& m_to;
};

// The direct side also reads its calendar straight from the items' clock; the
// other through a function object.
struct Side {
    explicit Side(bool forwarded)
        : tracker(forwarded ? Tracker(forward, [this] { return 1700000000 + items.now() / 1000; })
                            : Tracker(items, int64_t{1700000000})) {}
    HeadlessItems items;
    ForwardingItems forward{items};
    Tracker tracker;
    HeadlessDriver driver{items, tracker};
};

void list(std::ostream& out, const NumberList& l) {
    out << '[';
    for (int i = -1; i <= l.count(); ++i)
        out << l.get(i) << ',';
    out << ']';
}

// Everything a spin may change, as text.
std::string observed(Side& s) {
    std::ostringstream out;
    HeadlessItems& it = s.items;
    out << it.currentNum() << ' ' << it.betText() << ' ' << it.progressBar() << ' '
        << it.buttonsLocked() << ' ' << it.now() << ' ' << it.Initial_Bet.text() << '|';
    for (int n = 0; n <= kHighestNumber; ++n)
        out << it.actNumberVisible(n);
    for (int cell = 0; cell <= kHistoryCells + 1; ++cell)
        out << '|' << it.historyText(cell) << ':' << it.historyColour(cell);
    for (TimerId id : kTrackerTimers)
        out << '|' << it.timerEnabled(id) << ',' << it.timerInterval(id) << ',' << it.dueAt(id);
    const TrackerState& st = s.tracker.state();
    out << '|' << st.Classic_Step << ',' << st.Last_Win << ',' << st.Loss_Streak << ','
        << st.Progression_Index << ',' << st.Bet_Active << ',' << st.Balance_Value << ','
        << st.Balance2_Value << ',' << st.Picked_Number << ',' << st.Mode2_Step << ','
        << st.Sequential_Step << ',' << st.Fixed_Matrix_Step << ',' << st.Sequential_Count << ','
        << st.Sequential_Stake << ',' << st.Sequential_Result << ',' << st.Sequential_Own;
    for (const NumberList* l : {&s.tracker.Prediction_List, &s.tracker.Classic_Numbers_Cur1,
                                &s.tracker.Classic_Numbers_Cur2, &s.tracker.Classic_Numbers_Cur3,
                                &s.tracker.Sequential_Numbers_Cur, &s.tracker.Mode2_Numbers_Cur})
        list(out, *l);
    out << s.tracker.NumbersList.count() << '|' << s.driver.errors().size();
    if (!s.driver.errors().empty()) out << s.driver.errors().back();
    return out.str();
}

struct Profile {
    const char* name;
    int mode;
    const char* system;
    int safeLevel;
    bool fixedMatrix;
    bool settingChanges;
};

// How a failing test names its session.
void PrintTo(const Profile& p, std::ostream* out) {
    *out << p.name;
}

class ItemsPaths : public ::testing::TestWithParam<Profile> {};

TEST_P(ItemsPaths, DirectAndInterfaceCallsShowTheSameAfterEverySpin) {
    const Profile& p = GetParam();
    Side direct(false);
    Side forwarded(true);
    for (Side* s : {&direct, &forwarded}) {
        s->items.setGameMode(p.mode);
        s->items.setBettingSystem(p.system);
        s->items.setSafeLevel(p.safeLevel);
        s->items.setFixedMatrix(p.fixedMatrix);
    }
    static const char* const kBets[] = {"1", "3", "10000", "x", "", "-2", "7"};
    std::mt19937 random(11);
    for (int spin = 1; spin <= 3000; ++spin) {
        const unsigned change = random() % 100;
        const unsigned pick = random();
        const int n = static_cast<int>(random() % 37);
        for (Side* s : {&direct, &forwarded}) {
            if (p.settingChanges && change < 4)
                s->items.Initial_Bet.setText(kBets[pick % 7]);
            else if (p.settingChanges && change < 8)
                s->items.setGameMode(static_cast<int>(pick % 3));
            else if (p.settingChanges && change < 10)
                s->items.setBettingSystem(pick % 2 ? "Martingale" : "Donald");
            else if (p.settingChanges && change < 12 && !s->items.buttonsLocked())
                s->tracker.Reset_BetsClick();
            s->driver.spin(n);
            s->driver.runUntilIdle();
        }
        ASSERT_EQ(observed(direct), observed(forwarded)) << p.name << ", spin " << spin;
    }
    // Every spin was entered: none was refused by a window left locked.
    EXPECT_EQ(direct.tracker.NumbersList.count(), 3000) << p.name;
}

// The headless items' shorter ways against the writes they stand for, on every
// state a timer and the bar can be in.
TEST(HeadlessItemsShorterWays, EndWhereTheSingleWritesEnd) {
    const int intervals[] = {0, 60, 99, 100, 150, 249};
    for (bool on : {false, true})
        for (int before : intervals)
            for (int first : intervals)
                for (int then : intervals) {
                    HeadlessItems shorter;
                    HeadlessItems single;
                    for (HeadlessItems* it : {&shorter, &single}) {
                        it->setTimerInterval(TimerId::Classic, before);
                        it->setTimerEnabled(TimerId::Classic, on);
                        it->setNow(1234);
                    }
                    shorter.setTimerIntervalTwice(TimerId::Classic, first, then);
                    single.setTimerInterval(TimerId::Classic, first);
                    single.setTimerInterval(TimerId::Classic, then);
                    ASSERT_EQ(shorter.timerInterval(TimerId::Classic),
                              single.timerInterval(TimerId::Classic));
                    ASSERT_EQ(shorter.dueAt(TimerId::Classic), single.dueAt(TimerId::Classic))
                        << on << ' ' << before << ' ' << first << ' ' << then;
                }
    for (int progress = -1; progress <= 19; ++progress) {
        HeadlessItems shorter;
        HeadlessItems single;
        shorter.setProgressBar(progress);
        single.setProgressBar(progress);
        shorter.stepProgressBar();
        single.setProgressBar(single.progressBar() + 1);
        EXPECT_EQ(shorter.progressBar(), single.progressBar()) << progress;
    }
}

// A tracker reading its calendar from the virtual clock keeps the draw's
// numbers for a second; ticked at moments on both sides of second boundaries,
// below zero too, forwards and back, it draws as one asking a clock each time.
TEST(VirtualCalendar, DrawsAsAClockReadAtEveryTick) {
    const int64_t moments[] = {-3001, -3000, -2999,  -2001, -2000, -1001, -1000, -999,
                               -998,  -1,    0,      1,     998,   999,   1000,  1001,
                               1999,  2000,  2001,   500,   -500,  -1500, 7000,  6999,
                               7999,  8000,  123456, -999,  999,   1000,  0};
    Side direct(false);
    Side forwarded(true);
    for (Side* s : {&direct, &forwarded})
        s->tracker.Analize_Classic();
    for (int64_t t : moments) {
        for (Side* s : {&direct, &forwarded}) {
            s->items.setNow(t);
            s->tracker.Timer_ClassicTimer();
            if (!s->items.timerEnabled(TimerId::Classic)) s->tracker.Analize_Classic();
        }
        ASSERT_EQ(direct.items.timerInterval(TimerId::Classic),
                  forwarded.items.timerInterval(TimerId::Classic))
            << "at " << t;
        ASSERT_EQ(direct.tracker.state().Picked_Number, forwarded.tracker.state().Picked_Number)
            << "at " << t;
        ASSERT_EQ(direct.tracker.snapshot().generator.state(),
                  forwarded.tracker.snapshot().generator.state())
            << "at " << t;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, ItemsPaths,
    ::testing::Values(Profile{"mode1", 0, "Martingale", 0, false, false},
                      Profile{"mode1_donald_safe2_fixed", 0, "Donald", 2, true, false},
                      Profile{"mode2_fixed", 1, "Martingale", 1, true, false},
                      Profile{"sequential", 2, "Martingale", 0, false, false},
                      Profile{"mixed", 0, "Donald", 0, true, true}),
    [](const ::testing::TestParamInfo<Profile>& info) { return std::string(info.param.name); });

} // namespace
