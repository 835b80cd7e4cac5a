// The main window on the offscreen platform: layout, routing of clicks,
// locking, the refresh, the recalculation animation and error reporting.
#include "paint_counter.h"
#include "widgets/cgauge.h"
#include "widgets/colour_label.h"
#include "widgets/cspinedit.h"
#include "widgets/flat_button.h"
#include "widgets/program_timer.h"
#include "widgets/shape.h"
#include "window/board_geometry.h"
#include "window/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QSlider>
#include <QTest>

#include "window_fixture.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using vantel::TimerId;

class Window : public WindowTest {
  protected:
    // A click routed by the window to whatever control lies on top at (x, y).
    void clickAt(int x, int y) {
        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, QPoint(x, y));
    }

    void finishTimer(ProgramTimer* timer, int maxTicks = 100) {
        for (int i = 0; i < maxTicks && timer->enabled(); ++i)
            timer->fire();
    }

    int litCount() const {
        int lit = 0;
        for (int n = 0; n <= 36; ++n)
            lit += form.actNumberVisible(n) ? 1 : 0;
        return lit;
    }
};

TEST_F(Window, EveryCellFollowsTheGeometryRule) {
    for (int n = 0; n <= 36; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(control<TFlatSpeedButton>(form, "FlatButton", n)->geometry(),
                  vantel::cellRect(n));
        EXPECT_EQ(control<QLabel>(form, "Act_Number", n)->geometry(), vantel::cellRect(n));
    }
    // A tile under every cell: Image2 .. Image38.
    std::set<int> tiled;
    for (int i = 2; i <= 38; ++i)
        for (int n = 0; n <= 36; ++n)
            if (control<QLabel>(form, "Image", i)->geometry() == vantel::cellRect(n))
                tiled.insert(n);
    EXPECT_EQ(tiled.size(), 37u);
    EXPECT_EQ(control<QLabel>(form, "Image26")->geometry(), vantel::cellRect(0));
    EXPECT_EQ(control<QLabel>(form, "Image38")->geometry(), vantel::cellRect(34));
}

TEST_F(Window, ControlsSitWhereTheLayoutPutsThem) {
    showWindow();
    const std::pair<const char*, QRect> layout[] = {
        {"Initial_Bet", {8, 186, 41, 19}},
        {"Game_Mode", {8, 232, 72, 19}},
        {"Betting_System", {89, 232, 80, 19}},
        {"SafeLevel", {176, 234, 102, 17}},
        {"Shape1", {280, 232, 17, 17}},
        {"Label11", {282, 233, 15, 15}},
        {"Fixed_Matrix", {312, 232, 81, 17}},
        {"CGauge2", {400, 232, 65, 17}},
        {"ReCalculate", {400, 232, 65, 17}},
        {"Bet", {87, 190, 25, 12}},
        {"ProgressBar", {135, 194, 224, 7}},
        {"Reset_Bets", {378, 187, 55, 17}},
        {"Label1", {154, 23, 17, 12}},
        {"Label10", {370, 23, 17, 12}},
        {"Image1", {0, 0, 520, 241}},
        {"Mode3_Reset", {0, 16, 65, 19}},
        {"Increase_Till", {88, 16, 52, 19}},
        {"Progression", {164, 16, 77, 19}},
        {"Sequential_Losses", {252, 16, 45, 19}},
        {"Sequential_Wins", {305, 16, 45, 19}},
    };
    // The board's and the settings row's controls are the window's own
    // children; the Sequential settings, from Mode3_Reset on, Panel1's.
    const QWidget* panel = control<QFrame>(form, "Panel1");
    for (const auto& [name, rect] : layout) {
        auto* w = control<QWidget>(form, name);
        EXPECT_EQ(w->geometry(), rect) << name;
        EXPECT_EQ(w->parentWidget(), rect.y() == 16 ? panel : &form) << name;
    }
    EXPECT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->Button()->size(), QSize(15, 14));
    for (const char* name : {"Label18", "Label12", "Label14", "Label15"})
        EXPECT_EQ(form.findChild<QWidget*>(name)->height(), 12) << name;
}

