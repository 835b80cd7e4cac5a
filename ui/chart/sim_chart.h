#pragma once

#include "report.h"

#include <QByteArray>
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace vantel {

// What the backtest chart shows: the net result's 5-25-50-75-95 percentile
// bands and its mean over the spins of a session, and the final results of
// all sessions.
struct SimChartData {
    // Every setting that shaped the run, one piece each ("Mode1",
    // "initial bet 1", "no table limit", "20000 sessions of up to 1000
    // spins"); the title is them in a row.
    QStringList titleParts;
    QString title;
    std::vector<uint64_t> bandSpins;          // spin count of each band point
    std::array<std::vector<double>, 5> bands; // percentiles 5, 25, 50, 75, 95
    std::vector<double> meanPath;             // the mean net result at each band point
    double mean = 0;                          // the mean final net result
    std::vector<int64_t> finalNets;           // one per session
    // An exact computation's final results, each with its probability, in
    // place of finalNets: the histogram then shows shares of sessions.
    std::vector<std::pair<int64_t, double>> netDistribution;

    bool empty() const { return finalNets.empty() && netDistribution.empty(); }
};

// The points of a session's net result the bands are drawn through.
constexpr int kSimChartPoints = 100;

// No text of the chart is drawn smaller than this many pixels; below the
// size where that fits, the chart is not drawn (see drawSimChart).
constexpr int kSimChartSmallestFont = 9;

// The chart of a backtest whose sessions kept their paths
// (config.pathPoints = kSimChartPoints), titled with its settings.
SimChartData simChartData(const sim::Config& config, const sim::Report& report);

// An axis's ticks: steps of 1, 2 or 5 times a power of ten (at least 1 for
// whole numbers), about `count` of them, strictly increasing, the first at
// or below lo and the last at or above hi.
std::vector<double> chartTicks(double lo, double hi, int count, bool whole);

// A title in font, made smaller (to three quarters of its size, never below
// kSimChartSmallestFont) and then cut short with an ellipsis until it is at
// most width wide.
struct FittedText {
    QFont font;
    QString text;
};
FittedText fitText(const QFont& font, const QString& text, double width);

// A text the chart drew: the box it takes on the device, and its font's
// pixel size there.
struct ChartText {
    QRectF box;
    QString text;
    double pixelSize = 0;
};

// Paints the chart into rect: the title with every setting, the bands and
// the mean above the histogram of final results, each with titled,
// labelled axes, every text at least kSimChartSmallestFont pixels, none over
// another or past rect. Returns false, painting nothing, where rect is too
// small for that. Each text drawn is added to *texts when given. Shared by
// the command line and the window.
bool drawSimChart(QPainter& painter, const QRectF& rect, const SimChartData& data,
                  std::vector<ChartText>* texts = nullptr);

// The chart as the bytes of a PNG or SVG file, chosen by the file name's
// ending, at size pixels; drawn wholly in memory, so a file is written in one
// go. Empty, with the reason in *error when given, if it could not be drawn.
// Needs a QGuiApplication for the fonts; SVG needs the SVG writer's module
// (chart/svg_module.h).
QByteArray simChartFile(const QString& path, QSize size, const SimChartData& data,
                        QString* error = nullptr);

// Writes the chart as PNG or SVG, chosen by the file name's ending, at size
// pixels. Needs a QGuiApplication for the fonts; no display. On failure returns
// false with the reason in *error.
bool saveSimChart(const QString& path, QSize size, const SimChartData& data, QString* error);

} // namespace vantel
