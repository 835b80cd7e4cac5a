// The side windows on a real desktop: the harness starts its own X server of
// each screen size, with the openbox window manager and once without one, and
// the program at 1x and 2x. Statistics and the Simulate dialog open wholly on
// the screen and never over the board, Ctrl+I leaves the keyboard on the main
// window, the keys work from Statistics, Escape closes it, and the board takes
// clicks beside them. Both open together clear of each other where there is
// room, make way when Sequential makes the main window taller, and one moved
// by hand stays. VANTEL_SIDE_SHOTS=folder also keeps screenshots there.
#include "desktop.h"
#include "real_window.h"

#include <QDir>

#include <unistd.h>

namespace {

using namespace e2e;

struct Desk {
    QSize screen;
    int scale;
    bool windowManager;
};

std::string deskName(const ::testing::TestParamInfo<Desk>& info) {
    const Desk& d = info.param;
    return std::to_string(d.screen.width()) + "x" + std::to_string(d.screen.height()) + "_at_" +
           std::to_string(d.scale) + "x_" + (d.windowManager ? "openbox" : "no_wm");
}

class SideOnDesktop : public RealWindow, public ::testing::WithParamInterface<Desk> {
  protected:
    void SetUp() override {
        const Desk& d = GetParam();
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        if (test.rfind("ALongTooltipWraps", 0) == 0 &&
            !(d.screen.width() == 1280 && d.scale == 1 && d.windowManager))
            GTEST_SKIP() << "one desktop is enough";
        // Each desktop its own display, away from those of the other tests.
        ASSERT_TRUE(m_desktop.start(d.screen, d.windowManager, 400 + (getpid() % 50) * 20))
            << "no X server or window manager: " << m_desktop.failure().toStdString();
        m_scale = d.scale;
        RealWindow::SetUp();
    }
    void TearDown() override {
        if (m_desktop.display().isEmpty()) return;
        RealWindow::TearDown();
        m_desktop.stop();
    }

