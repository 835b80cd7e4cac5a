#include "core_trace.h"

#include "headless_driver.h"
#include "spin_history.h"
#include "tracker.h"

#include <cstdio>
#include <memory>

namespace vantel::testing {

namespace {

// A fixed, library-independent stream of random numbers.
class SplitMix {
  public:
    explicit SplitMix(uint64_t seed) : m_state(seed) {}
    uint64_t next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
    bool chance(int perMille) { return below(1000) < perMille; }

  private:
    uint64_t m_state;
};

class Fnv {
  public:
    void bytes(const void* data, size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            m_hash ^= p[i];
            m_hash *= 0x100000001B3ull;
        }
    }
    void number(int64_t v) { bytes(&v, sizeof v); }
    // The length first, so that adjacent texts cannot run into each other.
    void text(const std::string& s) {
        number(static_cast<int64_t>(s.size()));
        bytes(s.data(), s.size());
    }
    uint64_t value() const { return m_hash; }

  private:
    uint64_t m_hash = 0xCBF29CE484222325ull;
};

// Every line, and the lines just before and past the ends.
void hashList(Fnv& h, const NumberList& list) {
    h.number(list.count());
    for (int i = -1; i <= list.count(); ++i)
        h.text(list.get(i));
}

void hashState(Fnv& h, const TrackerState& s) {
    for (int64_t v : {int64_t{s.Classic_Step},
                      int64_t{s.Sequential_Started},
                      int64_t{s.Last_Win},
                      int64_t{s.Loss_Streak},
                      int64_t{s.Win_Stake},
                      int64_t{s.Progression_Index},
                      int64_t{s.Bet_Active},
                      int64_t{s.Balance_Value},
                      int64_t{s.Balance2_Value},
                      int64_t{s.Sequential_Count},
                      int64_t{s.Picked_Number},
                      int64_t{s.Mode2_Step},
                      int64_t{s.Sequential_Step},
                      int64_t{s.Fixed_Matrix_Step},
                      s.Sequential_Stake,
                      int64_t{s.Sequential_Miss_Run},
                      int64_t{s.Sequential_Win_Run},
                      s.Sequential_Result,
                      s.Sequential_Base,
                      s.Sequential_Own})
        h.number(v);
}

// What a window following the tracker shows: only what the tracker told it,
// from what the window starts with.
class Mirror final : public TrackerObserver {
  public:
    void litChanged(int n, bool lit) override { m_lit.at(static_cast<size_t>(n)) = lit; }
    void stripMoved(const HistoryStrip& strip) override {
        for (int cell = 1; cell <= kHistoryCells; ++cell)
            m_strip.set(cell, strip.text(cell), strip.colour(cell));
    }
    void stakeChanged(const std::string& text) override { m_bet = text; }
    void progressChanged(int progress) override { m_progress = progress; }
    void lockChanged(bool locked) override { m_locked = locked; }
    void settingTextChanged(SpinSetting s, const std::string& text) override {
        m_texts.at(static_cast<size_t>(s)) = text;
    }
    void timerChanged(TimerId id, bool on, int interval, bool) override {
        m_timers.at(static_cast<size_t>(id)) = {on, interval};
    }
    // A text typed into a setting's edit.
    void typed(SpinSetting s, const std::string& text) {
        m_texts.at(static_cast<size_t>(s)) = text;
    }

    bool actNumberVisible(int n) const { return m_lit.at(static_cast<size_t>(n)); }
    std::string historyText(int cell) const { return m_strip.text(cell); }
    uint32_t historyColour(int cell) const { return m_strip.colour(cell); }
    const std::string& betText() const { return m_bet; }
    int progressBar() const { return m_progress; }
    bool timerEnabled(TimerId id) const { return m_timers.at(static_cast<size_t>(id)).on; }
    int timerInterval(TimerId id) const { return m_timers.at(static_cast<size_t>(id)).interval; }
    bool buttonsLocked() const { return m_locked; }
    const std::string& settingText(SpinSetting s) const {
        return m_texts.at(static_cast<size_t>(s));
    }

