#include "spin_rules.h"

#include <gtest/gtest.h>

#include <string>

using vantel::SpinBounds;
using vantel::SpinValue;

namespace {

constexpr SpinBounds kInitialBet{1, 10000, 1};

TEST(SpinValue, TypedTextReadsAsTypedFallsBackWhenInvalidAndClampsOnLeaving) {
    const struct {
        const char* typed;
        const char* textAfterTyping;
        int32_t valueRead;
        const char* textAfterLeave;
        int changesAfterTyping;
        int changesAfterLeave;
    } cases[] = {{"", "1", 1, "1", 2, 2},
                 {"5 ", "1", 1, "1", 2, 2},
                 {"5.", "1", 1, "1", 2, 2},
                 {"-", "1", 1, "1", 2, 2},
                 {"$", "1", 1, "1", 2, 2},
                 {"0", "0", 0, "1", 1, 2},
                 {"99999", "99999", 99999, "10000", 1, 2},
                 {"-1", "-1", -1, "1", 1, 2},
                 {"$10", "$10", 16, "$10", 1, 1},
                 {"25", "25", 25, "25", 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("typed '") + c.typed + "'");
        SpinValue edit(kInitialBet, 1);
        int changes = 0;
        int32_t seen = 0;
        // The change handler reads the value, as the stake computation does.
        edit.OnChange = [&] {
            ++changes;
            seen = edit.value();
        };
        edit.setText(c.typed);
        EXPECT_EQ(edit.text(), c.textAfterTyping);
        EXPECT_EQ(seen, c.valueRead);
        EXPECT_EQ(changes, c.changesAfterTyping);
        edit.leave();
        EXPECT_EQ(edit.text(), c.textAfterLeave);
        EXPECT_EQ(changes, c.changesAfterLeave);
    }
}

TEST(SpinValue, ArrowsStepWithinTheBoundsAndRaiseChangeOnlyForANewText) {
    const struct {
        const char* start;
        bool up;
        const char* expected;
        int changes;
    } cases[] = {{"10000", true, "10000", 0},
                 {"1", false, "1", 0},
                 {"1", true, "2", 1},
                 {"99999", false, "10000", 1},
                 {"abc", true, "2", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + (c.up ? " up" : " down"));
        SpinValue edit(kInitialBet, 1);
        edit.setText(c.start);
        int changes = 0;
        edit.OnChange = [&] { ++changes; };
        c.up ? edit.upStep() : edit.downStep();
        EXPECT_EQ(edit.text(), c.expected);
        EXPECT_EQ(changes, c.changes);
    }
}

TEST(SpinKeyFilter, AcceptsDigitsSignsSeparatorAndCodesBelowTheDigitTwoExceptEnter) {
    const struct {
        uint32_t code;
        uint32_t separator;
        bool accepted;
    } cases[] = {{13, '.', false},  {'a', '.', false}, {'A', '.', false}, {':', '.', false},
                 {127, '.', false}, {8, '.', true},    {' ', '.', true},  {'!', '.', true},
                 {'/', '.', true},  {'0', '.', true},  {'9', '.', true},  {'+', '.', true},
                 {'-', '.', true},  {':', ':', true},  {200, '.', true},  {0x066B, '.', true}};
    for (const auto& c : cases)
        EXPECT_EQ(vantel::spinAcceptsChar(c.code, c.separator), c.accepted) << "code " << c.code;
}

} // namespace
