// The program's defined window behaviour, clicked with xdotool at client
// coordinates and checked on screenshots.
#include "real_window.h"

#include <set>

namespace {

using namespace e2e;

// For every board cell, the lowest row of solid black (the digits' baseline),
// counted from the cell's top in screen pixels.
std::set<int> digitBaselines(const QImage& image, int windowX, int windowY, int scale) {
    std::set<int> baselines;
    for (int n = 0; n <= 36; ++n) {
        const QRect cell = cellRect(n);
        int lowest = -1;
        for (int y = 3 * scale; y < 30 * scale; ++y)
            for (int x = 3 * scale; x < 30 * scale; ++x)
                if (qGray(image.pixel(windowX + cell.x() * scale + x,
                                      windowY + cell.y() * scale + y)) < 0x10)
                    lowest = y;
        baselines.insert(lowest);
    }
    return baselines;
}

TEST_F(RealWindow, HasItsTitleAndFixedClientSize) {
    EXPECT_EQ(run("xdotool", {"getwindowname", QString::fromStdString(m_window)}), "Vantel 2.0");
    EXPECT_EQ(m_geometry["WIDTH"], 473);
    EXPECT_EQ(m_geometry["HEIGHT"], 261);
    EXPECT_EQ(litNumbers(shot()).size(), 0u) << "no number is lit at start";
}

TEST_F(RealWindow, PlaysSpinsDrawsAndRoutesSharedLines) {
    for (int n : {3, 19, 0, 28})
        clickNumber(n);
    ASSERT_TRUE(waitFor([&] { return historyColour(4) == kMaroon; }, 5000));
    EXPECT_EQ(historyColour(1), kNearBlack); // 28
    EXPECT_EQ(historyColour(2), kGreen);     // 0
    EXPECT_EQ(historyColour(3), kMaroon);    // 19
    EXPECT_EQ(historyColour(4), kMaroon);    // 3
    EXPECT_EQ(historyColour(5), kBlack);

    // The fifth spin starts a draw and locks the board: the click on 1 is lost.
    clickNumber(26);
    clickNumber(1);
    ASSERT_TRUE(waitFor([&] { return progressShown(); }, 5000)) << "no draw started";
    std::vector<int> lit;
    ASSERT_TRUE(waitForDrawEnd(&lit)) << "lit after the draw: " << lit.size();
    int thirds[3] = {0, 0, 0};
    for (int n : lit)
        ++thirds[n <= 12 ? 0 : n <= 24 ? 1 : 2];
    EXPECT_EQ(thirds[0], 6);
    EXPECT_EQ(thirds[1], 6);
    EXPECT_EQ(thirds[2], 6);
    EXPECT_EQ(historyColour(1), kNearBlack); // 26, not the red 1
    EXPECT_EQ(historyColour(2), kNearBlack); // 28
    EXPECT_EQ(historyColour(3), kGreen);

    // The line x = 88 belongs to both 3 and 6; the click goes to 6 (black, not red).
    click(88, 70);
    ASSERT_TRUE(waitFor([&] { return progressShown(); }, 5000));
    ASSERT_TRUE(waitForDrawEnd());
    EXPECT_EQ(historyColour(1), kNearBlack);
    EXPECT_EQ(historyColour(2), kNearBlack);

    // The line x = 56 between rows 96 and 128 belongs to 0 and 2; the click goes to 0.
    click(56, 100);
    ASSERT_TRUE(waitFor([&] { return progressShown(); }, 5000));
    ASSERT_TRUE(waitForDrawEnd());
    EXPECT_EQ(historyColour(1), kGreen);
}

TEST_F(RealWindow, RecoversAfterTheStakeTableRunsOut) {
    // Four recorded spins, then eighteen lit draws that the next spin misses:
    // the Martingale table ends after seventeen doublings and the stake step fails.
    for (int n : {3, 19, 0, 28})
        clickNumber(n);
    int next = 26;
    for (int draw = 0; draw < 18; ++draw) {
        clickNumber(next);
        ASSERT_TRUE(waitFor([&] { return progressShown(); }, 5000)) << "spin " << draw;
        std::vector<int> lit;
        ASSERT_TRUE(waitForDrawEnd(&lit)) << "draw " << draw;
        const std::set<int> litSet(lit.begin(), lit.end());
        next = 0;
        while (litSet.count(next))
            ++next;
    }
    // The eighteenth miss runs past the table's last row; the box is captioned with
    // the program's file name.
    clickNumber(next);
    const std::string box = run(
        "timeout", {"20", "xdotool", "search", "--sync", "--onlyvisible", "--name", "^vantel$"});
    ASSERT_FALSE(box.empty()) << "no error message box";
    const QString boxId = QString::fromStdString(box.substr(0, box.find('\n')));
    run("xdotool", {"windowfocus", "--sync", boxId});
    run("xdotool", {"key", "Return"});
    ASSERT_TRUE(waitFor(
        [&] {
            return run("xdotool", {"search", "--onlyvisible", "--name", "^vantel$"}).empty();
        },
        5000))
        << "the message box stays open";

    // The board takes clicks again: the next spin is recorded and starts a draw.
    clickNumber(0);
    EXPECT_TRUE(waitFor([&] { return historyColour(1) == kGreen; }, 5000));
    EXPECT_TRUE(waitFor([&] { return progressShown(); }, 5000));
}

// A wrong cell taken back, by key and by the right-button menu: the strip and
// the lit numbers return to what they were, and the right cell is entered next.
TEST_F(RealWindow, UndoTakesBackAWrongCellByKeyAndByMenu) {
    for (int n : {3, 19, 0, 28, 26})
        clickNumber(n);
    std::vector<int> before;
    ASSERT_TRUE(waitFor([&] { return progressShown(); }, 5000));
    ASSERT_TRUE(waitForDrawEnd(&before));
    const auto window = QString::fromStdString(m_window);
    const std::vector<std::function<void()>> undoes = {
        [&] {
            run("xdotool", {"key", "--window", window, "ctrl+z"});
        },
        [&] {
            run("xdotool", {"mousemove", "--window", window, "300", "20", "click", "3"});
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            run("xdotool", {"key", "Down", "Return"});
        }};
    for (const auto& undo : undoes) {
        ASSERT_EQ(historyColour(1), kNearBlack); // 26
        clickNumber(1);                          // the wrong cell: a red number
        ASSERT_TRUE(waitFor([&] { return historyColour(1) == kMaroon; }, 5000));
        ASSERT_TRUE(waitForDrawEnd());
        run("xdotool", {"windowfocus", "--sync", window});
        undo();
        EXPECT_TRUE(waitFor([&] { return historyColour(1) == kNearBlack; }, 5000));
        EXPECT_EQ(historyColour(2), kNearBlack); // 28
        EXPECT_EQ(historyColour(3), kGreen);     // 0
        EXPECT_EQ(historyColour(6), kBlack) << "the strip holds five spins again";
        EXPECT_EQ(litNumbers(shot()), before) << "the lit numbers are back";
    }
    // The right cell is judged and starts a new draw.
    clickNumber(0);
    EXPECT_TRUE(waitFor([&] { return historyColour(1) == kGreen; }, 5000));
    EXPECT_TRUE(waitFor([&] { return progressShown(); }, 5000));
}

TEST_F(RealWindow, TheWheelActsOnlyOnTheFocusedSetting) {
    focusWindow();
    key("Tab"); // from Game Mode to Safe Level
    for (int i = 0; i < 3; ++i)
        wheelAt(44, 241, 5); // over Game Mode, which has no focus
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(clientHeight(), 261) << "the wheel chose Sequential";
    EXPECT_EQ(indicator(), kGreen);
    wheelAt(227, 242, 4); // over Safe Level, which has the focus: level 1
    EXPECT_TRUE(waitFor([&] { return indicator() == kMaroon; }, 3000));
}

TEST_F(RealWindow, TheFocusComesBackAfterAnAnalysedSpin) {
    focusWindow();
    key("Tab"); // Safe Level
    for (int n : {3, 19, 0, 28, 26})
        clickNumber(n);
    ASSERT_TRUE(waitFor([&] { return progressShown(); }, 5000));
    ASSERT_TRUE(waitForDrawEnd());
    EXPECT_EQ(indicator(), kGreen);
    key("Right");
    key("Right"); // level 2, out of reach after one miss
    EXPECT_TRUE(waitFor([&] { return indicator() == kMaroon; }, 3000))
        << "keys after the spin reached no setting";
}

TEST_F(RealWindow, OffersMoveMinimiseAndCloseButNoResize) {
    const std::string hints =
        run("xprop", {"-id", QString::fromStdString(m_window), "_MOTIF_WM_HINTS"});
    // flags: functions and decorations; functions: move, minimise, close.
    EXPECT_NE(hints.find("= 0x3, 0x2c,"), std::string::npos) << hints;
    const std::string normal =
        run("xprop", {"-id", QString::fromStdString(m_window), "WM_NORMAL_HINTS"});
    EXPECT_NE(normal.find("minimum size: 473 by 261"), std::string::npos) << normal;
    EXPECT_NE(normal.find("maximum size: 473 by 261"), std::string::npos) << normal;
}

TEST_F(RealWindow, AllBoardDigitsSitOnOneBaseline) {
    const std::set<int> baselines = digitBaselines(shot(), m_geometry["X"], m_geometry["Y"], 1);
    EXPECT_EQ(baselines, std::set<int>{21});
}

// The program's window of that exact name has appeared.
bool windowNamed(const QString& pattern) {
    return !run("xdotool", {"search", "--onlyvisible", "--name", pattern}).empty();
}

TEST_F(RealWindow, TheMenuStatisticsAndSimulateOpenFromTheWindow) {
    clickNumber(17);
    ASSERT_TRUE(waitFor([&] { return historyColour(1) == kNearBlack; }, 5000));

    // The right button opens the menu: light entries over the dark header.
    const QImage before = shot();
    run("xdotool",
        {"mousemove", "--window", QString::fromStdString(m_window), "60", "20", "click", "3"});
    EXPECT_TRUE(waitFor(
        [&] {
            const QImage after = shot();
            const int x = m_geometry["X"] + 300, y = m_geometry["Y"] + 34;
            return qGray(after.pixel(x, y)) > 150 && qGray(before.pixel(x, y)) < 100;
        },
        5000));
    key("Escape");

    focusWindow();
    key("ctrl+i");
    EXPECT_TRUE(waitFor([&] { return windowNamed("^Statistics: 1 spin$"); }, 10000));
    clickNumber(4);
    EXPECT_TRUE(waitFor([&] { return windowNamed("^Statistics: 2 spins$"); }, 10000));

    focusWindow();
    key("ctrl+r");
    ASSERT_TRUE(waitFor([&] { return windowNamed("^Simulate these settings$"); }, 10000));
    // The focus starts on the sessions; a small run.
    for (const char* k : {"ctrl+a", "2", "0", "Tab", "ctrl+a", "2", "0", "0", "Return"})
        key(k);
    EXPECT_TRUE(waitFor([&] { return windowNamed("^Simulate these settings: done$"); }, 120000));
}

class RealWindowAt2x : public RealWindow {
  protected:
    void SetUp() override {
        m_scale = 2;
        RealWindow::SetUp();
    }
};

TEST_F(RealWindowAt2x, OpensWhollyOnTheScreen) {
    EXPECT_EQ(m_geometry["WIDTH"], 946);
    EXPECT_EQ(m_geometry["HEIGHT"], 522);
    // 252 + 946 passes the 1024-pixel screen: the window moves left just enough.
    EXPECT_EQ(m_geometry["X"], 1024 - 946);
    EXPECT_EQ(m_geometry["Y"], 129);
}

TEST_F(RealWindowAt2x, AllBoardDigitsSitOnOneBaseline) {
    const std::set<int> baselines = digitBaselines(shot(), m_geometry["X"], m_geometry["Y"], 2);
    EXPECT_EQ(baselines.size(), 1u) << *baselines.begin() << " to " << *baselines.rbegin();
}

} // namespace