// A control is found by its name: no two of the window's objects share one
// (Qt's own inner parts, named qt_..., aside).
TEST_F(Window, EveryNameInTheWindowIsItsOnly) {
    std::multiset<QString> names;
    for (const QObject* o : form.findChildren<QObject*>())
        if (!o->objectName().isEmpty() && !o->objectName().startsWith(QLatin1String("qt_")))
            names.insert(o->objectName());
    EXPECT_GT(names.size(), 150u);
    for (const QString& name : names)
        EXPECT_EQ(names.count(name), 1u) << name.toStdString();
}

TEST_F(Window, StartsUnlockedWithNothingLitAndTheInitialTexts) {
    showWindow();
    EXPECT_EQ(form.windowTitle(), "Vantel 2.0");
    EXPECT_EQ(form.size(), QSize(473, 261));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(litCount(), 0);
    for (int cell = 1; cell <= 10; ++cell) {
        EXPECT_EQ(form.historyText(cell), "");
        EXPECT_EQ(form.historyColour(cell), vantel::kColourBlack);
    }
    EXPECT_EQ(control<TColourLabel>(form, "Bet")->text(), "1");
    EXPECT_EQ(control<TCGauge>(form, "ProgressBar")->Progress(), 0);
    EXPECT_EQ(control<TShape>(form, "Shape1")->brushColor(), QColor(0, 0x80, 0));
    EXPECT_EQ(control<TColourLabel>(form, "Label11")->text(), "0");
    EXPECT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->text(), "1");
    EXPECT_FALSE(form.buttonsLocked());
    EXPECT_FALSE(control<QFrame>(form, "Panel1")->isVisible());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return control<TColourLabel>(form, "Label17")->text() == "-1"; }, 2000))
        << "the start-up refresh never showed the loss streak";
    EXPECT_EQ(control<TColourLabel>(form, "Balance")->text(), "100000");
    EXPECT_EQ(control<TColourLabel>(form, "Balance2")->text(), "100000");
    EXPECT_EQ(control<TColourLabel>(form, "CurrentNum")->text(), "0");
}

TEST_F(Window, ClicksGoToTheTopmostCellButton) {
    showWindow();
    struct Case {
        int x, y, expected;
    };
    // Shared lines go to the button created later; a lit overlay does not take the click.
    const Case cases[] = {{88, 70, 6}, {56, 100, 0}, {152, 70, 9}, {72, 144, 1}, {424, 80, 36}};
    for (const Case& c : cases) {
        clickAt(c.x, c.y);
        EXPECT_EQ(form.tracker().NumbersList.get(form.tracker().NumbersList.count() - 1),
                  std::to_string(c.expected))
            << c.x << "," << c.y;
    }
}

TEST_F(Window, ALockedBoardTakesNoClicks) {
    showWindow();
    form.Disable_Buttons();
    form.Disable_Buttons();
    clickAt(72, 144);
    EXPECT_EQ(form.tracker().NumbersList.count(), 0);
    for (int n = 0; n <= 36; ++n)
        EXPECT_TRUE(control<TFlatSpeedButton>(form, "FlatButton", n)->isHidden());
    EXPECT_FALSE(control<QComboBox>(form, "Game_Mode")->isEnabled());
    EXPECT_FALSE(control<TCSpinEdit>(form, "Sequential_Wins")->isEnabled());
    form.Enable_Buttons();
    EXPECT_FALSE(form.buttonsLocked());
    for (int n = 0; n <= 36; ++n)
        EXPECT_FALSE(control<TFlatSpeedButton>(form, "FlatButton", n)->isHidden());
    EXPECT_TRUE(control<TFlatSpeedButton>(form, "Reset_Bets")->isEnabled());
    EXPECT_TRUE(control<TCSpinEdit>(form, "Increase_Till")->isEnabled());
    clickAt(72, 144);
    EXPECT_EQ(form.tracker().NumbersList.count(), 1);
}

