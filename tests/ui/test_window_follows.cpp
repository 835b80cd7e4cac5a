// The window shows what the tracker keeps, after every spin, tick, undo and
// redo: the lit marks, the strip, Bet, the progress bar, the lock and the
// tracker timers' flags and intervals, in every mode, Fixed Matrix on and off;
// and the tracker holds every setting as the window's controls show it.
#include "widgets/cgauge.h"
#include "widgets/colour_label.h"
#include "widgets/cspinedit.h"
#include "widgets/flat_button.h"
#include "window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>

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
            if (control<QLabel>(form, "Act_Number", n)->isHidden() == t.actNumberVisible(n))
                return "mark " + std::to_string(n);
        for (int cell = 1; cell <= 10; ++cell)
            if (form.historyText(cell) != t.historyText(cell) ||
                form.historyColour(cell) != t.historyColour(cell))
                return "strip cell " + std::to_string(cell);
        if (control<TColourLabel>(form, "Bet")->text().toStdString() != t.betText()) return "Bet";
        if (control<TCGauge>(form, "ProgressBar")->Progress() != t.progressBar()) return "progress";
        if (control<TFlatSpeedButton>(form, "FlatButton", 0)->isHidden() != t.buttonsLocked() ||
            control<QComboBox>(form, "Game_Mode")->isEnabled() == t.buttonsLocked())
            return "lock";
        for (TimerId id : vantel::kTrackerTimers)
            if (form.timerEnabled(id) != t.timerEnabled(id) ||
                form.timerInterval(id) != t.timerInterval(id))
                return "timer " + std::to_string(static_cast<int>(id));
        return {};
    }
    // The first setting the tracker holds otherwise than its control shows it.
    std::string settingDifference() {
        const vantel::Tracker& t = form.tracker();
        const vantel::Settings s = t.settings();
        if (s.gameMode != control<QComboBox>(form, "Game_Mode")->currentIndex()) return "Game Mode";
        if (s.bettingSystem !=
            control<QComboBox>(form, "Betting_System")->currentText().toStdString())
            return "Betting System";
        if (s.safeLevel != control<QSlider>(form, "SafeLevel")->value()) return "Safe Level";
        if (s.fixedMatrix != control<QCheckBox>(form, "Fixed_Matrix")->isChecked())
            return "Fixed Matrix";
        if (s.mode3Reset != control<QComboBox>(form, "Mode3_Reset")->currentIndex())
            return "Reset on";
        if (s.progression != control<QComboBox>(form, "Progression")->currentIndex())
            return "Progression";
        const std::array<TCSpinEdit*, vantel::kSpinSettingCount> edits = {
            control<TCSpinEdit>(form, "Initial_Bet"), control<TCSpinEdit>(form, "Increase_Till"),
            control<TCSpinEdit>(form, "Sequential_Losses"),
            control<TCSpinEdit>(form, "Sequential_Wins")};
        for (vantel::SpinSetting f : vantel::kSpinSettings)
            if (t.settingText(f) != edits[static_cast<size_t>(f)]->text().toStdString())
                return edits[static_cast<size_t>(f)]->objectName().toStdString();
        return {};
    }
    // Fires whichever tracker timer is on until none is, checking each tick.
    void tickToTheEnd(const std::string& at) {
        const std::array<ProgramTimer*, 4> timers = {
            control<ProgramTimer>(form, "Timer_Classic"),
            control<ProgramTimer>(form, "Fixed_Matrix_Timer"),
            control<ProgramTimer>(form, "Timer_Mode2"),
            control<ProgramTimer>(form, "Sequential_Timer")};
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
            control<QComboBox>(form, "Game_Mode")->setCurrentIndex(mode);
            control<QCheckBox>(form, "Fixed_Matrix")->setChecked(fixed);
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

TEST_F(WindowFollows, EveryChangeOfASettingAndEveryTextItsReadingRewrites) {
    ASSERT_EQ(settingDifference(), "") << "at start";
    static const char* const kTexts[] = {"1", "2", "5", "0", "40", "$10", "", "x", "-", "1.5"};
    const std::array<TCSpinEdit*, 4> edits = {control<TCSpinEdit>(form, "Initial_Bet"),
                                              control<TCSpinEdit>(form, "Increase_Till"),
                                              control<TCSpinEdit>(form, "Sequential_Losses"),
                                              control<TCSpinEdit>(form, "Sequential_Wins")};
    uint32_t r = 4242;
    const auto pick = [&r](uint32_t n) {
        r = r * 1103515245u + 12345u;
        return static_cast<int>((r >> 16) % n);
    };
    int rewritten = 0;
    for (int k = 0; k < 400; ++k) {
        const int which = pick(12);
        std::string what = "control " + std::to_string(which);
        switch (which) {
        case 0:
            control<QComboBox>(form, "Game_Mode")->setCurrentIndex(pick(3));
            break;
        case 1:
            control<QComboBox>(form, "Betting_System")->setCurrentIndex(pick(2));
            break;
        case 2:
            control<QSlider>(form, "SafeLevel")->setValue(pick(3));
            break;
        case 3:
            control<QCheckBox>(form, "Fixed_Matrix")
                ->setChecked(!control<QCheckBox>(form, "Fixed_Matrix")->isChecked());
            break;
        case 4:
            control<QComboBox>(form, "Mode3_Reset")->setCurrentIndex(pick(3));
            break;
        case 5:
            control<QComboBox>(form, "Progression")->setCurrentIndex(pick(2));
            break;
        case 6:
        case 7: {
            TCSpinEdit* edit = edits[static_cast<size_t>(pick(4))];
            const char* text = kTexts[pick(10)];
            what += std::string(" typed \"") + text + "\"";
            edit->setText(QString::fromLatin1(text));
            break;
        }
        default: {
            const std::array<QString, 4> before = {edits[0]->text(), edits[1]->text(),
                                                   edits[2]->text(), edits[3]->text()};
            spin(pick(37));
            tickToTheEnd("setting step " + std::to_string(k));
            for (size_t i = 0; i < edits.size(); ++i)
                rewritten += edits[i]->text() != before[i] ? 1 : 0;
            what += " spin";
            break;
        }
        }
        ASSERT_EQ(settingDifference(), "") << "step " << k << ", " << what;
    }
    EXPECT_GT(rewritten, 5) << "spins read texts that were not whole numbers";
}

} // namespace
