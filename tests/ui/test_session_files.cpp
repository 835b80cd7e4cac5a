// Save session… and Open session…: a session saved from one window and opened
// in another shows every item as the first did, pixel for pixel, with the same
// statistics, and goes on exactly as the first; a file refused leaves the
// window as it was; while the board is locked both are refused.
#include "controls.h"
#include "session_file.h"
#include "statistics/figures_text.h"
#include "statistics/statistics_window.h"
#include "widgets/beeper.h"
#include "widgets/cgauge.h"
#include "widgets/colour_label.h"
#include "widgets/cspinedit.h"
#include "widgets/flat_button.h"
#include "widgets/program_timer.h"
#include "widgets/shape.h"
#include "window/main_window.h"
#include "window/session_files.h"
#include "window/session_tools.h"
#include "window/spin_undo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QShortcut>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

namespace {

using vantel::TimerId;

// A window on a calendar that stands still, so two windows given the same
// spins draw the same numbers.
std::unique_ptr<MainWindow> newWindow() {
    auto form = std::make_unique<MainWindow>([] { return int64_t{1700000000}; });
    form->FormCreate();
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return form;
}

// Clicks a number and runs the analysis it starts to its end.
void spin(MainWindow& form, int n) {
    control<TFlatSpeedButton>(form, "FlatButton", n)->click();
    for (int i = 0; i < 100 && form.buttonsLocked(); ++i)
        for (ProgramTimer* t : {control<ProgramTimer>(form, "Timer_Classic"),
                                control<ProgramTimer>(form, "Timer_Mode2"),
                                control<ProgramTimer>(form, "Sequential_Timer"),
                                control<ProgramTimer>(form, "Fixed_Matrix_Timer")})
            if (t->enabled()) t->fire();
    QApplication::processEvents();
}

// Everything the window shows and the tracker holds, read through the window's
// controls, the window items and the tracker's public faces.
struct Seen {
    QStringList items;
    vantel::TrackerState state{};
    std::vector<vantel::NumberList> lists;
    uint64_t generator = 0;
    std::vector<std::pair<int, vantel::SpinOutlay>> entered;
    QImage window;
    QImage statistics;
};

Seen see(MainWindow& form) {
    form.guarded([&] { form.ShowValuesTimer(); });
    QApplication::processEvents();
    Seen s;
    QStringList& v = s.items;
    v << QString::number(form.currentNum());
    for (int n = 0; n <= 36; ++n)
        v << QStringLiteral("lit %1 %2").arg(n).arg(form.actNumberVisible(n));
    for (int cell = 1; cell <= 10; ++cell)
        v << QString::fromStdString(form.historyText(cell)) +
                 QStringLiteral(" #%1").arg(form.historyColour(cell), 6, 16);
    v << control<TColourLabel>(form, "Bet")->text()
      << QString::number(control<TCGauge>(form, "ProgressBar")->Progress());
    for (TimerId id : vantel::kTrackerTimers)
        v << QStringLiteral("timer %1 %2").arg(form.timerEnabled(id)).arg(form.timerInterval(id));
    v << QString::number(control<QComboBox>(form, "Game_Mode")->currentIndex())
      << control<QComboBox>(form, "Betting_System")->currentText()
      << control<TCSpinEdit>(form, "Initial_Bet")->text()
      << QString::number(control<QSlider>(form, "SafeLevel")->value())
      << QString::number(control<QCheckBox>(form, "Fixed_Matrix")->isChecked())
      << QString::number(control<QComboBox>(form, "Mode3_Reset")->currentIndex())
      << control<TCSpinEdit>(form, "Increase_Till")->text()
      << QString::number(control<QComboBox>(form, "Progression")->currentIndex())
      << control<TCSpinEdit>(form, "Sequential_Losses")->text()
      << control<TCSpinEdit>(form, "Sequential_Wins")->text();
    v << control<TColourLabel>(form, "Balance")->text()
      << control<TColourLabel>(form, "Balance2")->text()
      << control<TColourLabel>(form, "Label17")->text()
      << control<TColourLabel>(form, "CurrentNum")->text()
      << control<TColourLabel>(form, "Sequential_Numbers_Count")->text()
      << control<TShape>(form, "Shape1")->brushColor().name()
      << QString::number(control<QFrame>(form, "Panel1")->isVisible())
      << QString::number(form.buttonsLocked()) << QString::number(form.width())
      << QString::number(form.height());
    const vantel::SpinHistory& history = form.spinUndo().history();
    v << SpinUndo::undoText(history) << SpinUndo::redoText(history)
      << QString::number(history.undoCount()) << QString::number(history.redoCount());
    const vantel::Tracker& t = form.tracker();
    s.state = t.state();
    s.lists = {t.NumbersList,          t.Prediction_List,      t.Classic_Numbers_Cur1,
               t.Classic_Numbers_Cur2, t.Classic_Numbers_Cur3, t.Sequential_Numbers_Cur,
               t.Mode2_Numbers_Cur};
    s.generator = form.tracker().snapshot().generator.state();
    for (const vantel::EnteredSpin& e : history.entered())
        s.entered.emplace_back(e.number, e.outlay);
    s.window = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    form.sessionTools().openStatistics();
    StatisticsWindow* stats = form.sessionTools().statistics();
    QApplication::processEvents();
    s.statistics = stats->grab().toImage().convertToFormat(QImage::Format_RGB32);
    v << stats->windowTitle() << stats->wheelText()->text() << stats->suggestionsText()->text()
      << stats->moneyText()->text();
    for (QTableView* view : {stats->numbersView(), stats->groupsView()})
        for (int r = 0; r < view->model()->rowCount(); ++r)
            for (int c = 0; c < view->model()->columnCount(); ++c)
                v << view->model()->index(r, c).data().toString();
    stats->close();
    return s;
}

void expectSame(const Seen& a, const Seen& b, const std::string& when) {
    ASSERT_EQ(a.items.size(), b.items.size()) << when;
    for (qsizetype i = 0; i < a.items.size(); ++i)
        EXPECT_EQ(a.items[i].toStdString(), b.items[i].toStdString()) << when << ": item " << i;
    EXPECT_EQ(std::memcmp(&a.state, &b.state, sizeof a.state), 0) << when << ": tracker state";
    EXPECT_TRUE(a.lists == b.lists) << when << ": the tracker's lists";
    EXPECT_EQ(a.generator, b.generator) << when;
    ASSERT_EQ(a.entered.size(), b.entered.size()) << when;
    for (size_t i = 0; i < a.entered.size(); ++i) {
        const vantel::SpinOutlay &x = a.entered[i].second, &y = b.entered[i].second;
        EXPECT_TRUE(a.entered[i].first == b.entered[i].first && x.stake == y.stake &&
                    x.lit == y.lit && x.staked == y.staked && x.returned == y.returned &&
                    x.hit == y.hit)
            << when << ": spin " << i;
    }
    EXPECT_TRUE(a.window == b.window) << when << ": the window's pixels";
    EXPECT_TRUE(a.statistics == b.statistics) << when << ": the statistics' pixels";
}

class SessionFilesTest : public ::testing::Test {
  protected:
    SessionFilesTest() {
        MainWindow::setErrorSink([](const QString&, const QString&) {});
        Beeper::setSink([this] { ++beeps; });
        SessionFiles::SayHook = [this](const QString&, const QString& text) { said << text; };
        SessionFiles::AskPathHook = [this](QWidget*, bool saving) {
            asked << saving;
            return answer;
        };
        SessionFiles::ConfirmHook = [this](const QString&, const QString& text) {
            confirms << text;
            return replace;
        };
        SessionFiles::NoticeHook = [this](const QString& text) { notices << text; };
    }
    ~SessionFilesTest() override {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        SessionFiles::AskPathHook = nullptr;
        SessionFiles::SayHook = nullptr;
        SessionFiles::ConfirmHook = nullptr;
        SessionFiles::NoticeHook = nullptr;
        Beeper::setSink(nullptr);
        MainWindow::setErrorSink(nullptr);
    }
    static SessionFiles& files(MainWindow& form) { return form.sessionTools().files(); }

