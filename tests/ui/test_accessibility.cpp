// What assistive tools read and hear from the window, on the offscreen
// platform: the tree, the announcements of a whole progression, the keys.
#include "simulate/simulate_dialog.h"
#include "statistics/statistics_window.h"
#include "statistics/wheel_panel.h"
#include "widgets/accessibility.h"
#include "widgets/cgauge.h"
#include "widgets/colour_label.h"
#include "widgets/cspinedit.h"
#include "widgets/flat_button.h"
#include "widgets/shape.h"
#include "window/player_aids.h"
#include "window/session_tools.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTabWidget>

#include "window_fixture.h"

namespace {

// What the window's announcement line has said, each time it spoke (the
// events that carry it to a screen reader are sent only where one listens:
// tests/e2e/atspi_test.py hears them).
class Heard {
  public:
    explicit Heard(TAccessibleText* line) : m_line(line) {
        line->OnSay = [this](const QString& text) { m_said.push_back(text); };
    }
    ~Heard() { m_line->OnSay = nullptr; }
    const std::vector<QString>& said() {
        QApplication::processEvents();
        return m_said;
    }
    QString last() { return said().empty() ? QString() : said().back(); }

  private:
    TAccessibleText* m_line;
    std::vector<QString> m_said;
};

class Accessibility : public WindowTest {
  protected:
    void SetUp() override { showWindow(); }
    static QAccessibleInterface* of(QObject* o) { return QAccessible::queryAccessibleInterface(o); }
    PlayerAids& aids() { return form.playerAids(); }
    // The first number the last draw left unlit.
    int unlit() {
        for (int n = 0; n <= 36; ++n)
            if (!form.actNumberVisible(n)) return n;
        return -1;
    }
};

TEST_F(Accessibility, TheTreeHoldsWhatThePlayerReadsAndNoPictures) {
    QAccessibleInterface* window = of(&form);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), "Vantel 2.0");
    for (int i = 0; i < window->childCount(); ++i) {
        QObject* o = window->child(i)->object();
        EXPECT_EQ(window->indexOfChild(window->child(i)), i);
        EXPECT_EQ(qobject_cast<QLabel*>(o), nullptr) << "a picture";
    }
    struct Row {
        QObject* object;
        QAccessible::Role role;
        QString name;
        QString value;
    };
    control<TCSpinEdit>(form, "Initial_Bet")->setValue(40);
    const Row rows[] = {
        {control<TCSpinEdit>(form, "Initial_Bet"), QAccessible::SpinBox, "Initial bet", "40"},
        {control<TCSpinEdit>(form, "Sequential_Wins"), QAccessible::SpinBox,
         "Hits before a step down", "1"},
        {control<TColourLabel>(form, "Bet"), QAccessible::StaticText, "Stake per number", "40"},
        {control<TCGauge>(form, "ProgressBar"), QAccessible::ProgressBar, "Draw progress", "0%"},
        {control<QFrame>(form, "Panel1"), QAccessible::Grouping, "Sequential settings", ""},
        {control<TShape>(form, "Shape1"), QAccessible::StaticText,
         "Safe-level indicator: next miss lights the suggestion", ""},
        {control<TFlatSpeedButton>(form, "Reset_Bets"), QAccessible::Button, "Reset", ""},
        {aids().stripText(), QAccessible::StaticText, "Last spins, newest first: none", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name.toStdString());
        QAccessibleInterface* a = of(r.object);
        EXPECT_EQ(a->role(), r.role);
        EXPECT_EQ(a->text(QAccessible::Name), r.name);
        if (!r.value.isEmpty()) {
            EXPECT_EQ(a->text(QAccessible::Value), r.value);
        }
        EXPECT_GE(window->indexOfChild(a) + of(control<QFrame>(form, "Panel1"))->indexOfChild(a),
                  -1)
            << "in the tree";
    }
    EXPECT_EQ(of(control<TColourLabel>(form, "Bet"))->valueInterface()->currentValue().toInt(), 40);
    EXPECT_EQ(of(control<TFlatSpeedButton>(form, "Reset_Bets"))->text(QAccessible::Accelerator),
              "Ctrl+B");
    EXPECT_TRUE(of(control<TFlatSpeedButton>(form, "Reset_Bets"))->state().focusable);
    EXPECT_EQ(of(control<QComboBox>(form, "Betting_System"))->text(QAccessible::Name),
              "Betting system");
    control<QComboBox>(form, "Betting_System")->setCurrentIndex(1);
    EXPECT_EQ(of(control<QComboBox>(form, "Betting_System"))->textInterface()->text(0, -1),
              "Donald");
    EXPECT_TRUE(control<QSlider>(form, "SafeLevel")->toolTip().startsWith("Safe level 0."));
    control<QSlider>(form, "SafeLevel")->setValue(3);
    EXPECT_TRUE(control<QSlider>(form, "SafeLevel")->toolTip().startsWith("Safe level 3."));
}