TEST_F(Window, AFullClassicDrawLightsEighteenAndUnlocks) {
    for (int n : {3, 19, 0, 28})
        spin(n);
    EXPECT_EQ(control<TColourLabel>(form, "Label", 1)->colour(), QColor(0x20, 0x20, 0x20));
    EXPECT_EQ(control<TColourLabel>(form, "Label", 2)->colour(), QColor(0, 0x80, 0));
    EXPECT_EQ(control<TColourLabel>(form, "Label", 3)->colour(), QColor(0x80, 0, 0));
    EXPECT_FALSE(form.buttonsLocked());
    spin(26);
    EXPECT_TRUE(form.buttonsLocked());
    EXPECT_TRUE(control<ProgramTimer>(form, "Timer_Classic")->enabled());
    for (int tick = 1; tick <= 18; ++tick) {
        control<ProgramTimer>(form, "Timer_Classic")->fire();
        EXPECT_EQ(control<TCGauge>(form, "ProgressBar")->Progress(), tick);
    }
    EXPECT_TRUE(form.buttonsLocked());
    control<ProgramTimer>(form, "Timer_Classic")->fire();
    EXPECT_FALSE(form.buttonsLocked());
    EXPECT_FALSE(control<ProgramTimer>(form, "Timer_Classic")->enabled());
    EXPECT_EQ(control<TCGauge>(form, "ProgressBar")->Progress(), 0);
    EXPECT_EQ(litCount(), 18);
    EXPECT_GE(control<ProgramTimer>(form, "Timer_Classic")->interval(), 100);
    EXPECT_LE(control<ProgramTimer>(form, "Timer_Classic")->interval(), 249);
}

TEST_F(Window, IndicatorFollowsTheSafeLevel) {
    struct Case {
        int safeLevel;
        int32_t lossStreak;
        QColor expected;
    };
    const QColor maroon(0x80, 0, 0), green(0, 0x80, 0);
    const Case cases[] = {{3, -1, maroon}, {3, 1, maroon}, {3, 2, green},  {3, 5, green},
                          {0, -1, green},  {0, 0, green},  {10, 8, maroon}};
    for (const Case& c : cases) {
        control<QSlider>(form, "SafeLevel")->setValue(c.safeLevel);
        form.tracker().state().Loss_Streak = c.lossStreak;
        form.ShowValuesTimer();
        EXPECT_EQ(control<TShape>(form, "Shape1")->brushColor(), c.expected)
            << c.safeLevel << " " << c.lossStreak;
        EXPECT_EQ(control<TColourLabel>(form, "Label17")->text(), QString::number(c.lossStreak));
    }
}

TEST_F(Window, RecalculateAnimatesTheGaugeAndUnlocksOnTheFiftiethTick) {
    control<TFlatSpeedButton>(form, "ReCalculate")->click();
    EXPECT_TRUE(form.buttonsLocked());
    EXPECT_TRUE(control<ProgramTimer>(form, "Timer_Recalculate")->enabled());
    for (int tick = 1; tick <= 49; ++tick) {
        control<ProgramTimer>(form, "Timer_Recalculate")->fire();
        ASSERT_EQ(control<TCGauge>(form, "CGauge2")->Progress(), 2 * tick);
    }
    control<ProgramTimer>(form, "Timer_Recalculate")->fire();
    EXPECT_EQ(control<TCGauge>(form, "CGauge2")->Progress(), 0);
    EXPECT_FALSE(control<ProgramTimer>(form, "Timer_Recalculate")->enabled());
    EXPECT_FALSE(form.buttonsLocked());
}

TEST_F(Window, ErrorsShowTheProgramTitleAndAFullStop) {
    EXPECT_EQ(MainWindow::applicationTitle("/usr/local/bin/VANTEL.bin.x"), "Vantel");
    EXPECT_EQ(MainWindow::applicationTitle("vantel"), "vantel");
    EXPECT_EQ(MainWindow::applicationTitle("C:/Tools/ROULETTE.EXE"), "Roulette");
    EXPECT_EQ(MainWindow::errorText("'' is not a valid integer value"),
              "'' is not a valid integer value.");
    EXPECT_EQ(MainWindow::errorText("Done."), "Done.");
    EXPECT_EQ(MainWindow::errorText("Stop!"), "Stop!");
    EXPECT_EQ(MainWindow::errorText(""), "");

    form.guarded([] { throw std::runtime_error("'x' is not a valid integer value"); });
    EXPECT_TRUE(errors.empty()) << "reported once the handler has returned";
    QCoreApplication::processEvents();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first,
              MainWindow::applicationTitle(QCoreApplication::applicationFilePath()));
    EXPECT_EQ(errors[0].second, "'x' is not a valid integer value.");
}

