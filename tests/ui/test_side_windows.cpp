// The side windows beside the board: where they open, the program's keys from
// every window, a simulation that is never lost by accident, the chart's ticks
// and titles, and the messages of the Simulate dialog.
#include "chart/sim_chart.h"
#include "statistics/wheel_evidence_view.h"
#include "statistics/wheel_panel.h"
#include "widgets/cspinedit.h"
#include "widgets/flat_button.h"
#include "widgets/program_timer.h"
#include "widgets/side_placement.h"
#include "window/board_geometry.h"
#include "window/main_window.h"
#include "window/number_entry.h"
#include "window/session_tools.h"
#include "window/spin_undo.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "window_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// How much taller Sequential makes the main window.
constexpr int kSequentialGrowth = MainWindow::kSequentialClientHeight - MainWindow::kClientHeight;

using vantel::placeSideWindow;
using vantel::SidePlacement;

// The keep-clear parts of a main window whose client starts at `client`.
std::vector<QRect> boardAt(QPoint client) {
    std::vector<QRect> parts;
    for (int n = 0; n <= 36; ++n)
        parts.push_back(vantel::cellRect(n).translated(client));
    parts.push_back(QRect(378, 187, 55, 17).translated(client)); // Reset
    parts.push_back(QRect(400, 232, 65, 17).translated(client)); // ReCalculate
    return parts;
}

// A main window as it opens: at (252, 129) in device pixels, kept on the
// screen; the window manager's frame is `title` high and `border` wide.
SidePlacement opening(QSize screen, int scale, int title, int border, QSize wanted, QSize minimum) {
    SidePlacement p;
    p.available = QRect(QPoint(0, 0), screen / scale);
    const QSize frame(473 + 2 * border, 261 + title + border);
    const int x = std::clamp(252, 0, std::max(0, screen.width() - frame.width() * scale)) / scale;
    const int y = std::clamp(129, 0, std::max(0, screen.height() - frame.height() * scale)) / scale;
    p.main = QRect(QPoint(x, y), frame);
    p.keepClear = boardAt(QPoint(x + border, y + title));
    p.wanted = wanted;
    p.minimum = minimum;
    return p;
}

bool coversBoard(const QRect& r, const SidePlacement& p) {
    for (const QRect& part : p.keepClear)
        if (r.intersects(part)) return true;
    return false;
}

enum class Where { Right, Left, Below, Above, Over };

Where whereOf(const QRect& r, const SidePlacement& p) {
    if (r.left() > p.main.right()) return Where::Right;
    if (r.right() < p.main.left()) return Where::Left;
    if (r.top() > p.main.bottom()) return Where::Below;
    if (r.bottom() < p.main.top()) return Where::Above;
    return Where::Over;
}

TEST(SidePlacement, OpensBesideTheMainWindowWhollyOnItsScreenAndNeverOverTheBoard) {
    const QSize stats(640, 600), statsMin(300, 120), sim(600, 470), simMin(320, 120);
    struct Case {
        QSize screen;
        int scale, title, border;
        QSize wanted, minimum;
        Where where;
        bool wholeSize;
    };
    const Case cases[] = {
        // No window manager: no frame.
        {{1024, 768}, 1, 0, 0, stats, statsMin, Where::Below, false},
        {{1280, 1024}, 1, 0, 0, stats, statsMin, Where::Below, true},
        {{1920, 1080}, 1, 0, 0, stats, statsMin, Where::Right, true},
        {{1024, 768}, 2, 0, 0, stats, statsMin, Where::Over, false},
        {{1280, 1024}, 2, 0, 0, stats, statsMin, Where::Below, false},
        {{1024, 768}, 1, 0, 0, sim, simMin, Where::Below, false},
        {{1280, 1024}, 1, 0, 0, sim, simMin, Where::Below, true},
        {{1680, 1050}, 1, 0, 0, sim, simMin, Where::Right, true},
        {{1280, 1024}, 2, 0, 0, sim, simMin, Where::Below, false},
        // A window manager's title bar and borders.
        {{1024, 768}, 1, 22, 1, stats, statsMin, Where::Below, false},
        {{1280, 1024}, 1, 22, 1, stats, statsMin, Where::Below, true},
        {{1024, 768}, 2, 22, 1, stats, statsMin, Where::Over, false},
        {{1280, 1024}, 2, 22, 1, sim, simMin, Where::Below, false},
        {{1920, 1200}, 1, 22, 1, sim, simMin, Where::Right, true},
    };
    for (const Case& c : cases) {
        const SidePlacement p = opening(c.screen, c.scale, c.title, c.border, c.wanted, c.minimum);
        const QRect r = placeSideWindow(p);
        const std::string at =
            std::to_string(c.screen.width()) + "x" + std::to_string(c.screen.height()) + " at " +
            std::to_string(c.scale) + "x, wanted " + std::to_string(c.wanted.width()) + " -> " +
            std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
            "x" + std::to_string(r.height());
        EXPECT_TRUE(p.available.contains(r)) << at;
        EXPECT_FALSE(coversBoard(r, p)) << at;
        EXPECT_EQ(whereOf(r, p), c.where) << at;
        EXPECT_GE(r.width(), c.minimum.width()) << at;
        EXPECT_GE(r.height(), c.minimum.height()) << at;
        if (c.wholeSize) {
            EXPECT_EQ(r.size(), c.wanted) << at;
        }
    }
}

