// Recording to a wheel: every spin committed before its draw, undo marked,
// redo recorded, a window resumed from the journal exactly as the recording
// one stood, and the journal's faults said once while the window goes on.
#include "controls.h"
#include "journal_store.h"
#include "session_file.h"
#include "widgets/beeper.h"
#include "widgets/flat_button.h"
#include "widgets/program_timer.h"
#include "window/journal_recorder.h"
#include "window/main_window.h"
#include "window/session_files.h"
#include "window/session_tools.h"
#include "window/spin_undo.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

namespace {

using namespace vantel::journal;

struct Recording : ::testing::Test {
    Recording() {
        QStandardPaths::setTestModeEnabled(true); // the remembered choice stays the test's
        JournalRecorder::SayHook = [this](const QString& title, const QString& text) {
            said.push_back(title + ": " + text);
        };
        JournalRecorder::ResumeHook = [](const QString&, const QString&) { return true; };
        Beeper::setSink([] {});
        path = dir.filePath(QStringLiteral("journal.sqlite"));
    }
    ~Recording() override {
        JournalRecorder::SayHook = nullptr;
        JournalRecorder::ResumeHook = nullptr;
        JournalRecorder::OpenOptionsHook = {};
        Beeper::setSink(nullptr);
        QStandardPaths::setTestModeEnabled(false);
    }
    static std::unique_ptr<MainWindow> window() {
        auto form = std::make_unique<MainWindow>([] { return int64_t{1700000000}; });
        form->FormCreate();
        return form;
    }
    static JournalRecorder& recorder(MainWindow& form) { return form.sessionTools().recorder(); }
    // Ends the draw, and any spin of a resumed night entered after it.
    static void finishDraw(MainWindow& form) {
        for (int i = 0; i < 1000 && form.buttonsLocked(); ++i) {
            for (ProgramTimer* t : {control<ProgramTimer>(form, "Timer_Classic"),
                                    control<ProgramTimer>(form, "Timer_Mode2"),
                                    control<ProgramTimer>(form, "Sequential_Timer"),
                                    control<ProgramTimer>(form, "Fixed_Matrix_Timer")})
                if (t->enabled()) t->fire();
            QApplication::processEvents();
        }
        QApplication::processEvents();
    }
    static void play(MainWindow& form, int n) {
        control<TFlatSpeedButton>(form, "FlatButton", n)->click();
        finishDraw(form);
    }
    static std::string state(MainWindow& form) {
        return vantel::sessionText(form.sessionTools().files().session());
    }
    std::vector<SpinRecord> spins() {
        auto store = openJournal(path.toStdString(), OpenMode::ReadOnly);
        std::vector<SpinRecord> all;
        store->forEachSpin(store->findWheel("Table 3")->id, 0,
                           [&](const SpinRecord& r) { all.push_back(r); });
        return all;
    }
    QTemporaryDir dir;
    QString path;
    QStringList said;
};

} // namespace

TEST_F(Recording, EverySpinIsCommittedAndANewWindowResumesExactly) {
    auto form = window();
    ASSERT_TRUE(recorder(*form).start(path, QStringLiteral("Table 3")));
    EXPECT_EQ(recorder(*form).statusText(), "Recording to 'Table 3' in journal.sqlite");
    EXPECT_EQ(JournalRecorder::remembered()->second, "Table 3");
    const int numbers[] = {17, 4, 32, 0, 36, 11, 17, 25, 8, 3, 19, 22};
    for (int n : numbers)
        play(*form, n);
    form->spinUndo().undo();
    form->spinUndo().undo();
    form->spinUndo().redo(); // enters 19 again
    finishDraw(*form);
    // The last spin's draw is cut short: the spin is already in the journal.
    control<TFlatSpeedButton>(*form, "FlatButton", 7)->click();
    ASSERT_TRUE(form->buttonsLocked());
    std::vector<std::pair<int, bool>> recorded;
    for (const SpinRecord& r : spins())
        recorded.push_back({r.number, r.takenBack});
    std::vector<std::pair<int, bool>> expected;
    for (int n : numbers)
        expected.push_back({n, n == 19 || n == 22});
    expected.push_back({19, false});
    expected.push_back({7, false});
    EXPECT_EQ(recorded, expected);

    // A second window records to the same wheel and resumes the night: it
    // enters the cut-short spin again and then stands as the first.
    auto again = window();
    ASSERT_TRUE(recorder(*again).start(path, QStringLiteral("Table 3")));
    finishDraw(*again);
    finishDraw(*form);
    EXPECT_EQ(state(*again), state(*form));
    EXPECT_EQ(again->spinUndo().history().entered().size(), 12u);
    EXPECT_EQ(spins().size(), expected.size()); // nothing recorded twice
    play(*again, 5);
    EXPECT_EQ(spins().back().number, 5);
    recorder(*again).stop();
    EXPECT_FALSE(JournalRecorder::remembered());
    EXPECT_TRUE(recorder(*again).statusText().isEmpty());
    EXPECT_TRUE(said.isEmpty()) << said.join('\n').toStdString();
}

