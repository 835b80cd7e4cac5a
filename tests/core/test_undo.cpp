// Taking spins back and entering them again: after every undo the whole
// observable state is the one of the moment before that spin, in every mode
// and betting system, whatever settings and resets came between.
#include "spin_history.h"
#include "tracker_fixture.h"

#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <type_traits>

namespace vantel::testing {
namespace {

// Compared byte for byte, so that a field added to the state is compared too.
static_assert(std::has_unique_object_representations_v<TrackerState>,
              "TrackerState has padding: compare it field by field");

// Everything the tracker and the window items it writes show, read through
// their public faces only (not through a snapshot).
struct Observation {
    std::vector<NumberList> lists;
    TrackerState state;
    int currentNum = 0;
    std::vector<bool> act;
    std::vector<std::string> historyText;
    std::vector<uint32_t> historyColour;
    std::string bet;
    int progress = 0;
    std::vector<std::pair<bool, int>> timers;
    bool locked = false;

    bool operator==(const Observation& o) const {
        return lists == o.lists && std::memcmp(&state, &o.state, sizeof state) == 0 &&
               currentNum == o.currentNum && act == o.act && historyText == o.historyText &&
               historyColour == o.historyColour && bet == o.bet && progress == o.progress &&
               timers == o.timers && locked == o.locked;
    }
};

Observation observe(const Tracker& t) {
    Observation o;
    o.lists = {t.NumbersList,          t.Prediction_List,      t.Classic_Numbers_Cur1,
               t.Classic_Numbers_Cur2, t.Classic_Numbers_Cur3, t.Sequential_Numbers_Cur,
               t.Mode2_Numbers_Cur};
    o.state = t.state();
    o.currentNum = t.currentNum();
    for (int n = 0; n <= 36; ++n)
        o.act.push_back(t.actNumberVisible(n));
    for (int cell = 1; cell <= 10; ++cell) {
        o.historyText.push_back(t.historyText(cell));
        o.historyColour.push_back(t.historyColour(cell));
    }
    o.bet = t.betText();
    o.progress = t.progressBar();
    for (TimerId id : kTrackerTimers)
        o.timers.emplace_back(t.timerEnabled(id), t.timerInterval(id));
    o.locked = t.buttonsLocked();
    return o;
}

std::string describe(const Observation& o) {
    std::ostringstream out;
    out << "spins " << o.lists[0].count() << ", prediction " << o.lists[1].count() << ", bet '"
        << o.bet << "', streak " << o.state.Loss_Streak << ", index " << o.state.Progression_Index
        << ", balance " << o.state.Balance_Value << ", progress " << o.progress << ", locked "
        << o.locked << ", label1 '" << o.historyText[0] << "'";
    return out.str();
}

// One tracker played without a window, with an undo history, the clock on the virtual time.
struct Session {
    Session() {}
    Observation now() const { return observe(tracker); }