TEST(SidePlacement, AnyScreenAnyPositionTheRulesHold) {
    std::mt19937 random(20261209);
    int beside = 0, over = 0;
    for (int i = 0; i < 3000; ++i) {
        SidePlacement p;
        const int w = 500 + int(random() % 1500), h = 300 + int(random() % 900);
        p.available = QRect(int(random() % 50), int(random() % 30), w, h);
        const QSize frame(473 + 2 * int(random() % 3), 261 + int(random() % 30));
        const int x = p.available.left() + int(random() % std::max(1, w - frame.width() + 1));
        const int y = p.available.top() + int(random() % std::max(1, h - frame.height() + 1));
        p.main = QRect(QPoint(x, y), frame);
        p.keepClear = boardAt(QPoint(x, y + frame.height() - 261));
        p.wanted = QSize(200 + int(random() % 800), 150 + int(random() % 700));
        p.minimum = QSize(120 + int(random() % 200), 80 + int(random() % 60)).boundedTo(p.wanted);
        const QRect r = placeSideWindow(p);
        const std::string at = std::to_string(i);
        ASSERT_TRUE(p.available.contains(r)) << at;
        ASSERT_GE(r.width(), std::min(p.minimum.width(), p.available.width())) << at;
        ASSERT_GE(r.height(), std::min(p.minimum.height(), p.available.height())) << at;
        ASSERT_LE(r.width(), p.wanted.width()) << at;
        ASSERT_LE(r.height(), p.wanted.height()) << at;
        const int right = p.available.right() - p.main.right() - p.gap;
        const int left = p.main.left() - p.available.left() - p.gap;
        const int below = p.available.bottom() - p.main.bottom() - p.gap;
        const int above = p.main.top() - p.available.top() - p.gap;
        const QSize m = p.minimum;
        const bool room = (std::max(right, left) >= m.width() && h >= m.height()) ||
                          (std::max(below, above) >= m.height() && w >= m.width());
        if (room) {
            ++beside;
            ASSERT_FALSE(r.intersects(p.main)) << at;
            // The right side first, whenever the whole window fits there.
            if (right >= p.wanted.width() && h >= p.wanted.height()) {
                ASSERT_GT(r.left(), p.main.right()) << at;
            }
        } else {
            ++over;
        }
        QRect board;
        for (const QRect& part : p.keepClear)
            board |= part;
        const bool roomOffBoard = (board.top() - p.available.top() >= m.height() ||
                                   p.available.bottom() - board.bottom() >= m.height()) ||
                                  (board.left() - p.available.left() >= m.width() ||
                                   p.available.right() - board.right() >= m.width());
        if (roomOffBoard) {
            ASSERT_FALSE(coversBoard(r, p)) << at;
        }
    }
    EXPECT_GT(beside, 100);
    EXPECT_GT(over, 50);
}

// The screens players have, with openbox's frame: a title bar of 22 device
// pixels and a border of 1.
struct Screen {
    QSize size;
    int scale;
};
constexpr Screen kScreens[] = {
    {{1024, 768}, 1}, {{1280, 1024}, 1}, {{1920, 1080}, 1}, {{1280, 1024}, 2}, {{1920, 1080}, 2}};
constexpr int kTitle = 22;

std::string nameOf(const Screen& s) {
    return std::to_string(s.size.width()) + "x" + std::to_string(s.size.height()) + " at " +
           std::to_string(s.scale) + "x";
}

std::string nameOf(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
           "x" + std::to_string(r.height());
}

// Statistics opened first, then the Simulate dialog, at their real sizes;
// the main window as it opens, or grown as Sequential grows it.
struct SetOnScreen {
    SidePlacement common;
    std::vector<vantel::SideWish> wishes;
    QSize margins;
};

SetOnScreen setOn(const Screen& screen, const StatisticsWindow& stats, const SimulateDialog& sim,
                  int grown = 0) {
    const int title = kTitle / screen.scale;
    const QSize margins(2, title + 1);
    SetOnScreen set;
    set.common = opening(screen.size, screen.scale, title, 1, {}, {});
    set.common.main.setHeight(set.common.main.height() + grown);
    set.wishes = {{stats.wantedSize() + margins, stats.smallestSize() + margins, {}},
                  {sim.wantedSize() + margins, SimulateDialog::kSmallest + margins, {}}};
    set.margins = margins;
    return set;
}

