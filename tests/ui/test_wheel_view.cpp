// The painted wheel read back from its pixels at 1x and 2x: every pocket in
// its colour where its angle says (from a wheel card written out here), the
// heat bars as long as the counts say, the latest spin's neighbours outlined
// and nowhere else, and the ten latest spins marked. And the wheel's part of
// the Statistics window follows spins added and taken back.
#include "statistics/statistics_window.h"
#include "statistics/wheel_panel.h"
#include "statistics/wheel_view.h"

#include <QImage>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <random>
#include <set>

namespace {

// A single-zero wheel clockwise from zero, and the red numbers of the layout.
const int kCard[37] = {0, 32, 15, 19, 4, 21, 2,  25, 17, 34, 6,  27, 13, 36, 11, 30, 8, 23, 10,
                       5, 24, 16, 33, 1, 20, 14, 31, 9,  22, 18, 29, 7,  28, 12, 35, 3, 26};
const std::set<int> kRed = {1, 3, 5, 7, 9, 12, 14, 16, 18, 19, 21, 23, 25, 27, 30, 32, 34, 36};

int cardPocket(int number) {
    for (int i = 0; i < 37; ++i)
        if (kCard[i] == number) return i;
    return -1;
}

enum class Hue { Red, Black, Green, Heat, Beyond, Gold, Light, Other };

std::ostream& operator<<(std::ostream& out, Hue h) {
    const char* names[] = {"red", "black", "green", "heat", "beyond", "gold", "light", "other"};
    return out << names[static_cast<int>(h)];
}

Hue hueOf(QRgb c) {
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (r > 230 && g > 180 && g < 225 && b < 100) return Hue::Gold; // the latest spin
    if (r > 200 && g > 80 && g < 150 && b < 60) return Hue::Heat;   // a count
    if (r > 130 && r < 190 && g < 50 && b < 50) return Hue::Beyond; // beyond twice fair
    if (r > 170 && g < 30 && b < 30) return Hue::Red;
    if (r < 50 && g > 100 && b < 50) return Hue::Green;
    if (r < 45 && g < 45 && b < 45) return Hue::Black;
    if (r > 225 && g > 225 && b > 210) return Hue::Light;
    return Hue::Other;
}

// Reads the wheel's picture at the ratio it was painted at, in the widget's
// own coordinates.
struct Picture {
    QImage image;
    QPointF centre;
    double radius;
    double ratio;

    QRgb at(int pocket, double share, double turn = 0) const {
        const double a = 2 * M_PI * (pocket + turn) / 37;
        const double r = radius * share;
        const QPoint p(static_cast<int>(std::floor((centre.x() + r * std::sin(a)) * ratio)),
                       static_cast<int>(std::floor((centre.y() - r * std::cos(a)) * ratio)));
        const QRgb c = image.pixel(p);
        if (qEnvironmentVariableIsSet("WHEEL_PIXELS"))
            std::printf("%d %.3f %.2f -> %06x\n", pocket, share, turn, c & 0xFFFFFF);
        return c;
    }
    // Heat pixels outwards from the band's start, along the pocket's middle.
    int heatPixels(int pocket) const {
        int seen = 0;
        const double step = 1 / (radius * ratio);
        for (double s = WheelRings::kHeatInner + step / 2; s < WheelRings::kHeatOuter; s += step) {
            const Hue h = hueOf(at(pocket, s));
            seen += h == Hue::Heat || h == Hue::Beyond;
        }
        return seen;
    }
    // Pixels of a hue in the square round a recent spin's dot (the dot's
    // middle half), and how many the square has.
    int dotPixels(int pocket, Hue hue) const {
        const double a = 2 * M_PI * pocket / 37;
        const QPointF middle =
            centre + radius * WheelRings::kRecent * QPointF(std::sin(a), -std::cos(a));
        const double half = radius * WheelRings::kDot * 0.3;
        int seen = 0;
        for (int y = static_cast<int>((middle.y() - half) * ratio);
             y <= static_cast<int>((middle.y() + half) * ratio); ++y)
            for (int x = static_cast<int>((middle.x() - half) * ratio);
                 x <= static_cast<int>((middle.x() + half) * ratio); ++x)
                seen += hueOf(image.pixel(x, y)) == hue;
        return seen;
    }
    int dotSquare() const {
        const int side = static_cast<int>(radius * WheelRings::kDot * 0.6 * ratio) + 1;
        return side * side;
    }
    int bandPixels() const {
        return static_cast<int>(
            std::lround(radius * (WheelRings::kHeatOuter - WheelRings::kHeatInner) * ratio));
    }
};

Picture picture(const WheelView& view, double ratio) {
    return {view.paintedAt(ratio), view.centre(), view.radius(), ratio};
}

Hue pocketHue(int number) {
    return number == 0 ? Hue::Green : kRed.count(number) ? Hue::Red : Hue::Black;
}

std::vector<vantel::EnteredSpin> spinsOf(const std::vector<int>& numbers) {
    std::vector<vantel::EnteredSpin> spins;
    for (int n : numbers)
        spins.push_back({n, {}});
    return spins;
}

// Every number once but 0, then 17 nine times more; the ten latest spins are
// 17 and the nine before the 17s.
std::vector<int> hotSeventeen() {
    std::vector<int> numbers;
    for (int n = 1; n <= 36; ++n)
        if (n != 17) numbers.push_back(n);
    for (int i = 0; i < 10; ++i)
        numbers.push_back(17);
    return numbers;
}

} // namespace