    Tracker tracker;
    HeadlessDriver driver{tracker};
    SpinHistory history{tracker};
};

TEST(UndoProperty, EveryUndoRestoresTheStateBeforeItsSpinInEveryModeAndSystem) {
    std::mt19937 random(20261208);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const Observation fresh = Session().now();
    int undone = 0;
    int redone = 0;
    int refused = 0;

    // A session goes on from where the last sequence was taken back to; a new
    // one now and then, since the settings and resets of a sequence stay.
    std::unique_ptr<Session> session;
    for (int sequence = 0; sequence < 10000; ++sequence) {
        if (sequence % 50 == 0) {
            session = std::make_unique<Session>();
            ASSERT_EQ(session->now(), fresh);
        }
        Session& s = *session;
        const Observation start = s.now();
        s.tracker.setGameMode(pick(3));
        s.tracker.setBettingSystem(pick(2) ? "Donald" : "Martingale");
        s.tracker.setSafeLevel(pick(3));
        s.tracker.setFixedMatrix(pick(4) == 0);
        s.tracker.setMode3Reset(pick(3));
        s.tracker.setProgression(pick(2));

        std::vector<Observation> before; // one per spin the history holds
        bool changedBeforeFirstSpin = false;
        if (pick(2) == 0) {
            // Half the sequences start past the four recorded spins.
            for (int i = 0; i < 4; ++i) {
                before.push_back(s.now());
                s.driver.spin(pick(37));
            }
        }
        const int ops = 2 + pick(9);
        for (int op = 0; op < ops; ++op) {
            SCOPED_TRACE("sequence " + std::to_string(sequence) + " op " + std::to_string(op));
            const int what = pick(20);
            if (what < 9 || (what < 11 && s.tracker.buttonsLocked())) {
                // A spin, mostly played to the end of its analysis.
                const Observation seen = s.now();
                const size_t held = s.history.undoCount();
                s.driver.spin(pick(37));
                if (s.history.undoCount() > held) before.push_back(seen);
                EXPECT_EQ(s.history.redoCount(), 0u) << "a new spin clears redo";
                if (pick(3) != 0) s.driver.runUntilIdle();
            } else if (what < 14) {
                const Observation seen = s.now();
                const auto result = s.history.undo();
                if (s.tracker.buttonsLocked()) {
                    EXPECT_EQ(result, SpinHistory::Result::Locked);
                    EXPECT_EQ(s.now(), seen) << "a refused undo changes nothing";
                    ++refused;
                } else if (before.empty()) {
                    EXPECT_EQ(result, SpinHistory::Result::Nothing);
                    EXPECT_EQ(s.now(), seen);
                } else {
                    ASSERT_EQ(result, SpinHistory::Result::Done);
                    ASSERT_EQ(s.now(), before.back()) << "now:    " << describe(s.now())
                                                      << "\nbefore: " << describe(before.back());
                    before.pop_back();
                    ++undone;
                }
            } else if (what < 16) {
                const Observation seen = s.now();
                const size_t redoable = s.history.redoCount();
                const auto result = s.history.redo();
                if (result == SpinHistory::Result::Done) {
                    before.push_back(seen);
                    EXPECT_EQ(s.history.redoCount(), redoable - 1) << "redo keeps the rest";
                    s.driver.runUntilIdle();
                    ++redone;
                } else {
                    EXPECT_EQ(s.now(), seen);
                }
            } else if (what < 17) {
                s.driver.runUntilIdle();
            } else if (!s.tracker.buttonsLocked()) {
                // Settings and resets: only while unlocked, as in the window.
                if (before.empty()) changedBeforeFirstSpin = true;
                switch (pick(6)) {
                case 0:
                    s.tracker.setGameMode(pick(3));
                    break;
                case 1:
                    s.tracker.setBettingSystem(pick(2) ? "Donald" : "Martingale");
                    break;
                case 2:
                    s.tracker.setSafeLevel(pick(4));
                    break;
                case 3:
                    s.tracker.setFixedMatrix(!s.tracker.settings().fixedMatrix);
                    break;
                case 4:
                    s.tracker.typeSettingText(vantel::SpinSetting::InitialBet,
                                              std::to_string(1 + pick(20)));
                    break;
                default:
                    s.tracker.Reset_BetsClick();
                    break;
                }
            }
        }

        // All the way back.
        s.driver.runUntilIdle();
        const bool anySpin = !before.empty();
        const Observation first = anySpin ? before.front() : Observation{};
        while (s.history.undo() == SpinHistory::Result::Done) {
            ASSERT_FALSE(before.empty());
            ASSERT_EQ(s.now(), before.back()) << "sequence " << sequence;
            before.pop_back();
        }
        EXPECT_TRUE(before.empty()) << "sequence " << sequence;
        if (anySpin) {
            EXPECT_EQ(s.now(), first);
            if (!changedBeforeFirstSpin) {
                EXPECT_EQ(s.now(), start) << "sequence " << sequence;
            }
        }
    }
    // The sequences reached every branch often.
    EXPECT_GT(undone, 10000);
    EXPECT_GT(redone, 1000);
    EXPECT_GT(refused, 500);
}

class Undo : public TrackerFixture {
  protected:
    Observation now() const { return observe(tracker); }
    SpinHistory history{tracker};
};

TEST_F(Undo, TakesBackOneOfTheFirstFourSpins) {
    play(7);
    play(0);
    const Observation beforeThird = now();
    play(19);
    EXPECT_EQ(history.undoNumber(), 19);
    ASSERT_EQ(history.undo(), SpinHistory::Result::Done);
    EXPECT_EQ(now(), beforeThird);
    EXPECT_EQ(tracker.NumbersList.count(), 2);
    EXPECT_EQ(tracker.historyText(1), "0");
    EXPECT_EQ(tracker.historyColour(1), kColourGreen);
    EXPECT_EQ(tracker.historyText(3), "");
    EXPECT_EQ(tracker.historyColour(3), kColourBlack);
    EXPECT_EQ(history.redoNumber(), 19);
    EXPECT_EQ(history.undoNumber(), 0);
}

TEST_F(Undo, RedoEntersTheSpinAgainAsAClickWouldWithANewDraw) {
    collect();
    play(5);
    const Observation beforeSixth = now();
    play(12);
    ASSERT_EQ(history.undo(), SpinHistory::Result::Done);
    ASSERT_EQ(now(), beforeSixth);
    ASSERT_EQ(history.redo(), SpinHistory::Result::Done);
    EXPECT_TRUE(tracker.buttonsLocked()) << "the redone spin starts an analysis";
    driver.runUntilIdle();
    EXPECT_EQ(tracker.NumbersList.count(), 6);
    EXPECT_EQ(tracker.NumbersList.get(5), "12");
    EXPECT_EQ(tracker.historyText(1), "12");
    EXPECT_EQ(st().Loss_Streak, beforeSixth.lists[1].indexOf("12") >= 0 ? 0 : 1);
    expectDrawByThirds();
    EXPECT_EQ(history.redoNumber(), std::nullopt);
    EXPECT_EQ(history.undoNumber(), 12);
    // And back again to the same moment.
    ASSERT_EQ(history.undo(), SpinHistory::Result::Done);
    EXPECT_EQ(now(), beforeSixth);
}

TEST_F(Undo, ANewSpinClearsWhatRedoCouldEnter) {
    collect();
    play(5);
    play(6);
    ASSERT_EQ(history.undo(), SpinHistory::Result::Done);
    ASSERT_EQ(history.undo(), SpinHistory::Result::Done);
    EXPECT_EQ(history.redoCount(), 2u);
    EXPECT_EQ(history.redoNumber(), 5);
    play(9);
    EXPECT_EQ(history.redoCount(), 0u);
    EXPECT_EQ(history.redo(), SpinHistory::Result::Nothing);
    EXPECT_EQ(history.undoNumber(), 9);
}

TEST_F(Undo, IsRefusedWhileTheWindowIsLocked) {
    collect();
    ASSERT_TRUE(driver.spin(5)); // the draw runs: the window is locked
    ASSERT_TRUE(tracker.buttonsLocked());
    const Observation during = now();
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(history.undo(), SpinHistory::Result::Locked);
    EXPECT_EQ(history.redo(), SpinHistory::Result::Locked);
    EXPECT_EQ(now(), during);
    driver.runUntilIdle();
    EXPECT_TRUE(history.canUndo());
    EXPECT_EQ(history.undo(), SpinHistory::Result::Done);
}

TEST_F(Undo, WithNothingToTakeBackChangesNothing) {
    const Observation fresh = now();
    EXPECT_EQ(history.undo(), SpinHistory::Result::Nothing);
    EXPECT_EQ(history.redo(), SpinHistory::Result::Nothing);
    EXPECT_EQ(now(), fresh);
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
}

TEST_F(Undo, TakesBackTheSpinThatRanPastTheStakeTable) {
    collect();
    play(30); // the first analysed spin: evaluated against nothing, then a lit draw
    for (int i = 0; i < 17; ++i)
        miss();
    ASSERT_EQ(tracker.betText(), "131072");
    const Observation beforeFailure = now();
    const int number = missNumber();
    ASSERT_FALSE(driver.spin(number)) << "the eighteenth doubling runs past row 17";
    ASSERT_EQ(driver.errors().size(), 1u);
    // The recovery after the error starts the progression over.
    EXPECT_EQ(tracker.betText(), "1");
    EXPECT_EQ(st().Progression_Index, 0);
    ASSERT_FALSE(tracker.buttonsLocked()) << "the driver unlocks after the error";
    EXPECT_EQ(history.undoNumber(), number);
    ASSERT_EQ(history.undo(), SpinHistory::Result::Done);
    EXPECT_EQ(now(), beforeFailure);
    EXPECT_EQ(tracker.betText(), "131072");
    EXPECT_EQ(st().Progression_Index, 17);
    // Entered again, it fails again; and can be taken back again.
    EXPECT_THROW(history.redo(), ConvertError);
    tracker.recoverAfterError();
    EXPECT_EQ(history.undo(), SpinHistory::Result::Done);
    EXPECT_EQ(now(), beforeFailure);
}

TEST_F(Undo, KeepsAsManySpinsAsItsDepthAndDropsTheOldest) {
    SpinHistory shallow(tracker, 3); // replaces the fixture's recorder
    std::vector<Observation> before;
    for (int n : {1, 2, 3, 4, 5, 6}) {
        before.push_back(now());
        play(n);
    }
    EXPECT_EQ(shallow.undoCount(), 3u);
    for (int i = 5; i >= 3; --i) {
        ASSERT_EQ(shallow.undo(), SpinHistory::Result::Done);
        EXPECT_EQ(now(), before[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(shallow.undo(), SpinHistory::Result::Nothing);
    EXPECT_EQ(tracker.NumbersList.count(), 3);
}

TEST_F(Undo, AThousandSpinsDeep) {
    EXPECT_GE(history.depth(), 1000u);
    std::mt19937 random(3);
    std::vector<Observation> before;
    for (int i = 0; i < 1000; ++i) {
        before.push_back(now());
        driver.spin(static_cast<int>(random() % 37)); // a failed spin is kept too
        driver.runUntilIdle();
    }
    for (int i = 999; i >= 0; --i) {
        ASSERT_EQ(history.undo(), SpinHistory::Result::Done) << i;
        ASSERT_EQ(now(), before[static_cast<size_t>(i)]) << i;
    }
    EXPECT_EQ(tracker.NumbersList.count(), 0);
}

} // namespace
} // namespace vantel::testing
