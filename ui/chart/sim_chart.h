#pragma once

#include "report.h"

#include <QByteArray>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace vantel {

// What the backtest chart shows: the net result's 5-25-50-75-95 percentile
// bands over the spins of a session, and the final results of all sessions.
struct SimChartData {
    QString title;
    std::vector<uint64_t> bandSpins;          // spin count of each band point
    std::array<std::vector<double>, 5> bands; // percentiles 5, 25, 50, 75, 95
    std::vector<int64_t> finalNets;           // one per session
    // An exact computation's final results, each with its probability, in
    // place of finalNets: the histogram then shows shares of sessions.
    std::vector<std::pair<int64_t, double>> netDistribution;
};

// The points of a session's net result the bands are drawn through.
constexpr int kSimChartPoints = 100;

// The chart of a backtest whose sessions kept their paths
// (config.pathPoints = kSimChartPoints), titled with its settings.
SimChartData simChartData(const sim::Config& config, const sim::Report& report);

// Paints the chart into rect: the bands above the histogram of final
// results, each with titled, labelled axes. Shared by the command line and
// the window.
void drawSimChart(QPainter& painter, const QRectF& rect, const SimChartData& data);

// The chart as the bytes of a PNG or SVG file, chosen by the file name's
// ending, at size pixels; drawn wholly in memory, so a file is written in one
// go. Empty if it could not be drawn. Needs a QGuiApplication for the fonts.
QByteArray simChartFile(const QString& path, QSize size, const SimChartData& data);

// Writes the chart as PNG or SVG, chosen by the file name's ending, at size
// pixels. Needs a QGuiApplication for the fonts; no display. On failure returns
// false with the reason in *error.
bool saveSimChart(const QString& path, QSize size, const SimChartData& data, QString* error);

} // namespace vantel