    QStringList windowsNamed(const QString& pattern) {
        const QString found =
            QString::fromStdString(run("xdotool", {"search", "--onlyvisible", "--name", pattern}));
        return found.isEmpty() ? QStringList{} : found.split('\n');
    }
    // A window's frame on the screen: its client area and the window manager's border.
    QRect frameOf(const QString& id) {
        std::map<std::string, int> g = clientGeometry(id);
        int left = 0, right = 0, top = 0, bottom = 0;
        const QString extents =
            QString::fromStdString(run("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}));
        const int eq = extents.indexOf('=');
        if (eq > 0) {
            const QStringList v = extents.mid(eq + 1).split(',');
            if (v.size() == 4) {
                left = v[0].trimmed().toInt();
                right = v[1].trimmed().toInt();
                top = v[2].trimmed().toInt();
                bottom = v[3].trimmed().toInt();
            }
        }
        return QRect(g["X"] - left, g["Y"] - top, g["WIDTH"] + left + right,
                     g["HEIGHT"] + top + bottom);
    }
    // The board's cells, Reset and ReCalculate on the screen.
    std::vector<QRect> keepClear() {
        std::vector<QRect> parts;
        const auto add = [&](const QRect& r) {
            parts.emplace_back(m_geometry["X"] + r.x() * m_scale, m_geometry["Y"] + r.y() * m_scale,
                               r.width() * m_scale, r.height() * m_scale);
        };
        for (int n = 0; n <= 36; ++n)
            add(cellRect(n));
        add(QRect(378, 187, 55, 17));
        add(QRect(400, 232, 65, 17));
        return parts;
    }
    void activate(const QString& id) {
        if (GetParam().windowManager)
            run("xdotool", {"windowactivate", "--sync", id});
        else
            run("xdotool", {"windowfocus", "--sync", id});
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    QString focused() { return QString::fromStdString(run("xdotool", {"getwindowfocus"})); }
    QString mainId() const { return QString::fromStdString(m_window); }
    // The newest strip cell's colour, at the window's scale.
    QRgb newest() { return pixel((154 + 1) * m_scale, 24 * m_scale); }
    void clickCell(int n) {
        const QRect r = cellRect(n);
        click((r.x() + 16) * m_scale, (r.y() + 16) * m_scale);
    }
    // Checks where a side window opened; returns its frame.
    QRect checkPlaced(const QString& id, const char* what) {
        // Once the window manager has framed it and it stands still where it
        // belongs: the program places a window again as frames settle, up to
        // 1.5 s after a change, later still on a loaded machine.
        const QRect screen(QPoint(0, 0), GetParam().screen);
        const auto clear = [&](const QRect& frame) {
            if (!screen.contains(frame)) return false;
            for (const QRect& part : keepClear())
                if (frame.intersects(part)) return false;
            return m_scale != 1 || !frame.intersects(frameOf(mainId()));
        };
        QRect frame = frameOf(id);
        for (int i = 0; i < 25; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            const QRect now = frameOf(id);
            if (now == frame && (i >= 6 || clear(now))) break;
            frame = now;
        }
        const std::string at = std::string(what) + " at " + std::to_string(frame.x()) + "," +
                               std::to_string(frame.y()) + " " + std::to_string(frame.width()) +
                               "x" + std::to_string(frame.height());
        EXPECT_TRUE(screen.contains(frame)) << at;
        for (const QRect& part : keepClear())
            EXPECT_FALSE(frame.intersects(part))
                << at << " covers the board at " << part.x() << "," << part.y() << " "
                << part.width() << "x" << part.height();
        // At 1x there is room beside the main window on these screens.
        if (m_scale == 1) {
            EXPECT_FALSE(frame.intersects(frameOf(mainId()))) << at;
        }
        return frame;
    }
    void keepShot(const char* name) {
        const QByteArray dir = qgetenv("VANTEL_SIDE_SHOTS");
        if (dir.isEmpty()) return;
        QDir().mkpath(QString::fromLocal8Bit(dir));
        run("import", {"-silent", "-window", "root",
                       QStringLiteral("%1/%2_%3.png")
                           .arg(QString::fromLocal8Bit(dir),
                                QString::fromStdString(deskName({GetParam(), 0})),
                                QString::fromLatin1(name))});
    }

    Desktop m_desktop;
};

TEST_P(SideOnDesktop, SideWindowsOpenBesideTheBoardAndTheKeysWorkFromThem) {
    clickCell(17);
    ASSERT_TRUE(waitFor([&] { return newest() == kNearBlack; }, 5000));
    activate(mainId());
    key("ctrl+i");
    ASSERT_TRUE(waitFor([&] { return !windowsNamed("^Statistics").isEmpty(); }, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const QString stats = windowsNamed("^Statistics").first();
    checkPlaced(stats, "Statistics");
    keepShot("statistics");
    // The keyboard stayed on the main window: Ctrl+Z takes the spin back.
    EXPECT_EQ(focused(), mainId());
    key("ctrl+z");
    EXPECT_TRUE(waitFor([&] { return newest() == kBlack; }, 5000)) << "Ctrl+Z after Ctrl+I";
    // From Statistics: Ctrl+Shift+Z enters it again, Escape closes it.
    activate(stats);
    EXPECT_EQ(focused(), stats);
    key("ctrl+shift+z");
    EXPECT_TRUE(waitFor([&] { return newest() == kNearBlack; }, 5000)) << "Ctrl+Shift+Z there";
    key("Escape");
    EXPECT_TRUE(waitFor([&] { return windowsNamed("^Statistics").isEmpty(); }, 5000));

    activate(mainId());
    key("ctrl+r");
    ASSERT_TRUE(
        waitFor([&] { return !windowsNamed("^Simulate these settings").isEmpty(); }, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const QString sim = windowsNamed("^Simulate these settings").first();
    QRect simFrame = checkPlaced(sim, "Simulate");
    // The keyboard starts in a field the player sees, low or tall: what is
    // typed shows inside the dialog.
    activate(sim);
    const QImage before = shot();
    key("7");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const QImage after = shot();
    int changed = 0;
    for (int y = simFrame.top(); y <= simFrame.bottom(); ++y)
        for (int x = simFrame.left(); x <= simFrame.right(); ++x)
            changed += before.pixel(x, y) != after.pixel(x, y) ? 1 : 0;
    EXPECT_GT(changed, 60 * m_scale * m_scale) << "typing shows nowhere in the dialog";
    // The board takes clicks beside the dialog, the far cells too (the
    // history strip may be under the dialog on a small screen: Statistics
    // counts them).
    key("ctrl+i");
    ASSERT_TRUE(waitFor([&] { return !windowsNamed("^Statistics: 1 spin$").isEmpty(); }, 10000))
        << "Ctrl+I in Simulate";
    // Both open: clear of each other where the screen has room, the later
    // (Statistics) where it fits best and the Simulate dialog moved clear of it.
    const auto both = [&](const char* when) {
        const QRect statsFrame = checkPlaced(windowsNamed("^Statistics").first(), "Statistics");
        simFrame = checkPlaced(sim, "Simulate");
        std::printf("[ placed ] %s %s: Statistics %d,%d %dx%d, Simulate %d,%d %dx%d\n",
                    deskName({GetParam(), 0}).c_str(), when, statsFrame.x(), statsFrame.y(),
                    statsFrame.width(), statsFrame.height(), simFrame.x(), simFrame.y(),
                    simFrame.width(), simFrame.height());
        EXPECT_FALSE(statsFrame.intersects(simFrame)) << when;
        return statsFrame;
    };
    both("together");
    keepShot("both");
    clickCell(35);
    EXPECT_TRUE(waitFor([&] { return !windowsNamed("^Statistics: 2 spins$").isEmpty(); }, 5000));
    clickCell(36);
    EXPECT_TRUE(waitFor([&] { return !windowsNamed("^Statistics: 3 spins$").isEmpty(); }, 5000));
    if (m_scale == 1 && GetParam().windowManager) {
        // Sequential makes the main window taller: both make way.
        activate(mainId());
        run("xdotool", {"mousemove", "--window", mainId(), "40", "240", "click", "1"});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        key("End");
        key("Return");
        ASSERT_TRUE(waitFor(
            [&] {
                readGeometry();
                return m_geometry["HEIGHT"] > 261;
            },
            5000))
            << "Sequential";
        const QRect statsFrame = both("after Sequential");
        keepShot("sequential");
        // Moved by hand, Statistics stays where the player put it.
        if (GetParam().screen.width() == 1280) {
            const QString stats = windowsNamed("^Statistics").first();
            // Once the window manager has had its say about the last placing.
            std::this_thread::sleep_for(std::chrono::milliseconds(1800));
            run("xdotool", {"windowmove", "--sync", stats, "0", "0"});
            // A loaded machine may take a while to show the move.
            QRect moved = statsFrame;
            EXPECT_TRUE(waitFor(
                [&] {
                    moved = frameOf(stats);
                    return moved != statsFrame;
                },
                5000));
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            moved = frameOf(stats); // where the move ended
            activate(mainId());
            key("Home"); // back to Mode1: the main window shrinks
            ASSERT_TRUE(waitFor(
                [&] {
                    readGeometry();
                    return m_geometry["HEIGHT"] == 261;
                },
                5000));
            std::this_thread::sleep_for(std::chrono::milliseconds(800));
            EXPECT_EQ(frameOf(stats), moved) << "placed again after it was moved by hand";
        }
    }
    if (!qgetenv("VANTEL_SIDE_SHOTS").isEmpty()) {
        // Statistics' wheel page.
        activate(windowsNamed("^Statistics").first());
        key("alt+w");
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        keepShot("wheel");
        // A long run, with Statistics open too.
        activate(sim);
        for (const char* k : {"ctrl+a", "5", "0", "0", "0", "0", "0", "Return"})
            key(k);
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        keepShot("simulating");
    }
}

TEST_P(SideOnDesktop, ALongTooltipWraps) {
    // The Game Mode setting's tooltip, after the mouse rests on it.
    run("xdotool", {"mousemove", "--window", mainId(), "40", "240"});
    QRect tip;
    ASSERT_TRUE(waitFor(
        [&] {
            const QString found =
                QString::fromStdString(run("xdotool", {"search", "--onlyvisible", "--pid",
                                                       QString::number(m_app.processId())}));

            for (const QString& id : found.split('\n', Qt::SkipEmptyParts)) {
                if (id == mainId()) continue;
                const QRect r = frameOf(id);
                if (r.width() > 40 && r.height() > 10 && r.height() < 300) tip = r;
            }
            return !tip.isNull();
        },
        8000));
    EXPECT_LE(tip.width(), 600) << tip.width() << "x" << tip.height();
    EXPECT_GT(tip.height(), 30) << "more than one line";
}

INSTANTIATE_TEST_SUITE_P(Desktops, SideOnDesktop,
                         ::testing::Values(Desk{{1024, 768}, 1, true}, Desk{{1280, 1024}, 1, true},
                                           Desk{{1920, 1080}, 1, true}, Desk{{1280, 1024}, 2, true},
                                           Desk{{1920, 1080}, 2, true}, Desk{{1024, 768}, 1, false},
                                           Desk{{1280, 1024}, 2, false}),
                         deskName);

} // namespace