TEST_F(Accessibility, AWholeProgressionIsToldSpinBySpinToTheTablesEnd) {
    Heard heard(aids().announcer());
    const std::pair<int, const char*> first[] = {{32, "32 red entered"},
                                                 {15, "15 black entered"},
                                                 {0, "0 green entered"},
                                                 {4, "4 black entered"}};
    for (const auto& [n, words] : first) {
        play(n);
        ASSERT_EQ(heard.last(), words);
    }
    spin(21);
    EXPECT_EQ(heard.last(), "21 red entered, drawing");
    finishDraw();
    QApplication::processEvents();
    EXPECT_EQ(heard.last(), aids().litSentence() + "; stake 1");
    EXPECT_TRUE(aids().litSentence().startsWith("18 numbers lit: "));
    EXPECT_EQ(of(control<TFlatSpeedButton>(form, "FlatButton", unlit()))->state().checked, false);
    for (int n = 0; n <= 36; ++n)
        ASSERT_EQ(of(control<TFlatSpeedButton>(form, "FlatButton", n))->state().checked,
                  form.actNumberVisible(n));
    // Every miss doubles the stake until the table has no row left.
    int64_t stake = 2;
    for (;; stake *= 2) {
        spin(unlit());
        const QString entered = heard.last();
        if (!errors.empty()) break;
        ASSERT_TRUE(entered.endsWith(", a miss, drawing")) << entered.toStdString();
        finishDraw();
        ASSERT_TRUE(heard.last().endsWith(QStringLiteral("; stake %1").arg(stake)))
            << heard.last().toStdString();
        ASSERT_LT(stake, int64_t{1} << 20);
    }
    EXPECT_EQ(stake, int64_t{1} << 18) << "the Martingale table's rows";
    const auto& said = heard.said();
    ASSERT_GE(said.size(), 2u);
    EXPECT_TRUE(said.end()[-2].endsWith(", a miss, drawing; stake table's end"));
    EXPECT_EQ(said.back(), "No numbers lit; stake 1") << "the progression starts over";
    EXPECT_EQ(of(aids().stripText())
                  ->text(QAccessible::Name)
                  .count(QRegularExpression(QStringLiteral("\\d (red|black|green)"))),
              10)
        << "ten spins";
    const size_t before = heard.said().size();
    aids().sayAgain();
    EXPECT_EQ(heard.said().size(), before + 1);
    EXPECT_EQ(heard.last(), heard.said()[before - 1]);
}

