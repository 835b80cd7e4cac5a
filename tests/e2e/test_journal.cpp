// Recording to a wheel in the real program: 30 spins entered, the program
// killed with SIGKILL in the middle of a draw, and started again: it resumes
// the night with all 30 spins, the cut-short draw run again, and the window
// exactly as it stood after the last finished draw (undo takes it back there).
#include "real_window.h"

#include <sqlite3.h>

#include <csignal>

namespace {

using namespace e2e;

class JournalWindow : public RealWindow {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_journal = m_dir.filePath(QStringLiteral("journal.sqlite"));
        m_args = {QStringLiteral("--journal"), m_journal, QStringLiteral("--wheel"),
                  QStringLiteral("Table 3")};
        RealWindow::SetUp();
    }
    // Spins recorded and not taken back, and the last spin the kept state has.
    std::pair<int, int> journal() {
        sqlite3* db = nullptr;
        std::pair<int, int> seen{-1, -1};
        if (sqlite3_open_v2(m_journal.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK) {
            sqlite3_busy_timeout(db, 1000);
            const auto one = [&](const char* sql) {
                sqlite3_stmt* st = nullptr;
                int value = -1;
                if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK &&
                    sqlite3_step(st) == SQLITE_ROW)
                    value = sqlite3_column_int(st, 0);
                sqlite3_finalize(st);
                return value;
            };
            seen = {one("SELECT count(*) FROM spins WHERE taken_back = 0"),
                    one("SELECT coalesce(max(through_ord), 0) FROM night_states")};
        }
        sqlite3_close(db);
        return seen;
    }
    // The client area with the pointer away from it.
    QImage client() {
        run("xdotool", {"mousemove", "0", "0"});
        return shot().copy(m_geometry["X"], m_geometry["Y"], m_geometry["WIDTH"],
                           m_geometry["HEIGHT"]);
    }
    QString m_journal;
};

TEST_F(JournalWindow, ResumesAllSpinsAfterAKillDuringADraw) {
    const int numbers[30] = {3,  19, 0,  28, 26, 7, 14, 32, 5,  11, 36, 2,  17, 23, 9,
                             30, 1,  12, 25, 33, 8, 21, 4,  16, 35, 10, 27, 6,  22, 18};
    // Mode1, which lights 18 numbers a spin: Mode2 lights few at first, and
    // a run of 18 lit misses then ends Martingale's table with the error box,
    // as it should, on some draws and not others.
    focusWindow();
    QImage before;
    for (int i = 0; i < 30; ++i) {
        clickNumber(numbers[i]);
        // Committed before its draw starts; the state kept once the draw is over.
        ASSERT_TRUE(waitFor([&] { return journal().first == i + 1; }, 5000)) << "spin " << i + 1;
        if (i == 29) break;
        ASSERT_TRUE(waitFor([&] { return journal().second == i + 1; }, 10000)) << "draw " << i + 1;
        if (i == 28) before = client();
    }
    ::kill(static_cast<pid_t>(m_app.processId()), SIGKILL);
    ASSERT_TRUE(m_app.waitForFinished(5000));
    EXPECT_EQ(journal(), std::make_pair(30, 29)); // killed before the 30th draw was over

    RealWindow::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    std::string box;
    ASSERT_TRUE(waitFor(
        [&] {
            box = run("xdotool", {"search", "--onlyvisible", "--name", "^Resume the night$"});
            return !box.empty();
        },
        10000))
        << "no offer to resume";
    run("xdotool", {"windowfocus", "--sync", QString::fromStdString(box)});
    run("xdotool", {"key", "Return"});
    // The 30th spin is entered again and its draw runs to the end.
    ASSERT_TRUE(waitFor([&] { return journal().second == 30; }, 15000));
    EXPECT_EQ(journal().first, 30);
    EXPECT_EQ(historyColour(1), kMaroon);    // 18
    EXPECT_EQ(historyColour(2), kNearBlack); // 22
    // Undo takes back spin 30 and gives the window as it was after spin 29.
    focusWindow();
    key(QStringLiteral("ctrl+z"));
    ASSERT_TRUE(waitFor([&] { return journal().first == 29; }, 5000));
    ASSERT_TRUE(waitFor([&] { return client() == before; }, 5000))
        << "the window differs from the one after spin 29";
}

} // namespace
