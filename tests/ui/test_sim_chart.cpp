// The backtest chart: every text at least the smallest font, inside the
// chart and clear of every other, at every size a file or the dialog draws
// it; and a run that loses on average can be seen to lose.
#include "chart/sim_chart.h"
#include "chart/sim_chart_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <cmath>
#include <random>
#include <string>

namespace {

using vantel::ChartText;
using vantel::SimChartData;

// A Martingale-like run: the bands climb, the mean falls, and a few
// sessions lose millions.
SimChartData losing(bool exact) {
    SimChartData d;
    d.titleParts = {"Sequential",
                    "Martingale",
                    "initial bet 10000",
                    "safe level 10",
                    "fixed matrix off",
                    "reset on \"ONLY + / + Init. Bet\"",
                    "increase till 18",
                    "Progressive",
                    "M. count 10000",
                    "W. count 10000",
                    "bankroll 1000000000000000",
                    "table limit 1000000000000000",
                    "1000000 sessions of up to 1000000 spins"};
    d.title = d.titleParts.join(", ");
    for (uint64_t i = 0; i <= 100; ++i) {
        d.bandSpins.push_back(i * 10);
        for (size_t b = 0; b < 5; ++b)
            d.bands[b].push_back(8.7 * static_cast<double>(i * 10) * (0.9 + 0.05 * b));
        d.meanPath.push_back(-8.4 * static_cast<double>(i * 10));
    }
    d.mean = -8423;
    if (exact) {
        d.netDistribution = {{-4718574, 0.0029}, {-9000, 0.01}, {8600, 0.6}, {8700, 0.3871}};
    } else {
        for (int i = 0; i < 2000; ++i)
            d.finalNets.push_back(8400 + i % 500);
        for (int i = 0; i < 6; ++i)
            d.finalNets.push_back(-4718556 + i);
    }
    return d;
}

SimChartData small() {
    SimChartData d;
    d.titleParts = {"Mode1", "Martingale", "initial bet 1", "3 sessions of 100 spins"};
    d.bandSpins = {0, 50, 100};
    for (auto& band : d.bands)
        band = {0, -30, 40};
    d.meanPath = {0, -10, 6.7};
    d.mean = 6.7;
    d.finalNets = {-30, 40, 10};
    return d;
}

SimChartData extreme() {
    SimChartData d = small();
    d.finalNets = {-9000000000000000000, 0, 9000000000000000000};
    d.bands[0] = {0, -9e18, -9e18};
    d.bands[4] = {0, 9e18, 9e18};
    d.mean = 0;
    return d;
}

std::vector<ChartText> textsOf(const SimChartData& d, QSizeF size, bool* drawn) {
    // A clipped scratch image: the chart lays out and measures its texts at
    // the size asked, without the cost of painting it.
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter p(&scratch);
    p.setClipRect(QRect(0, 0, 1, 1));
    std::vector<ChartText> texts;
    *drawn = vantel::drawSimChart(p, QRectF(QPointF(0, 0), size), d, &texts);
    return texts;
}

TEST(SimChart, EveryTextIsLegibleInsideAndClearOfTheOthersFrom300x170To2400x1600) {
    const QSize sizes[] = {{400, 300},
                           {480, 320},
                           {640, 360},
                           {800, 600},
                           {1024, 768},
                           {1200, 800},
                           {1366, 420},
                           {1600, 1200},
                           {2400, 1600},
                           {2400, 300},
                           {400, 1600},
                           // and as small as the dialog draws it
                           {300, 170},
                           {320, 215},
                           {560, 240}};
    const std::pair<const char*, SimChartData> charts[] = {{"sampled", losing(false)},
                                                           {"exact", losing(true)},
                                                           {"small", small()},
                                                           {"extreme", extreme()}};
    for (const auto& [name, data] : charts)
        for (const QSize size : sizes) {
            const std::string at = std::string(name) + " at " + std::to_string(size.width()) + "x" +
                                   std::to_string(size.height());
            bool drawn = false;
            const std::vector<ChartText> texts = textsOf(data, size, &drawn);
            ASSERT_TRUE(drawn) << at;
            ASSERT_GT(texts.size(), 12u) << at;
            const QRectF whole(0, 0, size.width(), size.height());
            for (size_t i = 0; i < texts.size(); ++i) {
                const ChartText& t = texts[i];
                EXPECT_GE(t.pixelSize, vantel::kSimChartSmallestFont)
                    << at << ": " << t.text.toStdString();
                EXPECT_TRUE(whole.contains(t.box))
                    << at << ": '" << t.text.toStdString() << "' at " << t.box.x() << ","
                    << t.box.y() << " " << t.box.width() << "x" << t.box.height();
                for (size_t j = 0; j < i; ++j)
                    EXPECT_FALSE(t.box.adjusted(0.5, 0.5, -0.5, -0.5)
                                     .intersects(texts[j].box.adjusted(0.5, 0.5, -0.5, -0.5)))
                        << at << ": '" << t.text.toStdString() << "' over '"
                        << texts[j].text.toStdString() << "'";
            }
        }
}

TEST(SimChart, ARunThatLosesOnAverageShowsItsMeanItsTailAndEverySetting) {
    for (bool exact : {false, true}) {
        bool drawn = false;
        const std::vector<ChartText> texts = textsOf(losing(exact), QSize(1200, 800), &drawn);
        ASSERT_TRUE(drawn);
        QStringList all;
        for (const ChartText& t : texts)
            all << t.text;
        const QString joined = all.join('|');
        EXPECT_TRUE(joined.contains("mean, ending at -8423")) << joined.toStdString();
        EXPECT_TRUE(
            joined.contains(exact ? "0.29 % of sessions end in this bar, the lowest at -4.72M"
                                  : "0.30 % of sessions end in this bar, the lowest at -4.72M"))
            << joined.toStdString();
        for (const char* part : {"safe level 10", "fixed matrix off", "bankroll 1000000000000000",
                                 "table limit 1000000000000000", "up to 1000000 spins"})
            EXPECT_TRUE(joined.contains(part)) << part;
    }
}

// The histogram's axis reaches its tallest bar, however the results spread:
// in the SVG nothing is clipped, and every bar on the lower plot's floor
// stays below its top.
TEST(SimChart, TheHistogramsAxisReachesItsTallestBar) {
    std::mt19937_64 rng(20261210);
    const QRegularExpression rectRe(
        R"re(<rect x="([-\d.e]+)" y="([-\d.e]+)" width="([\d.e]+)" height="([\d.e]+)")re");
    for (int run = 0; run < 80; ++run) {
        SimChartData d = small();
        std::normal_distribution<double> spread(std::uniform_real_distribution<>(-9000, 9000)(rng),
                                                std::uniform_real_distribution<>(1, 900)(rng));
        d.finalNets.assign(20 + rng() % 400, 0);
        for (int64_t& v : d.finalNets)
            v = std::llround(spread(rng));
        if (run % 4 == 0) d.finalNets.push_back(-4718574); // a far tail: a logarithmic axis
        std::vector<QRectF> rects;
        const QString svg = vantel::simChartFile("x.svg", QSize(1200, 800), d);
        for (auto m = rectRe.globalMatch(svg); m.hasNext();) {
            const auto r = m.next();
            rects.emplace_back(r.captured(1).toDouble(), r.captured(2).toDouble(),
                               r.captured(3).toDouble(), r.captured(4).toDouble());
        }
        QRectF plot; // the lowest of the wide frames within the page's own
        for (const QRectF& r : rects)
            if (r.width() > 400 && r.width() < 1200 && r.top() > plot.top()) plot = r;
        int bars = 0;
        for (const QRectF& r : rects) {
            if (r.width() >= 400 || std::abs(r.bottom() - plot.bottom()) > 0.01) continue;
            ++bars;
            EXPECT_GE(r.top(), plot.top() - 0.01) << "run " << run << ": a bar over the plot";
        }
        EXPECT_GT(bars, 0) << run;
    }
}

TEST(SimChart, TheDialogsViewDrawsTheChartWholeOrOneLineAskingForRoom) {
    const SimChartData data = losing(false);
    SimChartView view(nullptr);
    view.set(&data);
    view.setMinimumSize(0, 0); // as the low dialog lets it shrink
    for (const auto& [size, fits] : {std::pair<QSize, bool>{{200, 170}, false},
                                     {{300, 170}, true},
                                     {{1000, 700}, true},
                                     {{900, 110}, false}}) {
        view.resize(size);
        EXPECT_EQ(view.chartFits(), fits) << size.width() << "x" << size.height();
    }
}

} // namespace
