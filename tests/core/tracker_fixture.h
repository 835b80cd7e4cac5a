#pragma once

#include "headless_driver.h"
#include "int_convert.h"
#include "tracker.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

namespace vantel::testing {

// A tracker played by the headless driver, without a window. The
// calendar clock is either a fixed second or follows the virtual time of the
// timers, so every run is deterministic. m_settingChanges counts the runs of
// Initial_BetChange that a change of a spin setting's text started: typed, or
// rewritten by its reading.
class TrackerFixture : public ::testing::Test {
  protected:
    TrackerFixture() { tracker.setObserver(&m_rewrites); }
    // Types a spin setting's text as a player would.
    void type(SpinSetting s, const std::string& text) {
        if (tracker.typeSettingText(s, text) && changeResetsStakes(s)) ++m_settingChanges;
    }

    int64_t calendarSeconds() const { return tracker.calendarSeconds(); }
    void fixClock(int64_t second) { tracker.clock().fixCalendar(second); }

    // Enters a spin and lets whatever analysis it starts run to its end.
    void play(int n) {
        ASSERT_TRUE(driver.spin(n)) << "spin " << n << " failed";
        driver.runUntilIdle();
    }
    // The first four spins are only recorded.
    void collect() {
        for (int n : {30, 31, 32, 33})
            play(n);
    }
    int hitNumber() const { return StrToInt(tracker.Prediction_List.get(0)); }
    int missNumber() const {
        int n = 0;
        while (tracker.Prediction_List.indexOf(std::to_string(n)) >= 0)
            ++n;
        return n;
    }
    void hit() { play(hitNumber()); }
    void miss() { play(missNumber()); }
    // Runs exactly one tick of a timer that is on.
    void tickOnce(TimerId id) { driver.advance(driver.dueAt(id) - tracker.clock().now); }

    std::set<int> lit() const {
        std::set<int> out;
        for (int n = 0; n <= 36; ++n)
            if (tracker.actNumberVisible(n)) out.insert(n);
        return out;
    }
    std::set<int> predicted() const {
        const auto v = tracker.Prediction_List.values();
        return {v.begin(), v.end()};
    }
    // 18 different numbers, six from 0-12, then six from 13-24, then six from 25-36.
    void expectDrawByThirds() const {
        const auto drawn = tracker.Prediction_List.values();
        ASSERT_EQ(drawn.size(), 18u);
        EXPECT_EQ(predicted().size(), 18u);
        for (size_t i = 0; i < 18; ++i)
            EXPECT_EQ(drawn[i] <= 12 ? 0 : drawn[i] <= 24 ? 1 : 2, static_cast<int>(i / 6));
    }
    bool anyTimerOn() const {
        for (TimerId id : vantel::kTrackerTimers)
            if (tracker.timerEnabled(id)) return true;
        return false;
    }
    const TrackerState& st() const { return tracker.state(); }

    // Counts the rewrites of a text whose change starts the stakes over.
    struct Rewrites : TrackerObserver {
        explicit Rewrites(int& count) : changes(count) {}
        void settingTextChanged(SpinSetting s, const std::string&) override {
            if (changeResetsStakes(s)) ++changes;
        }
        int& changes;
    };

    int m_settingChanges = 0;
    Rewrites m_rewrites{m_settingChanges};
    Tracker tracker;
    HeadlessDriver driver{tracker};
};

} // namespace vantel::testing