TEST_F(Window, AFailedSpinIsReportedAndLeavesTheBoardUsable) {
    // Past the end of the Martingale table the stake step fails inside the spin.
    form.tracker().state().Progression_Index = 17;
    form.tracker().state().Bet_Active = 1;
    form.tracker().state().Loss_Streak = 5;
    for (int n : {1, 2, 3, 4})
        spin(n);
    spin(5);
    QCoreApplication::processEvents();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].second, "'' is not a valid integer value.");
    // Once the message is closed the progression starts over at row 0.
    EXPECT_EQ(control<TColourLabel>(form, "Bet")->text(), "1");
    EXPECT_EQ(form.tracker().state().Progression_Index, 0);
    EXPECT_FALSE(form.buttonsLocked());
    control<TCSpinEdit>(form, "Initial_Bet")->setValue(3);
    control<TFlatSpeedButton>(form, "Reset_Bets")->click();
    EXPECT_EQ(control<TColourLabel>(form, "Bet")->text(), "3");
    spin(6);
    EXPECT_TRUE(control<ProgramTimer>(form, "Timer_Classic")->enabled());
}

TEST_F(Window, ClearingInitialBetFallsBackToOne) {
    control<TCSpinEdit>(form, "Initial_Bet")->setValue(7);
    EXPECT_EQ(control<TColourLabel>(form, "Bet")->text(), "7");
    EXPECT_EQ(form.tracker().state().Balance_Value, 700000);
    control<TCSpinEdit>(form, "Initial_Bet")->clear();
    EXPECT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->text(), "1");
    EXPECT_EQ(control<TColourLabel>(form, "Bet")->text(), "1");
    EXPECT_EQ(form.tracker().state().Balance_Value, 100000);
    EXPECT_TRUE(errors.empty());
}

TEST_F(Window, AFocusedOutOfRangeStakeIsClampedWhenTheSpinLocks) {
    showWindow();
    control<TCSpinEdit>(form, "Initial_Bet")->setFocus();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return control<TCSpinEdit>(form, "Initial_Bet")->hasFocus(); }, 2000));
    control<TCSpinEdit>(form, "Initial_Bet")->selectAll();
    QTest::keyClicks(control<TCSpinEdit>(form, "Initial_Bet"), "0");
    EXPECT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->text(), "0");
    EXPECT_EQ(control<TColourLabel>(form, "Bet")->text(), "0");
    for (int n : {1, 2, 3, 4, 5})
        spin(n);
    EXPECT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->text(), "1");
    EXPECT_EQ(control<TColourLabel>(form, "Bet")->text(), "1");
    EXPECT_EQ(form.tracker().state().Balance_Value, 100000);
}

TEST_F(Window, KeyboardFocusStartsOnGameModeAndTabsThroughTheSettings) {
    showWindow();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QApplication::focusWidget() == control<QComboBox>(form, "Game_Mode"); },
        2000));
    const std::vector<QWidget*> order = {
        control<QSlider>(form, "SafeLevel"), control<QCheckBox>(form, "Fixed_Matrix"),
        control<QComboBox>(form, "Betting_System"), control<TCSpinEdit>(form, "Initial_Bet"),
        control<QComboBox>(form, "Game_Mode")};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == next; }, 2000))
            << "Tab did not reach " << next->objectName().toStdString();
    }
}

TEST_F(Window, SequentialSettingsShowWithTheMode) {
    showWindow();
    control<QComboBox>(form, "Game_Mode")->setCurrentIndex(2);
    EXPECT_EQ(form.size(), QSize(473, 302));
    EXPECT_TRUE(control<QFrame>(form, "Panel1")->isVisible());
    EXPECT_EQ(control<QFrame>(form, "Panel1")->pos(), QPoint(8, 261));
    EXPECT_TRUE(control<TColourLabel>(form, "Sequential_Numbers_Count")->isVisible());
    EXPECT_FALSE(
        control<QFrame>(form, "Panel1")->findChild<QWidget*>("Increase_Till")->toolTip().isEmpty());
    control<QComboBox>(form, "Game_Mode")->setCurrentIndex(1);
    EXPECT_EQ(form.size(), QSize(473, 261));
    EXPECT_FALSE(control<QFrame>(form, "Panel1")->isVisible());
    EXPECT_FALSE(control<TColourLabel>(form, "Label25")->isVisible());
}

TEST_F(Window, AnIdleWindowRepaintsNothing) {
    showWindow();
    QTest::qWait(200);
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(1000);
    qApp->removeEventFilter(&counter);
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(control<TColourLabel>(form, "Label17")->text(), "-1"); // the refresh did run
}

} // namespace
