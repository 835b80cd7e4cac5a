// What the window offers a player beyond its defined look, on the offscreen
// platform: whole stakes, the wheel, focus, greyed locked buttons, drop-down
// lists, the opening place, descriptions and the keyboard's spin entry.
#include "art/fonts.h"
#include "widgets/beeper.h"
#include "widgets/colour_label.h"
#include "widgets/cspinedit.h"
#include "widgets/drop_down.h"
#include "widgets/flat_button.h"
#include "widgets/focus_cue.h"
#include "widgets/program_timer.h"
#include "window/main_window.h"
#include "window/number_entry.h"
#include "window/window_placement.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

#include "window_fixture.h"

#include <gtest/gtest.h>

namespace {

class PlayerAids : public WindowTest {
  protected:
    void SetUp() override { showWindow(); }

    void spins(std::initializer_list<int> numbers) {
        for (int n : numbers) {
            control<TFlatSpeedButton>(form, "FlatButton", n)->click();
            finishDraw();
        }
    }
    void wheel(QWidget* w, int steps) {
        const QPoint at = w->rect().center();
        QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120 * steps), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
    }
    QImage grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TEST_F(PlayerAids, EveryStakeTheTablesReachShowsWhole) {
    // Rows of both tables times the smallest and the largest initial bet.
    std::vector<int64_t> rows;
    for (int i = 0; i < 18; ++i)
        rows.push_back(int64_t{1} << i);
    for (int64_t d = 1; d <= 1000; ++d)
        rows.push_back(d);
    for (int64_t initial : {1, 10000}) {
        for (int64_t row : rows) {
            const QString text = QString::number(row * initial);
            form.setBetText(text.toStdString());
            const QFont shown = control<TColourLabel>(form, "Bet")->shownFont();
            const QFontMetrics metrics(shown);
            ASSERT_LE(metrics.horizontalAdvance(text), control<TColourLabel>(form, "Bet")->width())
                << text.toStdString();
            ASSERT_LE(metrics.tightBoundingRect(text).right(),
                      control<TColourLabel>(form, "Bet")->width())
                << text.toStdString();
        }
    }
    form.setBetText("1");
    EXPECT_EQ(control<TColourLabel>(form, "Bet")->shownFont(),
              control<TColourLabel>(form, "Bet")->font())
        << "a short stake keeps the label's font";
    EXPECT_EQ(control<TColourLabel>(form, "Bet")->geometry(), QRect(87, 190, 25, 12))
        << "the label keeps its place";
}

TEST_F(PlayerAids, TheWheelActsOnlyOnTheFocusedSetting) {
    control<QComboBox>(form, "Betting_System")->setFocus();
    wheel(control<QComboBox>(form, "Game_Mode"), 1);
    wheel(control<QSlider>(form, "SafeLevel"), 1);
    EXPECT_EQ(control<QComboBox>(form, "Game_Mode")->currentIndex(), 0);
    EXPECT_EQ(control<QSlider>(form, "SafeLevel")->value(), 0);
    wheel(control<QComboBox>(form, "Betting_System"), 1);
    EXPECT_EQ(control<QComboBox>(form, "Betting_System")->currentIndex(), 1);
    EXPECT_EQ(control<QComboBox>(form, "Game_Mode")->focusPolicy(), Qt::StrongFocus)
        << "the wheel takes no focus";
}

TEST_F(PlayerAids, TheFocusComesBackAfterAnAnalysedSpin) {
    control<QSlider>(form, "SafeLevel")->setFocus();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return control<QSlider>(form, "SafeLevel")->hasFocus(); }, 2000));
    spins({1, 2, 3, 4});
    control<TFlatSpeedButton>(form, "FlatButton", 5)->click();
    EXPECT_TRUE(form.buttonsLocked());
    EXPECT_FALSE(control<QSlider>(form, "SafeLevel")->hasFocus());
    finishDraw();
    ASSERT_FALSE(form.buttonsLocked());
    EXPECT_TRUE(control<QSlider>(form, "SafeLevel")->hasFocus());
}

TEST_F(PlayerAids, TheFocusedSettingIsFramed) {
    ASSERT_EQ(form.focusWidget(), control<QComboBox>(form, "Game_Mode"));
    TFocusCue* cue = form.focusCue();
    EXPECT_TRUE(cue->isVisible());
    EXPECT_EQ(cue->geometry(), control<QComboBox>(form, "Game_Mode")->geometry());
    const QImage image = grab(&form);
    const QRect r = control<QComboBox>(form, "Game_Mode")->geometry();
    EXPECT_EQ(QColor(image.pixel(r.left(), r.center().y())), TFocusCue::kColour);
    EXPECT_EQ(QColor(image.pixel(r.center().x(), r.bottom())), TFocusCue::kColour);
    control<TCSpinEdit>(form, "Increase_Till")->setFocus(); // hidden with its panel: nothing framed
    control<TCSpinEdit>(form, "Initial_Bet")->setFocus();
    EXPECT_EQ(cue->geometry(), control<TCSpinEdit>(form, "Initial_Bet")->geometry());
}