  private:
    std::array<bool, kBoardNumbers> m_lit{};
    HistoryStrip m_strip;
    std::string m_bet = "1";
    int m_progress = 0;
    bool m_locked = false;
    std::array<std::string, kSpinSettingCount> m_texts{};
    std::array<TimerRequest, kTrackerTimerCount> m_timers{{{false, kTimerStartIntervals[0]},
                                                           {false, kTimerStartIntervals[1]},
                                                           {false, kTimerStartIntervals[2]},
                                                           {false, kTimerStartIntervals[3]}}};
};

// What the window shows, in the order the trace was recorded in: as the
// tracker keeps it, or as a window shows it (view).
template <class View>
void hashItems(Fnv& h, const View& view, const Tracker& tracker, const HeadlessDriver& driver) {
    h.number(tracker.currentNum());
    h.number(tracker.settings().gameMode);
    h.text(tracker.settings().bettingSystem);
    h.number(tracker.settings().safeLevel);
    h.number(tracker.settings().fixedMatrix);
    h.number(tracker.settings().mode3Reset);
    h.number(tracker.settings().progression);
    for (SpinSetting f : kSpinSettings)
        h.text(view.settingText(f));
    uint64_t lit = 0;
    for (int n = 0; n <= kHighestNumber; ++n)
        if (view.actNumberVisible(n)) lit |= uint64_t{1} << n;
    h.number(static_cast<int64_t>(lit));
    for (int cell = 1; cell <= kHistoryCells; ++cell) {
        h.text(view.historyText(cell));
        h.number(view.historyColour(cell));
    }
    h.text(view.betText());
    h.number(view.progressBar());
    for (TimerId id : kTrackerTimers) {
        h.number(view.timerEnabled(id));
        h.number(view.timerInterval(id));
        h.number(driver.dueAt(id));
    }
    h.number(view.buttonsLocked());
    h.number(tracker.clock().now);
}

struct Profile {
    int mode = 0;
    const char* system = "Martingale";
    int safeLevel = 0;
    bool fixedMatrix = false;
    int mode3Reset = 0;
    int progression = 0;
    const char* initialBet = "1";
    const char* increaseTill = "18";
    const char* losses = "2";
    const char* wins = "1";
    bool resetOnError = true; // else the driver's recovery alone
    bool settingEvents = false;
    bool undo = false;
    bool clicksWhileLocked = false;
};

Profile profileOf(const std::string& name) {
    Profile p;
    if (name == "mode1-martingale") return p;
    if (name == "mode1-donald-safe3-fixed") {
        p.system = "Donald";
        p.safeLevel = 3;
        p.fixedMatrix = true;
        p.undo = true;
    } else if (name == "mode2-donald") {
        p.mode = 1;
        p.system = "Donald";
        p.clicksWhileLocked = true;
    } else if (name == "mode2-martingale-safe2-fixed") {
        p.mode = 1;
        p.safeLevel = 2;
        p.fixedMatrix = true;
        p.resetOnError = false;
    } else if (name == "sequential-double") {
        p.mode = 2;
        p.undo = true;
    } else if (name == "sequential-initbet-onlyplus") {
        p.mode = 2;
        p.progression = 1;
        p.mode3Reset = 1;
        p.initialBet = "3";
        p.increaseTill = "5";
        p.losses = "1";
        p.wins = "2";
        p.safeLevel = 1;
        p.clicksWhileLocked = true;
    } else if (name == "sequential-manual") {
        p.mode = 2;
        p.mode3Reset = 2;
        p.increaseTill = "35";
        p.losses = "3";
        p.system = "Donald";
        p.fixedMatrix = true;
    } else if (name == "mixed") {
        p.settingEvents = true;
        p.undo = true;
        p.clicksWhileLocked = true;
        p.resetOnError = false;
    }
    return p;
}

void changeSetting(SplitMix& random, Tracker& tracker, Mirror& shown) {
    static const char* const kBets[] = {"1", "2", "5", "10000", "0", "-3", "99999", "", "x", "$10"};
    static const char* const kTills[] = {"1", "3", "5", "18", "35", "0", "40"};
    static const char* const kRuns[] = {"1", "2", "3"};
    const auto type = [&](SpinSetting s, const char* text) {
        shown.typed(s, text);
        tracker.typeSettingText(s, text);
    };
    switch (random.below(12)) {
    case 0:
        tracker.setGameMode(random.below(3));
        break;
    case 1:
        tracker.setBettingSystem(random.below(2) ? "Martingale" : "Donald");
        break;
    case 2:
        type(vantel::SpinSetting::InitialBet, kBets[random.below(10)]);
        break;
    case 3:
        tracker.setSafeLevel(random.below(5));
        break;
    case 4:
        tracker.setFixedMatrix(!tracker.settings().fixedMatrix);
        break;
    case 5:
        tracker.setMode3Reset(random.below(3));
        break;
    case 6:
        tracker.setProgression(random.below(2));
        break;
    case 7:
        type(vantel::SpinSetting::IncreaseTill, kTills[random.below(7)]);
        break;
    case 8:
        type(vantel::SpinSetting::MCount, kRuns[random.below(3)]);
        break;
    case 9:
        type(vantel::SpinSetting::WCount, kRuns[random.below(3)]);
        break;
    default:
        if (!tracker.buttonsLocked()) tracker.Reset_BetsClick();
        break;
    }
}

} // namespace

const std::vector<TraceConfig>& traceConfigs() {
    static const std::vector<TraceConfig> configs = {
        {"mode1-martingale", 1, 20000},  {"mode1-donald-safe3-fixed", 2, 10000},
        {"mode2-donald", 3, 15000},      {"mode2-martingale-safe2-fixed", 4, 10000},
        {"sequential-double", 5, 15000}, {"sequential-initbet-onlyplus", 6, 10000},
        {"sequential-manual", 7, 5000},  {"mixed", 8, 15000},
    };
    return configs;
}