TEST(SideSet, BothSideWindowsOpenClearOfEachOtherAndOfTheBoardWhereThereIsRoom) {
    QWidget main;
    const std::vector<vantel::EnteredSpin> spins;
    StatisticsWindow stats(spins, &main);
    SimulateDialog sim(vantel::sim::Settings{}, nullptr);
    for (const Screen& screen : kScreens)
        for (const int grown : {0, kSequentialGrowth}) {
            const SetOnScreen set = setOn(screen, stats, sim, grown);
            const std::vector<QRect> frames = vantel::placeSideWindows(set.common, set.wishes);
            ASSERT_EQ(frames.size(), 2u);
            const std::string at = nameOf(screen) + (grown ? ", grown" : "") + ": Statistics " +
                                   nameOf(frames[0]) + ", Simulate " + nameOf(frames[1]);
            for (const QRect& f : frames) {
                EXPECT_TRUE(set.common.available.contains(f)) << at;
                EXPECT_FALSE(coversBoard(f, set.common)) << at;
            }
            EXPECT_FALSE(frames[0].intersects(frames[1])) << at;
            // At 1x there is room for both beside the main window.
            if (screen.scale == 1) {
                EXPECT_FALSE(frames[0].intersects(set.common.main)) << at;
                EXPECT_FALSE(frames[1].intersects(set.common.main)) << at;
            }
            if (grown == 0) std::printf("[ placed ] %s\n", at.c_str());
            // A window put by hand stays, and the other keeps clear of it.
            std::vector<vantel::SideWish> kept = set.wishes;
            kept[0].kept = frames[0].translated(-frames[0].left(), 0);
            const std::vector<QRect> after = vantel::placeSideWindows(set.common, kept);
            EXPECT_EQ(after[0], *kept[0].kept) << at;
        }
}

TEST(SideSet, AnyScreenTheLaterCoversTheEarlierOnlyWhereNeitherOrderHasRoom) {
    std::mt19937 random(33);
    int clear = 0, covered = 0;
    for (int i = 0; i < 2000; ++i) {
        SidePlacement p;
        const int w = 500 + int(random() % 1500), h = 300 + int(random() % 900);
        p.available = QRect(0, 0, w, h);
        const QSize frame(475, 284);
        const int x = int(random() % std::max(1, w - frame.width() + 1));
        const int y = int(random() % std::max(1, h - frame.height() + 1));
        p.main = QRect(QPoint(x, y), frame);
        p.keepClear = boardAt(QPoint(x + 1, y + 23));
        std::vector<vantel::SideWish> wishes(2);
        for (auto& wish : wishes) {
            wish.wanted = QSize(250 + int(random() % 500), 150 + int(random() % 600));
            wish.minimum =
                QSize(200 + int(random() % 100), 100 + int(random() % 50)).boundedTo(wish.wanted);
        }
        if (i % 5 == 0) wishes[0].kept = QRect(int(random() % (w / 2)), 0, 300, 200);
        const std::vector<QRect> f = vantel::placeSideWindows(p, wishes);
        const std::string at = std::to_string(i);
        ASSERT_TRUE(p.available.contains(f[1])) << at;
        if (wishes[0].kept) {
            ASSERT_EQ(f[0], *wishes[0].kept) << at;
        } else {
            ASSERT_TRUE(p.available.contains(f[0])) << at;
        }
        if (!f[0].intersects(f[1])) {
            ++clear;
            continue;
        }
        ++covered;
        // Covering: the later had no room clear of the earlier where it
        // stood, and the earlier none clear of the later placed alone.
        const auto alone = [&](size_t k, std::vector<QRect> others) {
            SidePlacement q = p;
            q.wanted = wishes[k].wanted;
            q.minimum = wishes[k].minimum;
            q.others = std::move(others);
            return q;
        };
        const QRect first =
            wishes[0].kept ? *wishes[0].kept : vantel::placeSideWindow(alone(0, {}));
        ASSERT_TRUE(vantel::placeBesideClear(alone(1, {first})).isNull()) << at;
        if (!wishes[0].kept) {
            const QRect later = vantel::placeSideWindow(alone(1, {}));
            ASSERT_TRUE(vantel::placeBesideClear(alone(0, {later})).isNull()) << at;
        }
    }
    EXPECT_GT(clear, 500);
    EXPECT_GT(covered, 20);
}