TEST_F(PlayerAids, LockedButtonsShowGreyCaptions) {
    auto captionColours = [&](TFlatSpeedButton* b) {
        std::set<QRgb> colours;
        const QImage image = grab(b);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y) & 0xFFFFFF);
        return colours;
    };
    for (TFlatSpeedButton* b : {control<TFlatSpeedButton>(form, "Reset_Bets"),
                                control<TFlatSpeedButton>(form, "ReCalculate")}) {
        SCOPED_TRACE(b->objectName().toStdString());
        EXPECT_TRUE(captionColours(b).count(0xFFFFFF));
        form.Disable_Buttons();
        const auto locked = captionColours(b);
        EXPECT_FALSE(locked.count(0xFFFFFF)) << "white caption while locked";
        EXPECT_TRUE(locked.count(0x808080));
        form.Enable_Buttons();
    }
}

TEST_F(PlayerAids, DropDownListsHaveElevenPixelItemsInTheWindowsLook) {
    for (QComboBox* combo :
         {control<QComboBox>(form, "Game_Mode"), control<QComboBox>(form, "Betting_System"),
          control<QComboBox>(form, "Mode3_Reset"), control<QComboBox>(form, "Progression")})
        EXPECT_NE(qobject_cast<TDropDown*>(combo), nullptr) << combo->objectName().toStdString();
    for (QComboBox* combo :
         {control<QComboBox>(form, "Game_Mode"), control<QComboBox>(form, "Betting_System")}) {
        SCOPED_TRACE(combo->objectName().toStdString());
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible(); }, 2000));
        for (int row = 0; row < combo->count(); ++row)
            EXPECT_EQ(view->visualRect(combo->model()->index(row, 0)).height(), 11);
        const QImage image = view->viewport()->grab().toImage();
        const QRect current = view->visualRect(combo->model()->index(0, 0));
        const QRect other = view->visualRect(combo->model()->index(1, 0));
        EXPECT_EQ(QColor(image.pixel(current.right() - 1, current.top())),
                  TDropDownDelegate::kHighlight);
        EXPECT_EQ(QColor(image.pixel(other.right() - 1, other.top())),
                  TDropDownDelegate::kBackground);
        bool olive = false;
        for (int x = other.left(); x < other.right(); ++x)
            for (int y = other.top(); y <= other.bottom(); ++y)
                olive = olive || QColor(image.pixel(x, y)) == TDropDownDelegate::kText;
        EXPECT_TRUE(olive) << "no olive text in the list";
        combo->hidePopup();
    }
}