// Road::Window hashes what a window following the tracker shows, Road::Headless
// what the tracker keeps: both must give the recorded trace.
std::vector<TraceCheckpoint> playTraceOn(const TraceConfig& config, Road road) {
    const Profile p = profileOf(config.name);
    Tracker tracker;
    tracker.clock().followCalendarFrom(1700000000);
    Mirror shown;
    if (road == Road::Window) tracker.setObserver(&shown);
    HeadlessDriver driver(tracker);
    tracker.setGameMode(p.mode);
    tracker.setBettingSystem(p.system);
    tracker.setSafeLevel(p.safeLevel);
    tracker.setFixedMatrix(p.fixedMatrix);
    tracker.setMode3Reset(p.mode3Reset);
    tracker.setProgression(p.progression);
    for (const auto& [s, text] :
         {std::pair{SpinSetting::InitialBet, p.initialBet},
          std::pair{SpinSetting::IncreaseTill, p.increaseTill},
          std::pair{SpinSetting::MCount, p.losses}, std::pair{SpinSetting::WCount, p.wins}}) {
        shown.typed(s, text);
        tracker.typeSettingText(s, text);
    }
    std::unique_ptr<SpinHistory> history;
    if (p.undo) history = std::make_unique<SpinHistory>(tracker, 50);
    SplitMix random(config.seed);

    // The tables and the first lists never change; they start the chain.
    Fnv first;
    for (const NumberList* list :
         {&tracker.Classic_Numbers_Def1, &tracker.Classic_Numbers_Def2,
          &tracker.Classic_Numbers_Def3, &tracker.System_Martingale, &tracker.System_Donald,
          &tracker.Sequential_Numbers_Def, &tracker.Mode2_Numbers_Def})
        hashList(first, *list);
    uint64_t chained = first.value();

    std::vector<TraceCheckpoint> trace;
    TraceCheckpoint current;
    for (int spin = 1; spin <= config.spins; ++spin) {
        if (p.settingEvents && random.chance(60)) changeSetting(random, tracker, shown);
        if (history && random.chance(40)) {
            for (int k = 1 + random.below(3); k > 0; --k)
                history->undo();
            if (random.chance(500)) history->redo();
        }
        const int n = random.below(37);
        if (!driver.spin(n) && p.resetOnError) tracker.Reset_BetsClick();
        if (p.clicksWhileLocked && random.chance(50)) {
            // Part of the draw passes; a click now is refused while it runs.
            driver.advance(random.below(1500));
            driver.spin(random.below(37));
        }
        driver.runUntilIdle();

        Fnv h;
        if (road == Road::Window)
            hashItems(h, shown, tracker, driver);
        else
            hashItems(h, tracker, tracker, driver);
        hashState(h, tracker.state());
        h.number(static_cast<int64_t>(tracker.state().Sequential_Own));
        for (const NumberList* list : {&tracker.Prediction_List, &tracker.Classic_Numbers_Cur1,
                                       &tracker.Classic_Numbers_Cur2, &tracker.Classic_Numbers_Cur3,
                                       &tracker.Sequential_Numbers_Cur, &tracker.Mode2_Numbers_Cur})
            hashList(h, *list);
        const NumberList& record = tracker.NumbersList;
        if (spin % 1000 == 0 || spin == config.spins) {
            hashList(h, record);
        } else {
            h.number(record.count());
            h.text(record.get(record.count() - 1));
            h.text(record.get(record.count()));
        }
        h.number(static_cast<int64_t>(driver.errors().size()));
        if (!driver.errors().empty()) h.text(driver.errors().back());
        if (history) {
            h.number(static_cast<int64_t>(history->undoCount()));
            h.number(static_cast<int64_t>(history->redoCount()));
            h.number(history->undoNumber().value_or(-1));
            h.number(history->redoNumber().value_or(-1));
        }

        const uint64_t own = h.value();
        Fnv chain;
        chain.number(static_cast<int64_t>(chained));
        chain.number(static_cast<int64_t>(own));
        chained = chain.value();
        char digest[3];
        std::snprintf(digest, sizeof digest, "%02x", static_cast<unsigned>(own & 0xFF));
        current.digests += digest;
        if (spin % kTraceStride == 0 || spin == config.spins) {
            current.spin = spin;
            current.chained = chained;
            trace.push_back(current);
            current = {};
        }
    }
    return trace;
}

std::vector<TraceCheckpoint> playTrace(const TraceConfig& config, Road road) {
    return playTraceOn(config, road);
}

std::string formatTrace(const TraceConfig& config, const std::vector<TraceCheckpoint>& trace) {
    std::string out;
    for (const TraceCheckpoint& c : trace) {
        char head[64];
        std::snprintf(head, sizeof head, " %d %016llx ", c.spin,
                      static_cast<unsigned long long>(c.chained));
        out += config.name;
        out += head;
        out += c.digests;
        out += '\n';
    }
    return out;
}

} // namespace vantel::testing