    QTemporaryDir dir;
    QString answer;
    QList<bool> asked;
    QStringList said;
    QStringList notices; // what a successful save said
    QStringList confirms;
    bool replace = true;
    int beeps = 0;
};

TEST_F(SessionFilesTest, ASessionOpenedInANewWindowShowsAndGoesOnAsTheOneSaved) {
    std::mt19937 random(20261209);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        auto played = newWindow();
        MainWindow& a = *played;
        // Random settings through the controls, changed now and then.
        for (int i = 0; i < 30 + 15 * round; ++i) {
            if (i % 12 == 0) {
                control<QComboBox>(a, "Game_Mode")->setCurrentIndex(pick(3));
                control<QComboBox>(a, "Betting_System")->setCurrentIndex(pick(2));
                control<TCSpinEdit>(a, "Initial_Bet")->setValue(1 + pick(9));
                control<QSlider>(a, "SafeLevel")->setValue(pick(3));
                control<QCheckBox>(a, "Fixed_Matrix")->setChecked(pick(3) == 0);
                control<QComboBox>(a, "Mode3_Reset")->setCurrentIndex(pick(3));
                control<TCSpinEdit>(a, "Increase_Till")->setValue(1 + pick(20));
                control<QComboBox>(a, "Progression")->setCurrentIndex(pick(2));
                control<TCSpinEdit>(a, "Sequential_Losses")->setValue(1 + pick(3));
                control<TCSpinEdit>(a, "Sequential_Wins")->setValue(1 + pick(3));
            }
            spin(a, pick(37));
            if (pick(10) == 0) a.spinUndo().undo();
        }
        if (round == 1) a.spinUndo().undo(); // redo has a spin to enter

        answer = dir.filePath(QStringLiteral("night%1.vantel").arg(round));
        files(a).askAndSave();
        ASSERT_TRUE(QFile::exists(answer));
        auto fresh = newWindow();
        MainWindow& b = *fresh;
        files(b).askAndOpen();
        EXPECT_TRUE(said.isEmpty()) << said.join("\n").toStdString();
        EXPECT_EQ(asked, (QList<bool>{true, false}));
        asked.clear();
        expectSame(see(a), see(b), "opened");

        // The same next spins, an undo and a redo in both.
        for (int i = 0; i < 12; ++i) {
            const int n = pick(37);
            spin(a, n);
            spin(b, n);
        }
        for (MainWindow* f : {&a, &b}) {
            f->spinUndo().undo();
            f->spinUndo().redo();
            spin(*f, 7);
        }
        expectSame(see(a), see(b), "after the same spins");
        // Undo goes back as far in the window opened as in the one saved.
        int undone = 0;
        while (b.spinUndo().history().canUndo()) {
            a.spinUndo().undo();
            b.spinUndo().undo();
            ++undone;
        }
        EXPECT_FALSE(a.spinUndo().history().canUndo());
        EXPECT_GE(undone, 30 + 15 * round - 10);
        expectSame(see(a), see(b), "all taken back");
        EXPECT_EQ(beeps, 0);
    }
}