TEST(SideSet, EveryStatisticsPageFitsItsPlacedWidthWithoutScrollingSideways) {
    QWidget main;
    std::vector<vantel::EnteredSpin> spins;
    for (int n : {32, 15, 19, 4, 21, 2, 25, 17, 34, 6, 27, 13, 36, 11, 30, 8, 23, 10, 5, 24})
        spins.push_back({n, {}});
    StatisticsWindow stats(spins, &main);
    stats.refresh();
    // The journal's page as the window adds it, with a wheel of a million
    // spins: its widest figures.
    auto* journal = new WheelEvidenceView;
    journal->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    vantel::sim::WheelTallies wheel;
    for (int n = 0; n < 37; ++n)
        wheel.spins += wheel.counts[size_t(n)] = 1000000 / 37 + 97 * (n % 5) - 200;
    for (int d = 0; d < 19; ++d)
        wheel.distances[size_t(d)] = wheel.spins * (d == 0 ? 1 : 2) / 37;
    journal->set(wheel, QStringLiteral("Wheel 'Table 3', whole journal"));
    stats.addScrollingPage(QStringLiteral("&Journal"), journal);
    SimulateDialog sim(vantel::sim::Settings{}, nullptr);
    QTabWidget* pages = stats.pages();
    ASSERT_EQ(pages->count(), 5);
    for (const Screen& screen : kScreens) {
        const SetOnScreen set = setOn(screen, stats, sim);
        const QRect frame = vantel::placeSideWindows(set.common, set.wishes)[0];
        const QSize client = frame.size() - set.margins;
        stats.resize(client);
        stats.show();
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            for (int k = 0; k < 4; ++k)
                QApplication::processEvents();
            // A page scrolls as one, or (the journal's) below its choosers.
            auto* page = qobject_cast<QScrollArea*>(pages->widget(i));
            if (!page) page = pages->widget(i)->findChild<QScrollArea*>();
            ASSERT_NE(page, nullptr);
            const std::string at = nameOf(screen) + ", " + std::to_string(client.width()) + "x" +
                                   std::to_string(client.height()) + ", " +
                                   page->objectName().toStdString();
            EXPECT_EQ(stats.size(), client) << at;
            EXPECT_FALSE(page->horizontalScrollBar()->isVisible()) << at;
            const QWidget* content = page->widget();
            EXPECT_LE(content->minimumSizeHint().width(), page->viewport()->width()) << at;
            // Nothing in a page scrolls on its own: the page scrolls as one.
            for (const QAbstractScrollArea* inner : content->findChildren<QAbstractScrollArea*>()) {
                EXPECT_EQ(inner->verticalScrollBar()->maximum(), 0)
                    << at << " " << inner->objectName().toStdString();
                EXPECT_EQ(inner->horizontalScrollBar()->maximum(), 0)
                    << at << " " << inner->objectName().toStdString();
            }
            // Every widget of the page within the page's width.
            for (const QWidget* w : content->findChildren<QWidget*>()) {
                if (!w->isVisible()) continue;
                const int right = w->mapTo(content, QPoint(w->width(), 0)).x();
                EXPECT_LE(right, content->width()) << at << " " << w->objectName().toStdString();
            }
            const QWidget* tab = pages->widget(i);
            EXPECT_LE(tab->width(), pages->width()) << at;
            for (const QWidget* w : tab->findChildren<QWidget*>()) {
                if (!w->isVisible()) continue;
                EXPECT_LE(w->mapTo(tab, QPoint(w->width(), 0)).x(), tab->width())
                    << at << " " << w->metaObject()->className();
            }
        }
        // The wheel beside its figures where the window is wide enough.
        const WheelPanel* wheel = stats.wheelPanel();
        const bool room =
            wheel->width() >= WheelView::kSmallest + 12 + wheel->figures()->sizeHint().width();
        EXPECT_EQ(wheel->besideItsFigures(), room) << nameOf(screen);
        std::printf("[ pages  ] %s: Statistics %dx%d, wheel %s\n", nameOf(screen).c_str(),
                    client.width(), client.height(), room ? "beside" : "above");
    }
}

class SideWindows : public WindowTest {
  protected:
    void SetUp() override {
        form.show();
        activate(&form);
    }
    static void activate(QWidget* w) {
        w->windowHandle()->requestActivate();
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }, 2000));
    }
    void spin(int n) { play(n); }
    size_t spins() { return form.spinUndo().history().entered().size(); }
    // A key pressed where the keyboard focus is, as the player presses it.
    static void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        QWidget* target = QApplication::focusWidget();
        if (!target) target = QApplication::activeWindow();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, mods);
        QApplication::processEvents();
    }
    SessionTools& tools() { return form.sessionTools(); }
    bool entryShown() { return form.numberEntry()->isVisible(); }
    static bool waitFinished(SimulateDialog* d, int ms) {
        return QTest::qWaitFor([&] { return !d->running(); }, ms);
    }
    // Answers the next message box: its title and text.
    struct Box {
        QString title, text;
        int count = 0;
    };
    static void answerBoxes(QTimer& timer, Box& box) {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, &timer, [&box] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) {
                    ++box.count;
                    box.title = b->windowTitle();
                    box.text = b->text();
                    b->accept();
                }
        });
        timer.start();
    }
};

