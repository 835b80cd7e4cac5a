// The window shows what the tracker keeps, after every spin, tick, undo and
// redo: the lit marks, the strip, Bet, the progress bar, the lock and the
// tracker timers' flags and intervals, in every mode, Fixed Matrix on and off.
#include "widgets/cgauge.h"
#include "widgets/colour_label.h"
#include "widgets/flat_button.h"
#include "window_fixture.h"

#include <QCheckBox>
#include <QLabel>

#include <array>
#include <cstdint>
#include <string>

namespace {

using vantel::TimerId;

class WindowFollows : public WindowTest {
  protected:
    // The first item the window shows otherwise than the tracker keeps it.
    std::string difference() {
        const vantel::Tracker& t = form.tracker();
        for (int n = 0; n <= 36; ++n)
            if (form.Act_Number[static_cast<size_t>(n)]->isHidden() == t.actNumberVisible(n))
                return "mark " + std::to_string(n);
        for (int cell = 1; cell <= 10; ++cell)
            if (form.historyText(cell) != t.historyText(cell) ||
                form.historyColour(cell) != t.historyColour(cell))
                return "strip cell " + std::to_string(cell);
        if (form.Bet->text().toStdString() != t.betText()) return "Bet";
        if (form.ProgressBar->Progress() != t.progressBar()) return "progress";
        if (form.FlatButton[0]->isHidden() != t.buttonsLocked() ||
            form.Game_Mode->isEnabled() == t.buttonsLocked())
            return "lock";
        for (TimerId id : vantel::kTrackerTimers)
            if (form.timerEnabled(id) != t.timerEnabled(id) ||
                form.timerInterval(id) != t.timerInterval(id))
                return "timer " + std::to_string(static_cast<int>(id));
        return {};
    }
    // Fires whichever tracker timer is on until none is, checking each tick.
    void tickToTheEnd(const std::string& at) {
        const std::array<ProgramTimer*, 4> timers = {form.Timer_Classic, form.Fixed_Matrix_Timer,
                                                     form.Timer_Mode2, form.Sequential_Timer};
        for (int i = 0; i < 100; ++i) {
            ProgramTimer* on = nullptr;
            for (ProgramTimer* t : timers)
                if (t->enabled()) on = t;
            if (!on) break;
            on->fire();
            ASSERT_EQ(difference(), "") << at << ", tick " << i;
        }
        QApplication::processEvents(); // an error's box and the recovery after it
        ASSERT_EQ(difference(), "") << at << ", after the draw";
    }
};

TEST_F(WindowFollows, EverySpinTickAndUndo) {
    ASSERT_EQ(difference(), "") << "at start";
    uint32_t r = 12345;
    for (int mode = 0; mode < 3; ++mode)
        for (bool fixed : {false, true}) {
            form.Game_Mode->setCurrentIndex(mode);
            form.Fixed_Matrix->setChecked(fixed);
            for (int k = 0; k < 24; ++k) {
                r = r * 1103515245u + 12345u;
                const std::string at = "mode " + std::to_string(mode) + (fixed ? " fixed" : "") +
                                       ", spin " + std::to_string(k);
                if (k % 7 == 6) {
                    form.spinUndo().undo();
                    ASSERT_EQ(difference(), "") << at << ", undo";
                    if (k % 2 == 0) form.spinUndo().redo();
                } else {
                    spin(static_cast<int>((r >> 16) % 37));
                }
                ASSERT_EQ(difference(), "") << at;
                tickToTheEnd(at);
            }
        }
    EXPECT_GT(form.tracker().NumbersList.count(), 100) << "the spins were entered";
}

} // namespace
