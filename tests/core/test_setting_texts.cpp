// What a spin setting whose text is not a whole number does, as the tracker
// has always done it: the text reads as the setting's minimum, and the first
// reading writes the minimum into it. For Init. Bet, M. Count and W. Count
// that rewrite is a change of the text, which starts the stakes over (Reset)
// at that moment, inside the step that read it; Increase till is rewritten
// without a reset. A text that is a whole number is read as it stands, out of
// range or not. Init. Bet is read by its own change, so its rewrite follows
// at once; M. Count is read by a lit miss of the sequence, W. Count by a lit
// hit, Increase till by every Sequential step.
#include "tracker_fixture.h"

#include <ostream>
#include <string>

namespace {

struct Shown {
    std::string text;
    int changes; // runs of the change procedure (Initial_BetChange)
};
struct Case {
    vantel::SpinSetting edit;
    const char* typed;
    bool hit; // the spin after the typing hits the lit number, else misses
    Shown afterTyping;
    Shown afterSpin;
    int32_t count; // the sequence after the spin
    int64_t stake;
    int64_t result;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << '"' << c.typed << '"' << (c.hit ? " then a hit" : " then a miss");
}

class SettingTexts : public vantel::testing::TrackerFixture,
                     public ::testing::WithParamInterface<Case> {};

TEST_P(SettingTexts, ReadAsTheMinimumAndRewrittenWhenFirstRead) {
    const Case& c = GetParam();
    tracker.setMode3Reset(2); // Manual: the sequence's own reset shows nothing here
    tracker.setGameMode(2);
    collect();
    play(14); // the sequence starts: one number lit at a stake of 1
    ASSERT_EQ(st().Sequential_Count, 1);
    type(c.edit, c.typed);
    EXPECT_EQ(tracker.settingText(c.edit), c.afterTyping.text);
    EXPECT_EQ(m_settingChanges, c.afterTyping.changes);
    c.hit ? hit() : miss();
    EXPECT_EQ(tracker.settingText(c.edit), c.afterSpin.text);
    EXPECT_EQ(m_settingChanges, c.afterSpin.changes);
    EXPECT_EQ(st().Sequential_Count, c.count);
    EXPECT_EQ(st().Sequential_Stake, c.stake);
    EXPECT_EQ(st().Sequential_Result, c.result);
}

constexpr auto kBet = vantel::SpinSetting::InitialBet;
constexpr auto kTill = vantel::SpinSetting::IncreaseTill;
constexpr auto kMCount = vantel::SpinSetting::MCount;
constexpr auto kWCount = vantel::SpinSetting::WCount;

INSTANTIATE_TEST_SUITE_P(
    Texts, SettingTexts,
    ::testing::Values(
        // Init. Bet: its own change reads it, so "x" is "1" at once, two changes.
        Case{kBet, "x", false, {"1", 2}, {"1", 2}, 1, 1, -1},
        Case{kBet, "", false, {"1", 2}, {"1", 2}, 1, 1, -1},
        // "$10" is a whole number: hexadecimal 16.
        Case{kBet, "$10", true, {"$10", 1}, {"$10", 1}, 1, 16, 560},
        Case{kBet, "7", false, {"7", 1}, {"7", 1}, 1, 7, -7},
        // Never clamped when read: a stake of 0 places nothing.
        Case{kBet, "0", false, {"0", 1}, {"0", 1}, 1, 0, 0},
        // M. Count: read by the lit miss, whose reset wipes what it booked;
        // the step then goes on with the stake it had read.
        Case{kMCount, "x", false, {"x", 1}, {"1", 2}, 2, 2, 0},
        Case{kMCount, "x", true, {"x", 1}, {"x", 1}, 1, 1, 35},
        Case{kMCount, "1", false, {"1", 1}, {"1", 1}, 2, 2, -1},
        // W. Count: read by the lit hit.
        Case{kWCount, "-", true, {"-", 1}, {"1", 2}, 1, 1, 0},
        Case{kWCount, "-", false, {"-", 1}, {"-", 1}, 1, 1, -1},
        // Increase till: rewritten when read, no reset; a whole number stays.
        Case{kTill, "1.5", false, {"1.5", 0}, {"1", 0}, 1, 1, -1},
        Case{kTill, "40", false, {"40", 0}, {"40", 0}, 1, 1, -1}));

} // namespace