TEST_F(SideWindows, CtrlEOpensTheEntryWithInitBetFocusedAndCtrlZUndoesTypingThenSpins) {
    spin(3);
    spin(19);
    spin(7);
    control<TCSpinEdit>(form, "Initial_Bet")->setFocus();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return control<TCSpinEdit>(form, "Initial_Bet")->hasFocus(); }, 2000));
    press(Qt::Key_E);
    EXPECT_TRUE(entryShown()) << "Ctrl+E in Init. Bet";
    form.numberEntry()->hide();
    activate(&form);
    control<TCSpinEdit>(form, "Initial_Bet")->setFocus();
    // Nothing typed: the spins are taken back.
    press(Qt::Key_Z);
    EXPECT_EQ(spins(), 2u);
    // Typing first, then the spins.
    control<TCSpinEdit>(form, "Initial_Bet")->selectAll();
    QTest::keyClicks(control<TCSpinEdit>(form, "Initial_Bet"), "5");
    ASSERT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->text(), "5");
    press(Qt::Key_Z);
    EXPECT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->text(), "1");
    EXPECT_EQ(spins(), 2u);
    press(Qt::Key_Z);
    EXPECT_EQ(spins(), 1u) << "with its typing taken back, Ctrl+Z undoes the spin";
    EXPECT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->text(), "1");
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(control<TCSpinEdit>(form, "Initial_Bet")->text(), "5")
        << "the field's typing is entered again first";
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(spins(), 2u);
}

TEST_F(SideWindows, CtrlIShowsStatisticsWithoutTakingTheFocusAndEscapeClosesIt) {
    spin(5);
    control<TCSpinEdit>(form, "Initial_Bet")->setFocus();
    press(Qt::Key_I);
    StatisticsWindow* stats = tools().statistics();
    ASSERT_NE(stats, nullptr);
    QTest::qWait(50);
    EXPECT_TRUE(stats->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), &form);
    EXPECT_EQ(QApplication::focusWidget(), control<TCSpinEdit>(form, "Initial_Bet"));
    // The keys keep working on the main window.
    press(Qt::Key_Z);
    EXPECT_EQ(spins(), 0u);
    activate(stats);
    press(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_FALSE(stats->isVisible());
}

TEST_F(SideWindows, TheKeysWorkWhileStatisticsOrTheSimulateDialogIsActive) {
    spin(5);
    spin(17);
    press(Qt::Key_I);
    StatisticsWindow* stats = tools().statistics();
    ASSERT_NE(stats, nullptr);
    activate(stats);
    stats->numbersView()->setFocus();
    press(Qt::Key_Z);
    EXPECT_EQ(spins(), 1u) << "Ctrl+Z in Statistics";
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(spins(), 2u) << "Ctrl+Shift+Z in Statistics";
    press(Qt::Key_E);
    EXPECT_TRUE(entryShown()) << "Ctrl+E in Statistics";
    form.numberEntry()->hide();
    activate(stats);
    press(Qt::Key_R);
    SimulateDialog* d = tools().simulate();
    ASSERT_NE(d, nullptr) << "Ctrl+R in Statistics";
    EXPECT_TRUE(d->isVisible());

    activate(d);
    d->runButton()->setFocus();
    press(Qt::Key_Z);
    EXPECT_EQ(spins(), 1u) << "Ctrl+Z in Simulate";
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(spins(), 2u) << "Ctrl+Shift+Z in Simulate";
    stats->close();
    activate(d);
    press(Qt::Key_I);
    EXPECT_TRUE(stats->isVisible()) << "Ctrl+I in Simulate";
    activate(d);
    d->sessionsBox()->setFocus();
    press(Qt::Key_E);
    EXPECT_TRUE(entryShown()) << "Ctrl+E in a field of Simulate";
    form.numberEntry()->hide();
}

