// Taking spins back in the window: Ctrl+Z and Ctrl+Shift+Z, the right-button
// menu and its entries, the beep of a refusal, and a focused spin edit keeping
// the two keys for its own text.
#include "widgets/colour_label.h"
#include "widgets/cspinedit.h"
#include "widgets/flat_button.h"
#include "widgets/program_timer.h"
#include "widgets/shape.h"
#include "window/main_window.h"
#include "window/spin_undo.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QTest>

#include "window_fixture.h"

#include <gtest/gtest.h>

namespace {

class UndoMenu : public WindowTest {
  protected:
    void SetUp() override { showWindow(); }

    void key(Qt::KeyboardModifiers mods) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
        QTest::keyClick(target, Qt::Key_Z, mods);
    }
    void undoKey() { key(Qt::ControlModifier); }
    void redoKey() { key(Qt::ControlModifier | Qt::ShiftModifier); }
    QString label(int cell) { return control<TColourLabel>(form, "Label", cell - 1 + 1)->text(); }
    int spins() { return form.tracker().NumbersList.count(); }

    // Right button pressed and released at a point of the window; returns the menu it opened.
    QMenu* rightClick(QPoint at) {
        QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, at);
        QMenu* menu = nullptr;
        const bool opened = QTest::qWaitFor(
            [&] {
                menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                return menu != nullptr;
            },
            2000);
        return opened ? menu : nullptr;
    }
    static QAction* entry(QMenu* menu, const char* name) {
        for (QAction* a : menu->actions())
            if (a->objectName() == QLatin1String(name)) return a;
        return nullptr;
    }
};

TEST_F(UndoMenu, CtrlZTakesTheLastSpinBackAndCtrlShiftZEntersItAgain) {
    for (int n : {3, 19, 0})
        spin(n);
    ASSERT_EQ(label(1), "0");
    undoKey();
    EXPECT_EQ(spins(), 2);
    EXPECT_EQ(label(1), "19");
    EXPECT_EQ(label(3), "");
    undoKey();
    EXPECT_EQ(label(1), "3");
    redoKey();
    EXPECT_EQ(label(1), "19");
    redoKey();
    EXPECT_EQ(label(1), "0");
    EXPECT_EQ(spins(), 3);
    EXPECT_EQ(beeps, 0);
    redoKey(); // nothing left to enter again
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(spins(), 3);
}

TEST_F(UndoMenu, UndoWithNothingToTakeBackOnlyBeeps) {
    undoKey();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(spins(), 0);
}

TEST_F(UndoMenu, WhileLockedTheKeysOnlyBeepAndTheEntriesAreDisabled) {
    for (int n : {3, 19, 0, 28, 26})
        spin(n);
    ASSERT_TRUE(form.buttonsLocked()) << "the fifth spin starts a draw";
    undoKey();
    redoKey();
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(spins(), 5);
    EXPECT_TRUE(control<ProgramTimer>(form, "Timer_Classic")->enabled()) << "the draw runs on";

    QMenu* menu = rightClick({300, 150});
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(entry(menu, "UndoSpin"), nullptr);
    EXPECT_EQ(entry(menu, "UndoSpin")->text(), "Undo spin 26");
    EXPECT_FALSE(entry(menu, "UndoSpin")->isEnabled());
    EXPECT_FALSE(entry(menu, "RedoSpin")->isEnabled());
    menu->close();

    // The same while the recalculation animation runs.
    finishDraw();
    ASSERT_FALSE(form.buttonsLocked());
    control<TFlatSpeedButton>(form, "ReCalculate")->click();
    undoKey();
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(spins(), 5);
}