TEST_F(Accessibility, ResetAndReCalculateHaveKeysAndTheMenuShowsEveryKey) {
    Heard heard(aids().announcer());
    control<TCSpinEdit>(form, "Initial_Bet")->setFocus();
    QTest::keyClick(control<TCSpinEdit>(form, "Initial_Bet"), Qt::Key_Up);
    EXPECT_EQ(
        of(control<TCSpinEdit>(form, "Initial_Bet"))->valueInterface()->currentValue().toInt(), 2);
    EXPECT_EQ(heard.last(), "stake 2");
    QTest::keyClick(&form, Qt::Key_F9);
    EXPECT_TRUE(form.buttonsLocked());
    QApplication::processEvents();
    EXPECT_EQ(heard.last(), "recalculating");
    for (int i = 0; i < 60 && form.buttonsLocked(); ++i)
        control<ProgramTimer>(form, "Timer_Recalculate")->fire();
    QApplication::processEvents();
    EXPECT_EQ(heard.last(), "recalculated");
    EXPECT_TRUE(control<TFlatSpeedButton>(form, "ReCalculate")->hasFocus())
        << "the focus came back to it";
    QTest::keyClick(control<TFlatSpeedButton>(form, "ReCalculate"), Qt::Key_B, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(heard.last(), "stake 2");
    EXPECT_TRUE(control<TFlatSpeedButton>(form, "Reset_Bets")->hasFocus());

    // A drop-down's choice changed by the keys is told.
    control<QComboBox>(form, "Betting_System")->setFocus();
    QTest::keyClick(control<QComboBox>(form, "Betting_System"), Qt::Key_Down);
    EXPECT_EQ(heard.last(), "Donald");

    // Shift+F10 or the Menu key, wherever the focus is, opens a menu with every key shown.
    const std::pair<Qt::Key, Qt::KeyboardModifier> keys[] = {{Qt::Key_F10, Qt::ShiftModifier},
                                                             {Qt::Key_Menu, Qt::NoModifier}};
    for (QWidget* w : std::vector<QWidget*>{
             control<QComboBox>(form, "Game_Mode"), control<TCSpinEdit>(form, "Initial_Bet"),
             control<QSlider>(form, "SafeLevel"), control<QCheckBox>(form, "Fixed_Matrix")})
        for (const auto& [key, mods] : keys) {
            SCOPED_TRACE(w->objectName().toStdString() + " " + std::to_string(key));
            w->setFocus();
            QTest::keyClick(w, key, mods);
            QMenu* menu = nullptr;
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
                2000));
            for (const char* name :
                 {"UndoSpin", "RedoSpin", "ResetEntry", "ReCalculateEntry", "SayAgainEntry",
                  "LitNumbersEntry", "StatisticsEntry", "SimulateEntry"})
                EXPECT_FALSE(menu->findChild<QAction*>(name)->shortcut().isEmpty()) << name;
            menu->close();
            ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activePopupWidget(); }, 2000));
        }
}

TEST_F(Accessibility, StatisticsAndSimulateAnswerTheKeyboard) {
    Heard heard(aids().announcer());
    play(17);
    form.sessionTools().openStatistics();
    QApplication::processEvents();
    EXPECT_EQ(heard.last(), "Statistics: 1 spin, opened beside the main window");
    StatisticsWindow* stats = form.sessionTools().statistics();
    EXPECT_EQ(of(stats)->role(), QAccessible::Window);
    // Every Tab stop is named, the wheel among them.
    auto* panel = static_cast<WheelPanel*>(stats->findChild<QWidget*>("WheelPanel"));
    ASSERT_NE(panel, nullptr);
    WheelView* wheel = panel->wheel();
    EXPECT_TRUE(wheel->focusPolicy() & Qt::TabFocus);
    for (QWidget* w = stats->nextInFocusChain(); w != stats; w = w->nextInFocusChain())
        if (w->isVisibleTo(stats) && (w->focusPolicy() & Qt::TabFocus)) {
            EXPECT_FALSE(of(w)->text(QAccessible::Name).isEmpty())
                << w->metaObject()->className() << " " << w->objectName().toStdString() << " in "
                << w->parentWidget()->metaObject()->className() << " "
                << w->parentWidget()->objectName().toStdString() << " " << int(w->focusPolicy());
        }
    EXPECT_EQ(wheel->accessibleDescription(),
              "Latest spins, newest first: 17. Hottest: 17 (1 spin). Coldest: 0, 1, 2, 3, 4, 5, "
              "6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, "
              "28, 29, 30, 31, 32, 33, 34, 35, 36 (0 spins).");
    stats->close();

    form.sessionTools().openSimulate();
    SimulateDialog* d = form.sessionTools().simulate();
    QTabWidget* tabs = d->reportTabs();
    d->activateWindow();
    QApplication::setActiveWindow(d);
    d->runButton()->setFocus();
    const int start = tabs->currentIndex();
    QTest::keyClick(d->runButton(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), (start + 1) % tabs->count());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), start);
    d->close();
}

} // namespace