TEST_F(SideWindows, ARunIsNeverLostByEscapeOrClosingAndOneDialogServesTheSession) {
    press(Qt::Key_R);
    SimulateDialog* d = tools().simulate();
    ASSERT_NE(d, nullptr);
    d->sessionsBox()->setValue(400);
    d->spinsBox()->setValue(500);
    d->seedEdit()->setText("99");
    d->start();
    ASSERT_TRUE(d->running());
    activate(d);
    press(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(d->running()) << "Escape hides the dialog; the run goes on";
    activate(&form);
    press(Qt::Key_R);
    EXPECT_EQ(tools().simulate(), d);
    EXPECT_TRUE(d->isVisible());
    ASSERT_TRUE(waitFinished(d, 60000));
    const QString report = d->reportText();
    ASSERT_FALSE(report.isEmpty());
    // Closed when done, it shows the same report on Ctrl+R.
    d->close();
    activate(&form);
    press(Qt::Key_R);
    ASSERT_EQ(tools().simulate(), d);
    EXPECT_EQ(d->reportText(), report);
    EXPECT_EQ(d->reportView()->toPlainText(), report);
    EXPECT_TRUE(d->chartShown());
    // Closed during a run, the same.
    d->seedEdit()->setText("100");
    d->start();
    d->close();
    EXPECT_TRUE(d->running());
    ASSERT_TRUE(waitFinished(d, 60000));
    activate(&form);
    press(Qt::Key_R);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->reportText().isEmpty());
    EXPECT_NE(d->reportText(), report);
}

TEST_F(SideWindows, ANewRunHidesTheOldReportAndCancelClearsIt) {
    press(Qt::Key_R);
    SimulateDialog* d = tools().simulate();
    ASSERT_NE(d, nullptr);
    d->sessionsBox()->setValue(20);
    d->spinsBox()->setValue(100);
    d->seedEdit()->setText("5");
    d->start();
    ASSERT_TRUE(waitFinished(d, 60000));
    ASSERT_FALSE(d->reportView()->toPlainText().isEmpty());
    ASSERT_TRUE(d->chartShown());
    d->sessionsBox()->setValue(1000000);
    d->start();
    ASSERT_TRUE(d->running());
    EXPECT_TRUE(d->reportView()->toPlainText().isEmpty()) << "the old report during a new run";
    EXPECT_FALSE(d->chartShown());
    d->cancel();
    ASSERT_TRUE(waitFinished(d, 5000));
    EXPECT_TRUE(d->reportView()->toPlainText().isEmpty()) << "the old report after Cancel";
    EXPECT_TRUE(d->reportText().isEmpty());
    EXPECT_FALSE(d->chartShown());
}

TEST_F(SideWindows, ABadSeedsWarningSaysSoAndOutOfRangeValuesClampWithANote) {
    press(Qt::Key_R);
    SimulateDialog* d = tools().simulate();
    ASSERT_NE(d, nullptr);
    d->sessionsBox()->setValue(5);
    d->spinsBox()->setValue(10);
    d->seedEdit()->setText("1");
    d->start();
    ASSERT_TRUE(waitFinished(d, 60000));
    d->seedEdit()->setText("12a");
    QTimer timer;
    Box box;
    answerBoxes(timer, box);
    d->start();
    timer.stop();
    EXPECT_EQ(box.count, 1);
    EXPECT_EQ(box.title, "Seed not accepted");
    EXPECT_TRUE(box.text.contains("12a"));
    EXPECT_FALSE(d->running());

    // Typed beyond its range, the field takes its end and the dialog says so.
    for (const auto& [box, typed, value] :
         {std::tuple{d->sessionsBox(), "99999999", 1000000}, {d->spinsBox(), "0", 1}}) {
        activate(d);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(typed));
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &out);
        QApplication::processEvents();
        EXPECT_EQ(box->value(), value) << typed;
        EXPECT_TRUE(d->noteLabel()->isVisibleTo(d)) << typed;
        EXPECT_TRUE(d->noteLabel()->text().contains(QString::fromLatin1(typed)))
            << d->noteLabel()->text().toStdString();
        EXPECT_TRUE(d->noteLabel()->text().contains(QString::number(value)));
    }
    EXPECT_TRUE(d->sessionsBox()->toolTip().contains("1000000"));
}

TEST_F(SideWindows, TheSimulateDialogShowsEverythingWithoutScrollingAt2xOn1280x1024) {
    press(Qt::Key_R);
    SimulateDialog* d = tools().simulate();
    ASSERT_NE(d, nullptr);
    // At twice the size a 1280x1024 screen is 640x512, less a title bar.
    const QSize room(640, 512 - 24);
    auto* scroll = d->findChild<QScrollArea*>("SimulateScroll");
    ASSERT_NE(scroll, nullptr);
    const QSize content = scroll->widget()->sizeHint();
    EXPECT_LE(content.width(), room.width()) << content.width() << "x" << content.height();
    EXPECT_LE(content.height(), room.height()) << content.width() << "x" << content.height();
    d->resize(room);
    QApplication::processEvents();
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
    for (QWidget* w : {static_cast<QWidget*>(d->sessionsBox()),
                       static_cast<QWidget*>(d->seedEdit()), static_cast<QWidget*>(d->runButton()),
                       static_cast<QWidget*>(d->findChild<QWidget*>("Progress")),
                       static_cast<QWidget*>(d->reportView()), d->findChild<QWidget*>("Chart")}) {
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(scroll->widget()->isAncestorOf(w)) << w->objectName().toStdString();
        const QRect r(w->mapTo(d, QPoint(0, 0)), w->size());
        EXPECT_TRUE(d->rect().contains(r)) << w->objectName().toStdString();
    }
}

