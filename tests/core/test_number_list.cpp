#include "headless_items.h"
#include "number_list.h"
#include "tracker.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

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
    vantel::HeadlessItems items;
    vantel::Tracker tracker(items, [] { return int64_t{0}; });
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