TEST_F(SessionFilesTest, ARefusedFileSaysWhyOnceAndLeavesTheWindowAsItWas) {
    auto window = newWindow();
    MainWindow& form = *window;
    for (int n : {4, 19, 21, 2, 25, 17, 34})
        spin(form, n);
    answer = dir.filePath("good.vantel");
    ASSERT_TRUE(files(form).saveTo(answer));
    QFile good(answer);
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();

    spin(form, 8);
    control<QComboBox>(form, "Game_Mode")->setCurrentIndex(2);
    const Seen before = see(form);
    QByteArray damaged = bytes;
    damaged[damaged.indexOf("\"spins\": [") + 10] = '9';
    const std::vector<std::pair<QByteArray, QString>> files_ = {
        {"17\n3\n", "not a Vantel session file"},
        {bytes.left(bytes.size() / 3), "truncated"},
        {damaged, "checksum does not match"},
        {QByteArray(bytes).replace("\"version\": 1", "\"version\": 7"), "version 7"},
    };
    for (const auto& [content, says] : files_) {
        const QString path = dir.filePath("bad.vantel");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        said.clear();
        EXPECT_FALSE(files(form).openFrom(path));
        ASSERT_EQ(said.size(), 1) << says.toStdString();
        EXPECT_TRUE(said[0].startsWith(path + ": not opened, ")) << said[0].toStdString();
        EXPECT_TRUE(said[0].contains(says)) << said[0].toStdString();
        expectSame(before, see(form), says.toStdString());
    }
    said.clear();
    EXPECT_FALSE(files(form).openFrom(dir.filePath("none.vantel")));
    EXPECT_EQ(said.size(), 1);
    // Cancelling the dialog opens nothing and says nothing.
    answer.clear();
    said.clear();
    files(form).askAndOpen();
    EXPECT_TRUE(said.isEmpty());
    expectSame(before, see(form), "cancelled");
    EXPECT_TRUE(files(form).openFrom(dir.filePath("good.vantel")));
    EXPECT_EQ(form.spinUndo().history().entered().size(), 7u);
}

