// Statistics, Simulate and About: the entries below Undo and Redo, the live
// statistics of the session, and the backtest dialog against vantel-sim.
#include "exact.h"
#include "spins_file.h"
#include "statistics/figures_text.h"
#include "widgets/colour_label.h"
#include "widgets/cspinedit.h"
#include "widgets/flat_button.h"
#include "widgets/program_timer.h"
#include "window/main_window.h"
#include "window/session_tools.h"
#include "window/spin_undo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "window_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

class SessionToolsTest : public WindowTest {
  protected:
    // The sanitizer build computes the exact figures several times slower:
    // the figures are compared, not the time they take.
    void SetUp() override {
        SimulateDialog::ExactDeadlineMs = 60000;
        showWindow();
    }
    void TearDown() override { SimulateDialog::ExactDeadlineMs = 2000; }
    // As long as a test waits for the exact figures: the deadline's.
    static constexpr int kExactWait = 60000;
    void spin(int n) { play(n); }
    void ctrl(Qt::Key key) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
        QTest::keyClick(target, key, Qt::ControlModifier);
        QApplication::processEvents();
    }
    SessionTools& tools() { return form.sessionTools(); }
};

TEST_F(SessionToolsTest, TheMenuOffersStatisticsSimulateAndAboutBelowUndoAndRedo) {
    QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, QPoint(60, 20));
    QMenu* menu = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); }, 2000));
    QStringList entries;
    for (QAction* a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(entries,
              (QStringList{"Undo spin", "Redo spin", "-", "Reset the stake", "ReCalculate",
                           "Say again", "Say the lit numbers", "-", "Statistics…",
                           "Simulate these settings…", "-", "Save session…", "Open session…", "-",
                           "Record to a wheel…", "Import spins…", "-", "About Vantel"}));
    EXPECT_EQ(menu->actions()[8]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    EXPECT_EQ(menu->actions()[9]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    menu->close();
    EXPECT_TRUE(SessionTools::aboutText().contains("2.0"));
    EXPECT_TRUE(SessionTools::aboutText().contains("No setting changes the house edge"));
}

TEST_F(SessionToolsTest, StatisticsFollowEverySpinUndoAndRedo) {
    // Ctrl+I works with the focus on a setting.
    control<TCSpinEdit>(form, "Initial_Bet")->setFocus();
    ctrl(Qt::Key_I);
    StatisticsWindow* stats = tools().statistics();
    ASSERT_NE(stats, nullptr);
    EXPECT_TRUE(stats->isVisible());
    EXPECT_EQ(stats->windowTitle(), "Statistics: 0 spins");
    // Wholly on the screen; beside the main window, not over it, where there is room.
    const QRect screen = form.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(stats->frameGeometry()))
        << stats->frameGeometry().x() << "," << stats->frameGeometry().y() << " "
        << stats->frameGeometry().width() << "x" << stats->frameGeometry().height() << " min "
        << stats->minimumSizeHint().width() << "x" << stats->minimumSizeHint().height();
    if (screen.width() >= form.frameGeometry().width() + stats->frameGeometry().width() + 16) {
        EXPECT_FALSE(stats->frameGeometry().intersects(form.frameGeometry()));
    }

    for (int n : {17, 32, 0, 17, 5, 36, 17})
        spin(n);
    EXPECT_EQ(stats->stats().spins, 7u);
    EXPECT_EQ(stats->stats().counts[17], 3u);
    EXPECT_EQ(stats->windowTitle(), "Statistics: 7 spins");
    const QAbstractItemModel* numbers = stats->numbersView()->model();
    EXPECT_EQ(numbers->rowCount(), 37);
    EXPECT_EQ(numbers->index(17, 1).data().toInt(), 3);
    EXPECT_EQ(numbers->index(17, 2).data().toString(), "0");
    EXPECT_EQ(numbers->index(0, 2).data().toString(), "4");
    EXPECT_EQ(numbers->index(1, 2).data().toString(), "not yet");
    EXPECT_EQ(numbers->index(17, 3).data().toString(), "hottest");
    const QAbstractItemModel* groups = stats->groupsView()->model();
    EXPECT_EQ(groups->index(0, 0).data().toString(), "Red");
    EXPECT_EQ(groups->index(0, 1).data().toInt(), 3);
    EXPECT_EQ(groups->index(0, 2).data().toString(), "3.4"); // 7 x 18 / 37
    EXPECT_TRUE(stats->wheelText()->text().contains("30 more to go"));

    form.spinUndo().undo();
    QApplication::processEvents();
    EXPECT_EQ(stats->stats().spins, 6u);
    EXPECT_EQ(stats->stats().counts[17], 2u);
    EXPECT_EQ(numbers->index(17, 1).data().toInt(), 2);
    form.spinUndo().redo();
    for (int i = 0; i < 40 && control<ProgramTimer>(form, "Timer_Classic")->enabled(); ++i)
        control<ProgramTimer>(form, "Timer_Classic")->fire();
    QApplication::processEvents();
    EXPECT_EQ(stats->stats().counts[17], 3u);

    // Saved spins read back as vantel-sim reads them; a path that cannot be
    // written is refused with a reason.
    QTemporaryDir dir;
    const QString file = dir.filePath("spins.txt");
    QString error;
    ASSERT_TRUE(stats->saveSpins(file, &error)) << error.toStdString();
    EXPECT_EQ(vantel::sim::readSpinsFile(file.toStdString()),
              (std::vector<int>{17, 32, 0, 17, 5, 36, 17}));
    EXPECT_FALSE(stats->saveSpins(dir.filePath("no/such/folder/spins.txt"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(SessionToolsTest, HitRateAndMoneyFollowWhatWasLitAndStaked) {
    ctrl(Qt::Key_I);
    StatisticsWindow* stats = tools().statistics();
    ASSERT_NE(stats, nullptr);
    std::mt19937 random(20261208);
    int64_t staked = 0, returned = 0, largest = 0;
    uint64_t judged = 0, hits = 0;
    for (int i = 0; i < 60; ++i) {
        const int n = static_cast<int>(random() % 37);
        // Read off the window before the spin: the stake and the lit numbers.
        int lit = 0;
        for (int m = 0; m <= 36; ++m)
            lit += control<QLabel>(form, "Act_Number", m)->isVisible() ? 1 : 0;
        const int64_t stake = control<TColourLabel>(form, "Bet")->text().toLongLong();
        const bool hit = control<QLabel>(form, "Act_Number", n)->isVisible();
        if (lit > 0) {
            ++judged;
            hits += hit ? 1 : 0;
        }
        staked += stake * lit;
        largest = std::max(largest, stake * lit);
        returned += hit ? 36 * stake : 0;
        spin(n);
    }
    const auto& s = stats->stats();
    EXPECT_GT(judged, 50u);
    EXPECT_EQ(s.judgedSpins, judged);
    EXPECT_EQ(s.hits, hits);
    EXPECT_EQ(s.staked, staked);
    EXPECT_EQ(s.returned, returned);
    EXPECT_EQ(s.net, returned - staked);
    EXPECT_EQ(s.largestOutlay, largest);
    EXPECT_TRUE(stats->moneyText()->text().contains(QString::number(returned - staked)));
    EXPECT_TRUE(stats->wheelText()->text().contains("Chi-square"));
}

class SimulateTest : public SessionToolsTest {
  protected:
    SimulateDialog* open() {
        ctrl(Qt::Key_R);
        return tools().simulate();
    }
    static bool waitFinished(SimulateDialog* d, int ms) {
        return QTest::qWaitFor([&] { return !d->running(); }, ms);
    }
    // What the exact panel must show for the fields as they stand: the exact
    // engine's report and figures on the same backtest, or its refusal.
    static vantel::sim::ExactResult exactOf(const SimulateDialog* d, vantel::sim::Config* c) {
        QString error;
        EXPECT_TRUE(d->config(c, &error)) << error.toStdString();
        return vantel::sim::exactRisk(*c, nullptr, SimulateDialog::exactLimits());
    }
    static QString exactTextOf(const SimulateDialog* d) {
        vantel::sim::Config c;
        const vantel::sim::ExactResult r = exactOf(d, &c);
        EXPECT_TRUE(r.exact) << r.reason;
        return QString::fromStdString(vantel::sim::formatReport(c, r.report) +
                                      vantel::sim::formatExactFigures(c, r));
    }
    static bool computing(const SimulateDialog* d) {
        return d->exactText().startsWith("Computing the exact figures");
    }
};

TEST_F(SimulateTest, TheReportIsVantelSimsForTheSameSettingsAndSeed) {
    control<QComboBox>(form, "Betting_System")->setCurrentIndex(1); // Donald
    control<TCSpinEdit>(form, "Initial_Bet")->setText("5");
    control<QSlider>(form, "SafeLevel")->setValue(2);
    SimulateDialog* d = open();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->sessionsBox()->value(), 10000);
    EXPECT_EQ(d->spinsBox()->value(), 1000);
    d->sessionsBox()->setValue(40);
    d->spinsBox()->setValue(300);
    d->seedEdit()->setText("12345");
    QSignalSpy finished(d, &SimulateDialog::finished);
    d->start();
    ASSERT_TRUE(waitFinished(d, 60000));
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished.at(0).at(0).toBool());

    QProcess sim;
    sim.start(VANTEL_SIM_BINARY, {"--system", "Donald", "--initial-bet", "5", "--safe-level", "2",
                                  "--sessions", "40", "--spins", "300", "--seed", "12345"});
    ASSERT_TRUE(sim.waitForFinished(60000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_EQ(d->reportText().toStdString(), sim.readAllStandardOutput().toStdString());
    EXPECT_EQ(d->windowTitle(), "Simulate these settings: done");

    QTemporaryDir dir;
    QString error;
    EXPECT_TRUE(d->saveReport(dir.filePath("report.txt"), &error));
    EXPECT_TRUE(d->saveChart(dir.filePath("chart.png"), &error));
    EXPECT_FALSE(d->saveReport(dir.filePath("none/report.txt"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(SimulateTest, CancelStopsWithin100MsAndTheWindowTakesSpinsMeanwhile) {
    SimulateDialog* d = open();
    ASSERT_NE(d, nullptr);
    d->sessionsBox()->setValue(1000000);
    d->seedEdit()->setText("7");
    d->start();
    ASSERT_TRUE(d->running());
    QTest::qWait(200);
    // The window's own tracker is untouched by the run and takes a click.
    spin(23);
    EXPECT_EQ(control<TColourLabel>(form, "Label", 1)->text(), "23");
    ASSERT_TRUE(d->running());
    QElapsedTimer clock;
    clock.start();
    d->cancel();
    ASSERT_TRUE(waitFinished(d, 5000));
    EXPECT_LT(clock.elapsed(), 100);
    EXPECT_EQ(d->windowTitle(), "Simulate these settings: cancelled");
    EXPECT_TRUE(d->reportText().isEmpty());
}

TEST_F(SimulateTest, ABadSeedIsRefusedWithItsValue) {
    SimulateDialog* d = open();
    ASSERT_NE(d, nullptr);
    for (const char* seed : {"", "-1", "18446744073709551616", "12a"}) {
        d->seedEdit()->setText(seed);
        vantel::sim::Config config;
        QString error;
        EXPECT_FALSE(d->config(&config, &error)) << seed;
        EXPECT_TRUE(error.contains(QString::fromLatin1(seed))) << seed;
    }
    d->seedEdit()->setText("18446744073709551615");
    vantel::sim::Config config;
    QString error;
    EXPECT_TRUE(d->config(&config, &error));
    EXPECT_EQ(config.seed, 18446744073709551615ull);
}

TEST_F(SimulateTest, TheExactFiguresShowOnOpenWithoutARunAndAreTheExactEngines) {
    SimulateDialog* d = open();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->reportTabs()->currentWidget(), static_cast<QWidget*>(d->exactView()));
    const QString expected = exactTextOf(d);
    EXPECT_TRUE(QTest::qWaitFor([&] { return d->exactText() == expected; }, kExactWait))
        << d->exactText().toStdString();
    EXPECT_FALSE(d->exactRunning());
    EXPECT_TRUE(d->reportText().isEmpty()) << "no run was made";
    // The defaults: Mode1, Martingale, 1,000 spins.
    EXPECT_TRUE(d->exactText().contains("stake table's end                0.293 %"));
    EXPECT_TRUE(d->exactText().contains("Return to player  97.297 %"));
    EXPECT_TRUE(d->exactText().contains("computed exactly"));

    // A run shows its report in its own tab; the exact figures stay.
    d->sessionsBox()->setValue(20);
    d->spinsBox()->setValue(1000);
    d->seedEdit()->setText("3");
    d->start();
    ASSERT_TRUE(waitFinished(d, 60000));
    EXPECT_EQ(d->reportTabs()->currentWidget(), static_cast<QWidget*>(d->reportView()));
    EXPECT_FALSE(d->reportText().isEmpty());
    EXPECT_EQ(d->exactText(), expected);
}

TEST_F(SimulateTest, TheExactFiguresFollowEveryChangeOfTheSettingsAndNeverShowStaleOnes) {
    SimulateDialog* d = open();
    ASSERT_NE(d, nullptr);
    const auto bankroll = [d] {
        d->findChild<QCheckBox*>("UseBankroll")->setChecked(true);
        d->findChild<QSpinBox*>("BankrollAmount")->setValue(50);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"spins", [d] { d->spinsBox()->setValue(200); }},
        {"system", [d] { d->findChild<QComboBox*>("System")->setCurrentIndex(1); }},
        {"safe level", [d] { d->findChild<QSpinBox*>("SafeLevel")->setValue(3); }},
        {"initial bet", [d] { d->findChild<QSpinBox*>("InitialBet")->setValue(4); }},
        {"bankroll", bankroll},
        {"fixed matrix", [d] { d->findChild<QCheckBox*>("FixedMatrix")->setChecked(true); }},
        {"mode", [d] { d->findChild<QComboBox*>("Mode")->setCurrentIndex(1); }},
        {"sequential, 40 spins",
         [d] {
             d->findChild<QComboBox*>("Mode")->setCurrentIndex(vantel::setting::kSequential);
             d->spinsBox()->setValue(40);
         }},
    };
    QString before;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !computing(d); }, kExactWait));
    for (const auto& [name, change] : changes) {
        before = d->exactText();
        change();
        EXPECT_TRUE(computing(d)) << name << ": the old figures stay on show";
        const QString expected = exactTextOf(d);
        EXPECT_NE(expected, before) << name;
        EXPECT_TRUE(QTest::qWaitFor([&] { return d->exactText() == expected; }, kExactWait))
            << name << "\n"
            << d->exactText().toStdString();
        if (std::string(name) == "bankroll") {
            EXPECT_TRUE(d->exactText().contains("Stops at       bankroll 50"));
        }
    }

    // Ctrl+R over a closed dialog takes the window's new settings.
    d->close();
    control<QSlider>(form, "SafeLevel")->setValue(2);
    QApplication::setActiveWindow(&form);
    form.setFocus();
    ctrl(Qt::Key_R);
    ASSERT_EQ(tools().simulate(), d);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->findChild<QSpinBox*>("SafeLevel")->value(), 2);
    const QString expected = exactTextOf(d);
    EXPECT_TRUE(QTest::qWaitFor([&] { return d->exactText() == expected; }, kExactWait))
        << d->exactText().toStdString();
}

TEST_F(SimulateTest, SettingsBeyondTheExactBudgetSayWhyInSentencesOfTheirOwn) {
    SimulateDialog* d = open();
    ASSERT_NE(d, nullptr);
    for (int spins : {1000, 300}) {
        d->findChild<QComboBox*>("Mode")->setCurrentIndex(vantel::setting::kSequential);
        d->spinsBox()->setValue(spins);
        vantel::sim::Config c;
        const vantel::sim::ExactResult r = exactOf(d, &c);
        ASSERT_FALSE(r.exact) << spins;
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !computing(d) && !d->exactRunning(); }, kExactWait));
        const QString text = d->exactText();
        // The engine's reason is a sentence of its own, between what is out
        // of reach and what answers instead: never in brackets in another.
        const QStringList parts = text.split("\n\n");
        ASSERT_EQ(parts.size(), 3) << text.toStdString();
        EXPECT_EQ(parts[0], "The exact figures are out of reach for these settings.");
        EXPECT_TRUE(parts[1].mid(1).startsWith(QString::fromStdString(r.reason).mid(1)))
            << text.toStdString();
        EXPECT_TRUE(parts[1].at(0).isUpper() && parts[1].endsWith('.')) << text.toStdString();
        EXPECT_FALSE(text.contains("))")) << text.toStdString();
        EXPECT_EQ(parts[2], "The Monte Carlo tab answers instead: press Run.");
        EXPECT_FALSE(text.contains('%')) << "no figure";
        // Prose wraps to the pane; a report never does.
        EXPECT_EQ(d->exactView()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        EXPECT_EQ(d->reportView()->lineWrapMode(), QPlainTextEdit::NoWrap);
    }
}

TEST_F(SimulateTest, ADialogDestroyedDuringItsExactComputationStopsItAndLeavesNothingBehind) {
    vantel::sim::Settings s;
    s.gameMode = vantel::setting::kSequential; // 1,000 spins: runs to the end of its budget
    for (int i = 0; i < 3; ++i) {
        auto* d = new SimulateDialog(s, &form);
        d->show();
        EXPECT_TRUE(d->exactRunning());
        EXPECT_EQ(SimulateDialog::exactWorkers(), 1);
        delete d;
        EXPECT_EQ(SimulateDialog::exactWorkers(), 0) << "a computation outlives its dialog";
        // What the worker would tell a dialog that is gone.
        QTest::qWait(50);
    }
    // A dialog made afterwards computes as ever.
    SimulateDialog d(vantel::sim::Settings{}, &form);
    const QString expected = exactTextOf(&d);
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.exactText() == expected; }, kExactWait));
}

} // namespace