TEST(WheelView, PocketsShowTheirColoursAtTheirAnglesAtOneAndTwoTimes) {
    WheelView view(nullptr);
    view.resize(300, 300);
    vantel::sim::WheelTally tally;
    view.set(tally.stats());
    for (double ratio : {1.0, 2.0}) {
        const Picture pic = picture(view, ratio);
        ASSERT_EQ(pic.image.size(), QSize(300, 300) * ratio);
        for (int pocket = 0; pocket < 37; ++pocket) {
            // Near the pocket's inner edge, clear of its number and its frets.
            const double share = WheelRings::kPocketInner + 0.02;
            EXPECT_EQ(hueOf(pic.at(pocket, share)), pocketHue(kCard[pocket]))
                << "pocket " << pocket << " (" << kCard[pocket] << ") at " << ratio << "x";
            EXPECT_EQ(hueOf(pic.at(pocket, share, 0.3)), pocketHue(kCard[pocket]))
                << "pocket " << pocket << " off its middle at " << ratio << "x";
        }
        // No spin yet: no heat, no outline, no dots.
        for (int pocket = 0; pocket < 37; ++pocket)
            EXPECT_EQ(pic.heatPixels(pocket), 0) << pocket;
    }
    // The widget paints what it would show on the screen.
    EXPECT_EQ(view.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
              view.paintedAt(1));
}

TEST(WheelView, PocketNumbersAreEightPixelsHighOrMoreAndNeverTouchTheirNeighbours) {
    WheelView view(nullptr);
    view.set(vantel::sim::WheelTally().stats());
    double before = 0;
    for (const int side : {WheelView::kSmallest, 300, 420, 600, 900}) {
        view.resize(side, side);
        const WheelView::PocketLabels labels = view.pocketLabels();
        EXPECT_GE(labels.capHeight, 8) << side;
        EXPECT_GE(labels.font.pixelSize(), before) << side << ": they grow with the wheel";
        before = labels.font.pixelSize();
        const double r = view.radius();
        for (int i = 0; i < 37; ++i) {
            const QPolygonF box = view.pocketLabelBox(i);
            EXPECT_FALSE(box.intersects(view.pocketLabelBox((i + 1) % 37))) << side << " " << i;
            for (const QPointF& corner : box) {
                const double d =
                    std::hypot(corner.x() - view.centre().x(), corner.y() - view.centre().y());
                EXPECT_GT(d, r * WheelRings::kPocketInner) << side << " " << i;
                EXPECT_LT(d, r * WheelRings::kPocketOuter) << side << " " << i;
            }
        }
        // No number reaches the fret between two pockets: along every fret,
        // nothing as light as a number's ink.
        const QImage image = view.paintedAt(1);
        int ink = 0;
        for (int i = 0; i < 37; ++i) {
            const double a = WheelView::pocketAngle(i) - M_PI / 37;
            for (double d = r * (WheelRings::kPocketInner + 0.02);
                 d < r * (WheelRings::kPocketOuter - 0.02); d += 0.5) {
                const QPoint at(qFloor(view.centre().x() + d * std::sin(a)),
                                qFloor(view.centre().y() - d * std::cos(a)));
                ink += qGray(image.pixel(at)) > 200 ? 1 : 0;
            }
        }
        EXPECT_EQ(ink, 0) << side;
    }
}