// Spins recorded with no state kept after them (the program ended before the
// event loop turned) are all entered again, each after the draw before it.
TEST_F(Recording, EverySpinAfterTheKeptStateIsEnteredAgain) {
    auto form = window();
    ASSERT_TRUE(recorder(*form).start(path, QStringLiteral("Table 3")));
    for (int n : {8, 30, 11, 0, 26, 3})
        control<TFlatSpeedButton>(*form, "FlatButton", n)
            ->click(); // the 6th is lost to the 5th's draw
    auto again = window();
    ASSERT_TRUE(recorder(*again).start(path, QStringLiteral("Table 3")));
    finishDraw(*form);
    control<TFlatSpeedButton>(*form, "FlatButton", 3)->click();
    finishDraw(*form);
    finishDraw(*again);
    EXPECT_EQ(again->spinUndo().history().entered().size(), 5u);
    control<TFlatSpeedButton>(*again, "FlatButton", 3)->click();
    finishDraw(*again);
    EXPECT_EQ(state(*again), state(*form));
}

// Each fault stops recording with one message naming why; the window goes on
// taking spins and the journal stays whole.
TEST_F(Recording, AFaultStopsRecordingOnceAndTheWindowGoesOn) {
    const struct {
        const char* name;
        std::int64_t maxPages;
        bool lock;
        const char* says;
    } faults[] = {{"full", 10, false, "the disk is full"},
                  {"locked", 0, true, "another program is using it"}};
    for (const auto& f : faults) {
        said.clear();
        QFile::remove(path);
        JournalRecorder::OpenOptionsHook.maxPages = f.maxPages;
        auto form = window();
        ASSERT_TRUE(recorder(*form).start(path, QStringLiteral("Table 3")));
        sqlite3* other = nullptr;
        if (f.lock) {
            sqlite3_open(path.toUtf8().constData(), &other);
            sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
        }
        int n = 0;
        while (recorder(*form).recording() && n < 400)
            play(*form, n++ % 37);
        EXPECT_FALSE(recorder(*form).recording()) << f.name;
        play(*form, 1);
        play(*form, 2);
        QApplication::processEvents();
        EXPECT_EQ(form->spinUndo().history().entered().size(), static_cast<std::size_t>(n + 2));
        ASSERT_EQ(said.size(), 1) << f.name;
        EXPECT_TRUE(
            said[0].startsWith("Recording stopped: Recording to 'Table 3' in journal.sqlite "
                               "stopped: "))
            << said[0].toStdString();
        EXPECT_TRUE(said[0].contains(f.says)) << said[0].toStdString();
        if (other) {
            sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(other);
        }
        EXPECT_NO_THROW(spins()) << f.name;
    }
    // A file that is not a journal is never recorded to, and stays as it is.
    QFile text(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("1\n2\n");
    text.close();
    said.clear();
    auto form = window();
    EXPECT_FALSE(recorder(*form).start(text.fileName(), QStringLiteral("T")));
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains("notes.txt is not a wheel journal")) << said[0].toStdString();
    EXPECT_EQ(text.size(), 4);
}

TEST_F(Recording, PastedSpinsAreANightOfTheirOwnOrNothing) {
    auto form = window();
    EXPECT_EQ(recorder(*form).importText(path, "Table 3", "1, 2; 3\n4 5\n36", "pasted text"), 6);
    EXPECT_EQ(recorder(*form).importText(path, "Table 3", "7\n8\n99\n", "pasted text"), 0);
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains("pasted text:3: '99'")) << said[0].toStdString();
    EXPECT_EQ(spins().size(), 6u);
}