TEST_F(SideWindows, InTheStripBelowTheBoardTheRunAndItsReportStayInView) {
    // A dialog of its own, so that no placement beside a window resizes it
    // while the test does.
    SimulateDialog own(vantel::sim::Settings{}, nullptr);
    own.show();
    SimulateDialog* d = &own;
    auto* scroll = d->findChild<QScrollArea*>("SimulateScroll");
    auto* settings = d->findChild<QScrollArea*>("SettingsScroll");
    ASSERT_NE(scroll, nullptr);
    ASSERT_NE(settings, nullptr);
    const auto inView = [&](const QWidget* w) {
        return w->isVisibleTo(d) && d->rect().contains(QRect(w->mapTo(d, QPoint(0, 0)), w->size()));
    };
    const auto chartTab = [&] {
        for (int i = 0; i < d->reportTabs()->count(); ++i)
            if (d->reportTabs()->tabText(i) == "Chart") return i;
        return -1;
    };
    // Where the dialog opens at twice the size on 1280x1024, with a window
    // manager's frame and without one.
    for (const int title : {22, 0}) {
        const SidePlacement p = opening({1280, 1024}, 2, title / 2, title ? 1 : 0, d->wantedSize(),
                                        SimulateDialog::kSmallest);
        const QRect frame = placeSideWindow(p);
        ASSERT_EQ(whereOf(frame, p), Where::Below);
        const QSize room = frame.size() - QSize(title ? 2 : 0, title ? title / 2 + 1 : 0);
        d->resize(room);
        QApplication::processEvents();
        const std::string at = std::to_string(room.width()) + "x" + std::to_string(room.height());
        EXPECT_FALSE(scroll->verticalScrollBar()->isVisible()) << at;
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible()) << at;
        for (const char* name : {"Run", "Cancel", "Progress", "Rate", "SaveChart", "SaveReport",
                                 "ReportTabs", "Report", "SettingsScroll"}) {
            const QWidget* w = d->findChild<QWidget*>(name);
            ASSERT_NE(w, nullptr) << name;
            if (std::string(name) == "Report") d->reportTabs()->setCurrentWidget(d->reportView());
            EXPECT_TRUE(inView(w)) << name << " at " << at;
        }
        EXPECT_GE(d->reportView()->height(), 3 * d->reportView()->fontMetrics().height()) << at;
        // The settings scroll in their pane, each reachable there; the chart is a tab.
        EXPECT_GE(chartTab(), 0) << at;
        EXPECT_TRUE(settings->verticalScrollBar()->isVisible()) << at;
        settings->ensureWidgetVisible(d->findChild<QWidget*>("Seed"));
        QApplication::processEvents();
        EXPECT_TRUE(inView(d->seedEdit())) << at;
    }
    // Given its whole size again, it is tall: the settings whole, the chart
    // beside; so is a dialog that was never low.
    SimulateDialog fresh(vantel::sim::Settings{}, nullptr);
    fresh.resize(fresh.wantedSize());
    for (SimulateDialog* dialog : {d, &fresh}) {
        dialog->resize(dialog->wantedSize());
        dialog->show();
        QApplication::processEvents();
        const QWidget* content = dialog->findChild<QScrollArea*>("SimulateScroll")->widget();
        const QWidget* chart = dialog->findChild<QWidget*>("Chart");
        EXPECT_TRUE(content->isAncestorOf(chart));
        EXPECT_TRUE(chart->isVisible());
        EXPECT_FALSE(QRect(chart->mapTo(dialog, QPoint(0, 0)), chart->size())
                         .intersects(QRect(dialog->reportTabs()->mapTo(dialog, QPoint(0, 0)),
                                           dialog->reportTabs()->size())));
        EXPECT_FALSE(
            dialog->findChild<QScrollArea*>("SettingsScroll")->verticalScrollBar()->isVisible());
    }
    EXPECT_EQ(chartTab(), -1);
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
}