TEST_F(PlayerAids, OpensAt252And129OrAsNearAsKeepsItOnTheScreen) {
    struct Case {
        QRect screen;
        QSize frame;
        QPoint at;
    };
    const Case cases[] = {
        {{0, 0, 1024, 768}, {473, 261}, {252, 129}},
        {{0, 0, 1024, 768}, {946, 522}, {78, 129}},
        {{0, 0, 1024, 768}, {946, 604}, {78, 129}},
        {{0, 0, 800, 600}, {946, 604}, {0, 0}},
        {{0, 0, 640, 300}, {473, 261}, {167, 39}},
        {{100, 50, 1024, 768}, {473, 261}, {252, 129}},
        {{300, 200, 1024, 768}, {473, 261}, {300, 200}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(window_placement::openingPosition(c.screen, c.frame), c.at)
            << c.screen.width() << "x" << c.screen.height() << " " << c.frame.width();
}

TEST_F(PlayerAids, SettingsAndCellsAreDescribed) {
    for (QWidget* w : {static_cast<QWidget*>(control<TCSpinEdit>(form, "Initial_Bet")),
                       static_cast<QWidget*>(control<QComboBox>(form, "Game_Mode")),
                       static_cast<QWidget*>(control<QComboBox>(form, "Betting_System")),
                       static_cast<QWidget*>(control<QSlider>(form, "SafeLevel")),
                       static_cast<QWidget*>(control<QCheckBox>(form, "Fixed_Matrix")),
                       static_cast<QWidget*>(control<TFlatSpeedButton>(form, "Reset_Bets")),
                       static_cast<QWidget*>(control<TFlatSpeedButton>(form, "ReCalculate"))}) {
        EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    }
    EXPECT_TRUE(control<QSlider>(form, "SafeLevel")->toolTip().contains("green"));
    EXPECT_EQ(control<TFlatSpeedButton>(form, "FlatButton", 17)->accessibleName(), "17, black");
    EXPECT_EQ(control<TFlatSpeedButton>(form, "FlatButton", 19)->accessibleName(), "19, red");
    EXPECT_EQ(control<TFlatSpeedButton>(form, "FlatButton", 0)->accessibleName(), "0, green");
    form.setActNumberVisible(19, true);
    EXPECT_EQ(control<TFlatSpeedButton>(form, "FlatButton", 19)->accessibleName(), "19, red, lit");
    form.setActNumberVisible(19, false);
    EXPECT_EQ(control<TFlatSpeedButton>(form, "FlatButton", 19)->accessibleName(), "19, red");
}

TEST_F(PlayerAids, TheNumberEntryEntersSpinsLikeAClick) {
    const std::pair<const char*, int> texts[] = {{"0", 0},   {"7", 7},   {"36", 36}, {"37", -1},
                                                 {"07", -1}, {"-1", -1}, {"", -1},   {" 5", -1},
                                                 {"x", -1},  {"99", -1}};
    for (const auto& [text, n] : texts)
        EXPECT_EQ(TNumberEntry::numberOf(QString::fromLatin1(text)), n) << text;

    int beeps = 0;
    TNumberEntry* entry = form.numberEntry();
    Beeper::setSink([&] { ++beeps; });
    form.openNumberEntry();
    ASSERT_TRUE(entry->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return entry->edit()->hasFocus(); }, 2000));
    QTest::keyClicks(entry->edit(), "40");
    QTest::keyClick(entry->edit(), Qt::Key_Return);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(form.historyText(1), "");
    EXPECT_EQ(entry->edit()->selectedText(), "40");
    EXPECT_EQ(entry->confirmation(), "40 is not a number from 0 to 36");
    // Each number entered is confirmed, and the entry waits for the next.
    for (const auto& [typed, said] : {std::pair{"17", "17 black entered"},
                                      {"0", "0 green entered"},
                                      {"36", "36 red entered"}}) {
        QTest::keyClicks(entry->edit(), typed);
        QTest::keyClick(entry->edit(), Qt::Key_Return);
        EXPECT_EQ(form.historyText(1), typed);
        QApplication::processEvents();
        EXPECT_EQ(entry->confirmation(), said);
        EXPECT_TRUE(entry->isVisible());
        EXPECT_EQ(entry->edit()->text(), "");
    }
    QTest::keyClick(entry->edit(), Qt::Key_Escape);
    EXPECT_FALSE(entry->isVisible());

    form.Disable_Buttons();
    form.openNumberEntry();
    QTest::keyClicks(entry->edit(), "5");
    QTest::keyClick(entry->edit(), Qt::Key_Return);
    EXPECT_EQ(beeps, 2) << "refused while locked: one beep, not two";
    EXPECT_EQ(entry->confirmation(), "5 not entered: the board is busy");
    EXPECT_EQ(form.historyText(1), "36");
    form.Enable_Buttons();
}

} // namespace

namespace {

// The window is built under its own font, to spare loading a face it never
// shows; everything outside it keeps the desktop's font.
TEST(WindowFonts, BuildingTheWindowLeavesTheDesktopFontToEverythingElse) {
    const QFont before = QApplication::font();
    QFont desktop(QStringLiteral("DejaVu Sans"));
    desktop.setPixelSize(13);
    QApplication::setFont(desktop);
    {
        MainWindow built([] { return int64_t{1700000000}; });
        EXPECT_EQ(QApplication::font(), desktop);
        EXPECT_EQ(built.findChild<TNumberEntry*>(), nullptr) << "made when first asked for";
        EXPECT_EQ(built.numberEntry()->font(), desktop) << "the spin entry is its own window";
        const QList<TCSpinEdit*> edits = built.findChildren<TCSpinEdit*>();
        EXPECT_FALSE(edits.isEmpty());
        for (const TCSpinEdit* edit : edits)
            EXPECT_EQ(edit->font(), vantel::arialFont(9, true)) << edit->objectName().toStdString();

        // A change of the desktop's theme brings its font, as it would without the window.
        const QFont theme = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        ASSERT_NE(theme, desktop);
        QEvent themeChange(QEvent::ThemeChange);
        QApplication::sendEvent(&built, &themeChange);
        EXPECT_EQ(QApplication::font(), theme);
    }
    QApplication::setFont(before);
}

// A button's key while the board's lock disables the button beeps once,
// through the one beep, and presses nothing.
TEST_F(PlayerAids, TheKeysOfLockedButtonsOnlyBeep) {
    form.Disable_Buttons();
    QTest::keyClick(&form, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(&form, Qt::Key_F9);
    EXPECT_EQ(beeps, 2);
    EXPECT_FALSE(control<ProgramTimer>(form, "Timer_Recalculate")->enabled());
    form.Enable_Buttons();
    QTest::keyClick(&form, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(beeps, 2);
}

} // namespace
