#include "int_convert.h"
#include "number_list.h"
#include "tracker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

using vantel::NumberList;

namespace {

TEST(NumberList, LineOperationsNeverFailOutsideTheList) {
    NumberList list = NumberList::of({4, 8, 15});
    EXPECT_EQ(list.get(3), "");
    EXPECT_EQ(list.get(-1), "");
    list.remove(3);
    list.remove(-1);
    EXPECT_EQ(list, NumberList::of({4, 8, 15}));
    list.remove(1);
    list.append("16");
    EXPECT_EQ(list, NumberList::of({4, 15, 16}));
    EXPECT_EQ(list.indexOf("16"), 2);
    EXPECT_EQ(list.indexOf("8"), -1);
    list.assign(NumberList::of({9, 7}));
    EXPECT_EQ(list, NumberList::of({9, 7}));
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

TEST(NumberTables, StakeTablesEndAtRows17And999AndTheThirdsCoverTheBoardOnce) {
    vantel::Tracker tracker;
    tracker.clock().fixCalendar(0);
    const NumberList& martingale = tracker.System_Martingale;
    ASSERT_EQ(martingale.count(), 18);
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(martingale.get(i), std::to_string(int64_t{1} << i));
    EXPECT_EQ(martingale.get(17), "131072");
    EXPECT_EQ(martingale.get(18), "");
    const NumberList& donald = tracker.System_Donald;
    ASSERT_EQ(donald.count(), 1000);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(donald.get(i), std::to_string(i + 1));
    EXPECT_EQ(donald.get(1000), "");

    EXPECT_EQ(tracker.Classic_Numbers_Def1.count(), 13);
    EXPECT_EQ(tracker.Classic_Numbers_Def2.count(), 12);
    std::multiset<int> all;
    for (const NumberList* t : {&tracker.Classic_Numbers_Def1, &tracker.Classic_Numbers_Def2,
                                &tracker.Classic_Numbers_Def3})
        for (int v : t->values())
            all.insert(v);
    const auto board = NumberList::range(0, 36).values();
    EXPECT_EQ(all, std::multiset<int>(board.begin(), board.end()));
    EXPECT_EQ(tracker.Sequential_Numbers_Def, NumberList::range(0, 36));
    EXPECT_EQ(tracker.Classic_Numbers_Def2.get(0), "13");
}

} // namespace

namespace {

// The lines the list is held to: plain text lines, read as the core reads them.
struct TextLines {
    std::vector<std::string> lines;
    std::string get(int i) const {
        return i >= 0 && i < static_cast<int>(lines.size()) ? lines[static_cast<size_t>(i)] : "";
    }
};

// Seeded random operations on a list and on plain text lines give the same
// texts, reads past the ends included, the same conversions, searches and
// comparisons, whether every line is a decimal number or some are not
// ("07", "-0", " 5", "$1F", "x", "", a number past 64 bits).
TEST(NumberList, BehavesAsTextLinesWhateverTheLinesHold) {
    const std::vector<std::string> texts = {"0",
                                            "7",
                                            "36",
                                            "-5",
                                            "131072",
                                            "07",
                                            "-0",
                                            " 5",
                                            "+3",
                                            "$1F",
                                            "x",
                                            "",
                                            "9223372036854775808",
                                            "-9223372036854775808",
                                            "2147483648",
                                            "-2147483648"};
    std::mt19937 random(4242);
    for (int round = 0; round < 200; ++round) {
        NumberList list;
        TextLines model;
        const bool decimalOnly = round % 2 == 0;
        for (int op = 0; op < 60; ++op) {
            const int kind = static_cast<int>(random() % 10);
            const int at = static_cast<int>(random() % 12) - 1;
            if (kind < 4) {
                const int64_t v = static_cast<int64_t>(random() % 2001) - 1000;
                list.append(v);
                model.lines.push_back(std::to_string(v));
            } else if (kind < 6 && !decimalOnly) {
                const std::string& t = texts[random() % texts.size()];
                list.append(t);
                model.lines.push_back(t);
            } else if (kind < 8) {
                list.remove(at);
                if (at >= 0 && at < static_cast<int>(model.lines.size()))
                    model.lines.erase(model.lines.begin() + at);
            } else if (kind == 8 && random() % 8 == 0) {
                list.clear();
                model.lines.clear();
            } else if (kind == 9 && !model.lines.empty() && random() % 2 == 0) {
                // The draw's pick: line x % count() taken when it is an integer.
                const auto x = static_cast<int32_t>(random() & 0x7FFFFFFF);
                const auto want = static_cast<int>(static_cast<size_t>(x) % model.lines.size());
                const auto wantValue = vantel::tryStrToInt(model.get(want));
                int index = -1;
                int32_t value = -1;
                ASSERT_EQ(list.takeIntAtRemainder(x, index, value), wantValue.has_value());
                ASSERT_EQ(index, want);
                if (wantValue) {
                    EXPECT_EQ(value, *wantValue);
                    model.lines.erase(model.lines.begin() + want);
                }
            } else {
                NumberList copy;
                copy.assign(list);
                ASSERT_EQ(copy, list);
                list = copy;
            }
            ASSERT_EQ(list.count(), static_cast<int>(model.lines.size()));
            for (int i = -1; i <= list.count(); ++i) {
                ASSERT_EQ(list.get(i), model.get(i)) << "line " << i;
                EXPECT_EQ(list.intAt(i), vantel::tryStrToInt(model.get(i))) << "line " << i;
                for (int64_t v : {int64_t{0}, int64_t{7}, int64_t{-5}, int64_t{131072}})
                    EXPECT_EQ(list.holds(i, v), model.get(i) == std::to_string(v));
            }
            for (int64_t v : {int64_t{0}, int64_t{7}, int64_t{-5}, int64_t{131072}})
                EXPECT_EQ(list.countHolding(v),
                          std::count(model.lines.begin(), model.lines.end(), std::to_string(v)));
            for (const std::string& t : texts) {
                const auto it = std::find(model.lines.begin(), model.lines.end(), t);
                const int want =
                    it == model.lines.end() ? -1 : static_cast<int>(it - model.lines.begin());
                EXPECT_EQ(list.indexOf(t), want) << "'" << t << "'";
            }
            std::vector<int> values;
            for (const std::string& line : model.lines)
                if (auto v = vantel::tryStrToInt(line)) values.push_back(*v);
            EXPECT_EQ(list.values(), values);
        }
        NumberList same;
        for (const std::string& line : model.lines)
            same.append(line);
        EXPECT_EQ(same, list);
        if (!model.lines.empty()) {
            same.remove(0);
            EXPECT_FALSE(same == list);
        }
    }
}

} // namespace