TEST(WheelView, HeatBarsFollowTheCountsAgainstTheFairCount) {
    WheelView view(nullptr);
    view.resize(320, 320);
    vantel::sim::WheelTally tally;
    tally.follow(spinsOf(hotSeventeen()));
    view.set(tally.stats());
    // 45 spins: fair is 45/37 a pocket; half the band is the fair count.
    for (double ratio : {1.0, 2.0}) {
        const Picture pic = picture(view, ratio);
        const int band = pic.bandPixels();
        const int hot = pic.heatPixels(cardPocket(17));
        // All of it but where the fair count's dashed line crosses it.
        EXPECT_GE(hot, band - 3 * ratio) << "ten times where 1.2 is fair fills the band, " << ratio;
        EXPECT_EQ(hueOf(pic.at(cardPocket(17), 0.95)), Hue::Beyond);
        EXPECT_EQ(pic.heatPixels(cardPocket(0)), 0) << "0 never came";
        // Once: 1 / (2 x 45/37) of the band.
        const double once = band * 37.0 / 90;
        for (int n : {32, 5, 26, 11}) {
            EXPECT_NEAR(pic.heatPixels(cardPocket(n)), once, 2.5) << n << " at " << ratio;
            EXPECT_EQ(hueOf(pic.at(cardPocket(n), WheelRings::kHeatInner + 0.02)), Hue::Heat);
        }
    }
}

TEST(WheelView, LatestSpinsNeighboursAreOutlinedAndTheTenLatestMarked) {
    WheelView view(nullptr);
    view.resize(300, 300);
    // Eleven spins on pockets far enough apart that no dots stack; 5 last.
    const std::vector<int> numbers = {13, 0, 21, 34, 11, 23, 24, 1, 9, 29, 12, 5};
    vantel::sim::WheelTally tally;
    tally.follow(spinsOf(numbers));
    view.set(tally.stats());
    const int last = cardPocket(5);
    for (double ratio : {1.0, 2.0}) {
        const Picture pic = picture(view, ratio);
        const double justOutside = WheelRings::kPocketOuter + 0.5 / pic.radius;
        for (int off = -2; off <= 2; ++off)
            EXPECT_EQ(hueOf(pic.at((last + off + 37) % 37, justOutside)), Hue::Gold)
                << "neighbour " << off << " of 5 at " << ratio << "x";
        int goldElsewhere = 0;
        for (int off = 4; off <= 33; ++off)
            goldElsewhere += hueOf(pic.at((last + off) % 37, justOutside)) == Hue::Gold;
        EXPECT_EQ(goldElsewhere, 0) << "only round the latest spin, at " << ratio << "x";

        // The latest dot is gold, the nine before it light; 0 and 13 are the
        // eleventh and twelfth latest and have none.
        const int square = pic.dotSquare();
        EXPECT_GT(pic.dotPixels(last, Hue::Gold), square / 3) << ratio;
        for (size_t k = 1; k <= 9; ++k) {
            const int n = numbers[numbers.size() - 1 - k];
            EXPECT_GT(pic.dotPixels(cardPocket(n), Hue::Light), square / 3)
                << "dot " << k + 1 << " on " << n << " at " << ratio << "x";
        }
        for (int n : {0, 13}) {
            EXPECT_EQ(pic.dotPixels(cardPocket(n), Hue::Light), 0) << n;
            EXPECT_EQ(pic.dotPixels(cardPocket(n), Hue::Gold), 0) << n;
        }
    }
}

TEST(WheelView, StatisticsWindowsWheelFollowsSpinsAddedAndTakenBack) {
    QWidget main;
    std::vector<vantel::EnteredSpin> spins;
    StatisticsWindow stats(spins, &main);
    WheelPanel* panel = stats.wheelPanel();
    ASSERT_NE(panel, nullptr);
    std::mt19937 random(97);
    for (int step = 0; step < 200; ++step) {
        if (!spins.empty() && random() % 3 == 0)
            spins.pop_back();
        else
            spins.push_back({static_cast<int>(random() % 37), {}});
        stats.refresh();
        const vantel::sim::WheelStats& w = panel->stats();
        ASSERT_EQ(w.spins, spins.size()) << step;
        if (!spins.empty()) {
            ASSERT_EQ(w.recent.front(), spins.back().number) << step;
        }
        uint64_t around = 0;
        for (const auto& s : spins)
            around +=
                std::set<int>{22, 18, 29, 7, 28, 12, 35, 3, 26, 0, 32, 15, 19, 4, 21, 2, 25}.count(
                    s.number);
        ASSERT_EQ(w.sectors[0].count, around) << step;
        ASSERT_TRUE(panel->figures()->text().contains(
            QStringLiteral("Around zero (17)\t22 to 25\t%1").arg(around)))
            << panel->figures()->text().toStdString();
    }
}