TEST_F(UndoMenu, TheRightButtonOpensTheMenuAndNeverEntersANumber) {
    for (int n : {3, 19})
        spin(n);
    // On a board cell: the menu, no spin.
    QMenu* menu = rightClick({72, 144});
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(spins(), 2);
    QAction* undo = entry(menu, "UndoSpin");
    QAction* redo = entry(menu, "RedoSpin");
    ASSERT_NE(undo, nullptr);
    ASSERT_NE(redo, nullptr);
    EXPECT_EQ(undo->text(), "Undo spin 19");
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(redo->text(), "Redo spin");
    EXPECT_FALSE(redo->isEnabled());
    undo->trigger();
    EXPECT_EQ(spins(), 1);
    EXPECT_EQ(label(1), "3");
    menu->close();

    // Elsewhere on the window, over the header: now redo is offered.
    menu = rightClick({60, 20});
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(entry(menu, "UndoSpin")->text(), "Undo spin 3");
    EXPECT_EQ(entry(menu, "RedoSpin")->text(), "Redo spin 19");
    EXPECT_TRUE(entry(menu, "RedoSpin")->isEnabled());
    entry(menu, "RedoSpin")->trigger();
    EXPECT_EQ(label(1), "19");
    EXPECT_EQ(spins(), 2);
    EXPECT_EQ(beeps, 0);
}

TEST_F(UndoMenu, ARightPressOnABoardCellIsNoClick) {
    TFlatSpeedButton* cell = control<TFlatSpeedButton>(form, "FlatButton", 7);
    QTest::mouseClick(cell, Qt::RightButton);
    QTest::mouseClick(cell, Qt::MiddleButton);
    EXPECT_EQ(spins(), 0);
    QTest::mouseClick(cell, Qt::LeftButton);
    EXPECT_EQ(spins(), 1);
}

TEST_F(UndoMenu, AFocusedSpinEditKeepsCtrlZForItsText) {
    spin(3);
    spin(19);
    control<TCSpinEdit>(form, "Initial_Bet")->setFocus();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return control<TCSpinEdit>(form, "Initial_Bet")->hasFocus(); }, 2000));
    control<TCSpinEdit>(form, "Initial_Bet")->selectAll();
    QTest::keyClicks(control<TCSpinEdit>(form, "Initial_Bet"), "5");
    ASSERT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->text(), "5");
    ASSERT_EQ(control<TColourLabel>(form, "Bet")->text(), "5");
    undoKey();
    EXPECT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->text(), "1")
        << "the edit takes its own typing back";
    EXPECT_EQ(spins(), 2) << "no spin is taken back";
    redoKey();
    EXPECT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->text(), "5");
    EXPECT_EQ(spins(), 2);
    EXPECT_EQ(beeps, 0);

    // Its text menu still offers the spin entries, and they work.
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            control<TCSpinEdit>(form, "Initial_Bet")->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(control<TCSpinEdit>(form, "Initial_Bet"), &event);
    QMenu* menu = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr; },
        2000));
    QAction* undo = entry(menu, "UndoSpin");
    ASSERT_NE(undo, nullptr);
    EXPECT_GT(menu->actions().size(), 3) << "the edit's own entries stay";
    EXPECT_EQ(undo->text(), "Undo spin 19");
    undo->trigger();
    EXPECT_EQ(spins(), 1);
    menu->close();

    // With the focus elsewhere the keys take spins back again.
    control<QComboBox>(form, "Game_Mode")->setFocus();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return control<QComboBox>(form, "Game_Mode")->hasFocus(); }, 2000));
    undoKey();
    EXPECT_EQ(spins(), 0);
}

TEST_F(UndoMenu, ARedoneSpinThatFailsIsReportedAndCanBeTakenBack) {
    form.tracker().state().Progression_Index = 17;
    form.tracker().state().Bet_Active = 1;
    form.tracker().state().Loss_Streak = 5;
    for (int n : {1, 2, 3, 4, 5})
        spin(n);
    QCoreApplication::processEvents();
    ASSERT_EQ(errors.size(), 1u);
    ASSERT_FALSE(form.buttonsLocked());
    undoKey();
    EXPECT_EQ(spins(), 4);
    EXPECT_EQ(form.tracker().state().Progression_Index, 17);
    redoKey(); // fails again, reported like a click
    QCoreApplication::processEvents();
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(spins(), 5);
    undoKey();
    EXPECT_EQ(spins(), 4);
    EXPECT_EQ(beeps, 0);
}

} // namespace