TEST_F(SessionFilesTest, OpeningOverEnteredSpinsAsksFirstAndAskedNotLeavesThemAlone) {
    auto window = newWindow();
    MainWindow& form = *window;
    for (int n : {4, 19, 21, 2, 25, 17})
        spin(form, n);
    answer = dir.filePath("saved.vantel");
    ASSERT_TRUE(files(form).saveTo(answer));

    // A fresh window has nothing to lose: no question.
    auto fresh = newWindow();
    files(*fresh).askAndOpen();
    EXPECT_TRUE(confirms.isEmpty());
    EXPECT_EQ(fresh->spinUndo().history().entered().size(), 6u);

    // Over spins of its own the player is asked, and a no keeps them.
    spin(form, 8);
    spin(form, 30);
    const Seen before = see(form);
    replace = false;
    files(form).askAndOpen();
    ASSERT_EQ(confirms.size(), 1);
    EXPECT_TRUE(confirms[0].contains("replaces the 8 spins")) << confirms[0].toStdString();
    EXPECT_TRUE(confirms[0].contains("saved.vantel")) << confirms[0].toStdString();
    expectSame(before, see(form), "declined");
    // A refused file is said before anything is asked.
    confirms.clear();
    answer = dir.filePath("missing.vantel");
    files(form).askAndOpen();
    EXPECT_TRUE(confirms.isEmpty());
    EXPECT_EQ(said.size(), 1);
    // A yes opens it.
    answer = dir.filePath("saved.vantel");
    replace = true;
    files(form).askAndOpen();
    EXPECT_EQ(confirms.size(), 1);
    EXPECT_EQ(form.spinUndo().history().entered().size(), 6u);
    // The save said where it went; a single spin is "the spin".
    EXPECT_EQ(notices, QStringList{"Session saved to " +
                                   QDir::toNativeSeparators(QFileInfo(answer).absoluteFilePath())});
    auto one = newWindow();
    spin(*one, 5);
    files(*one).askAndOpen();
    ASSERT_EQ(confirms.size(), 2);
    EXPECT_TRUE(confirms[1].contains("replaces the spin entered")) << confirms[1].toStdString();
}

TEST_F(SessionFilesTest, TheKeysAndEntriesWorkFromEveryWindowAndNotWhileTheBoardIsLocked) {
    auto window = newWindow();
    MainWindow& form = *window;
    QApplication::setActiveWindow(&form);
    for (int n : {4, 19, 21, 2, 25, 17})
        spin(form, n);
    // Ctrl+S with the focus in a setting.
    answer = dir.filePath("keys.vantel");
    control<TCSpinEdit>(form, "Initial_Bet")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(asked, QList<bool>{true});
    EXPECT_TRUE(QFile::exists(answer));
    spin(form, 30);
    // Ctrl+O from the Statistics window.
    form.sessionTools().openStatistics();
    StatisticsWindow* stats = form.sessionTools().statistics();
    QApplication::setActiveWindow(stats);
    ASSERT_TRUE(QTest::qWaitForWindowActive(stats));
    QTest::keyClick(stats, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(asked, (QList<bool>{true, false}));
    EXPECT_EQ(form.spinUndo().history().entered().size(), 6u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return stats->windowTitle() == "Statistics: 6 spins"; }));
    stats->close();

    // The menu: the two entries after Simulate, greyed while the board is locked.
    auto entries = [&] {
        QMenu menu;
        form.sessionTools().addEntries(&menu);
        QStringList out;
        for (QAction* a : menu.actions())
            if (!a->isSeparator())
                out << a->text() + (a->isEnabled() ? "" : " (greyed)") + " " +
                           a->shortcut().toString();
        return out;
    };
    EXPECT_EQ(entries(), (QStringList{"Statistics… Ctrl+I", "Simulate these settings… Ctrl+R",
                                      "Save session… Ctrl+S", "Open session… Ctrl+O",
                                      "Record to a wheel… ", "Import spins… ", "About Vantel "}));
    control<QComboBox>(form, "Game_Mode")->setCurrentIndex(0);
    control<TFlatSpeedButton>(form, "FlatButton", 9)->click(); // the draw runs: the board is locked
    ASSERT_TRUE(form.buttonsLocked());
    EXPECT_EQ(entries()[2], "Save session… (greyed) Ctrl+S");
    EXPECT_EQ(entries()[3], "Open session… (greyed) Ctrl+O");
    const vantel::Snapshot locked = form.tracker().snapshot();
    asked.clear();
    QApplication::setActiveWindow(&form);
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(files(form).openFrom(answer));
    EXPECT_FALSE(files(form).saveTo(dir.filePath("locked.vantel")));
    EXPECT_EQ(beeps, 4);
    EXPECT_TRUE(asked.isEmpty()) << "no dialog while locked";
    EXPECT_FALSE(QFile::exists(dir.filePath("locked.vantel")));
    EXPECT_EQ(form.tracker().snapshot().numbersCount, locked.numbersCount);
    EXPECT_EQ(form.spinUndo().history().entered().size(), 7u);
}

} // namespace
