// The window's timer restarts its count only on a real change of state or
// interval; QTimer alone would restart on every setInterval.
#include "widgets/program_timer.h"

#include <QTest>

#include <gtest/gtest.h>

TEST(ProgramTimer, SettingWhatItAlreadyHasKeepsTheCount) {
    ProgramTimer timer(1000, true, nullptr);
    QTest::qWait(200);
    EXPECT_LE(timer.remainingTime(), 850);
    timer.setInterval(1000);
    timer.setEnabled(true);
    EXPECT_LE(timer.remainingTime(), 850) << "an unchanged interval or state restarted the count";

    timer.setInterval(1001);
    EXPECT_GT(timer.remainingTime(), 950) << "a new interval restarts the count";
}

TEST(ProgramTimer, TicksOnlyWhileOnWithAnIntervalAboveZero) {
    ProgramTimer timer(5, false, nullptr);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    EXPECT_EQ(timer.remainingTime(), -1);
    timer.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    timer.setInterval(0);
    EXPECT_TRUE(timer.enabled());
    EXPECT_EQ(timer.remainingTime(), -1);
    const int before = ticks;
    QTest::qWait(50);
    EXPECT_EQ(ticks, before);
}