TEST_F(SideWindows, BothStatisticsTablesShowTheFocusedCell) {
    for (int n : {3, 19, 0, 28, 5})
        spin(n);
    press(Qt::Key_I);
    StatisticsWindow* stats = tools().statistics();
    ASSERT_NE(stats, nullptr);
    activate(stats);
    for (QTableView* view : {stats->numbersView(), stats->groupsView()}) {
        view->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->hasFocus(); }, 2000));
        const QModelIndex current = view->model()->index(2, 1);
        view->selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
        QApplication::processEvents();
        const QImage image = view->viewport()->grab().toImage();
        // The ring just inside the focused cell against the same ring in the
        // cell beside it, on the same selected row.
        const QRect cell = view->visualRect(current);
        const QRect beside = view->visualRect(view->model()->index(2, 2));
        int differing = 0, ring = 0;
        for (int x = 1; x < cell.width() - 1; ++x)
            for (int y = 1; y < cell.height() - 1; ++y) {
                if (x > 2 && x < cell.width() - 3 && y > 2 && y < cell.height() - 3) continue;
                if (x >= beside.width() || y >= beside.height()) continue;
                ++ring;
                const int a = qGray(image.pixel(cell.x() + x, cell.y() + y));
                const int b = qGray(image.pixel(beside.x() + x, beside.y() + y));
                differing += std::abs(a - b) > 60 ? 1 : 0;
            }
        EXPECT_GT(differing, ring / 2)
            << view->objectName().toStdString() << ": " << differing << " of " << ring;
    }
}

TEST(ChartTicks, AreNiceDistinctIncreasingAndCoverTheDataOverManyRanges) {
    // Counts of a few sessions: one tick a session, not 0, 1, 1, 2, 2.
    EXPECT_EQ(vantel::chartTicks(0, 2, 5, true), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(vantel::chartTicks(0, 1, 5, true), (std::vector<double>{0, 1}));
    EXPECT_EQ(vantel::chartTicks(0, 0, 5, true), (std::vector<double>{-1, 0, 1}));
    EXPECT_EQ(vantel::chartTicks(0, 1000, 5, true),
              (std::vector<double>{0, 200, 400, 600, 800, 1000}));
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        const double scale = std::pow(10.0, -3 + 15 * unit(random));
        double lo = (unit(random) - 0.5) * scale;
        double hi = lo + unit(random) * scale * (i % 7 == 0 ? 1e-6 : 1);
        const bool whole = i % 2 == 0;
        if (whole) {
            lo = std::floor(lo);
            hi = std::ceil(hi);
        }
        const int count = 3 + i % 6;
        const std::vector<double> t = vantel::chartTicks(lo, hi, count, whole);
        ASSERT_GE(t.size(), 2u);
        ASSERT_LE(t.size(), size_t(2.5 * count + 3)) << lo << " " << hi;
        ASSERT_LE(t.front(), lo);
        ASSERT_GE(t.back(), hi);
        const double step = t[1] - t[0];
        const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-6));
        const double mantissa = step / power;
        ASSERT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                    std::abs(mantissa - 5) < 1e-6)
            << step << " for " << lo << ".." << hi;
        if (whole) {
            ASSERT_GE(step, 1.0);
        }
        for (size_t k = 1; k < t.size(); ++k) {
            ASSERT_GT(t[k], t[k - 1]);
            ASSERT_NEAR(t[k] - t[k - 1], step, step * 1e-6);
        }
        ++checked;
    }
    EXPECT_EQ(checked, 20000);
}

TEST(ChartTitles, FitTheDialogsChartOrAreShortenedWithTheWholeInTheTooltip) {
    vantel::SimChartData chart;
    chart.title = QStringLiteral(
        "Sequential, Martingale, initial bet 10000: 1000000 sessions of 1000000 spins");
    chart.bandSpins = {0, 50, 100};
    for (auto& band : chart.bands)
        band = {0, -30, 40};
    chart.finalNets = {-30, 40, 10};
    // At the dialog's size: no ink at the left and right edges of the title.
    QImage image(480, 320, QImage::Format_RGB32);
    {
        QPainter p(&image);
        vantel::drawSimChart(p, QRectF(image.rect()), chart);
    }
    int edgeInk = 0;
    for (int y = 0; y < 40; ++y)
        for (int x : {0, 1, 2, 477, 478, 479})
            edgeInk += qGray(image.pixel(x, y)) < 160 ? 1 : 0;
    EXPECT_EQ(edgeInk, 0);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(14);
    for (double width : {60.0, 200.0, 400.0, 2000.0}) {
        const vantel::FittedText fitted = vantel::fitText(font, chart.title, width);
        EXPECT_LE(QFontMetricsF(fitted.font).horizontalAdvance(fitted.text), width) << width;
        EXPECT_GE(fitted.font.pixelSize(), 10);
        if (fitted.text != chart.title) {
            EXPECT_TRUE(fitted.text.endsWith(QChar(0x2026)));
        }
    }
    EXPECT_EQ(vantel::fitText(font, chart.title, 2000).text, chart.title);
}

} // namespace
