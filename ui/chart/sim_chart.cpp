#include "chart/sim_chart.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace vantel {

namespace {

const QColor kInk(0x20, 0x20, 0x20);
const QColor kGrid(0xDD, 0xDD, 0xDD);
const QColor kOuterBand(0x99, 0xBF, 0x13, 0x50);
const QColor kInnerBand(0x99, 0xBF, 0x13, 0xA0);
const QColor kMedian(0x4A, 0x5E, 0x05);
const QColor kBars(0x80, 0x80, 0x00);

// About `count` round steps (1, 2 or 5 times a power of ten) covering lo..hi.
std::vector<double> ticks(double lo, double hi, int count) {
    std::vector<double> out;
    if (!(hi > lo)) return {lo};
    const double raw = (hi - lo) / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * power) {
            step = m * power;
            break;
        }
    for (double v = std::ceil(lo / step) * step; v <= hi + step * 1e-9; v += step)
        out.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
    return out;
}

QString number(double v) {
    if (std::abs(v) >= 1e9) return QString::number(v, 'g', 4);
    return QString::number(v, 'f', 0);
}

// One plot frame with its axis titles and tick labels; maps values to pixels.
struct Frame {
    QRectF area;
    double x0, x1, y0, y1;

    QPointF at(double x, double y) const {
        const double fx = x1 > x0 ? (x - x0) / (x1 - x0) : 0.5;
        const double fy = y1 > y0 ? (y - y0) / (y1 - y0) : 0.5;
        return {area.left() + fx * area.width(), area.bottom() - fy * area.height()};
    }

    void draw(QPainter& p, const QString& title, const QString& xTitle,
              const QString& yTitle) const {
        const QFontMetricsF fm(p.font());
        p.setPen(QPen(kGrid, 1));
        for (double v : ticks(y0, y1, 5))
            p.drawLine(at(x0, v), at(x1, v));
        p.setPen(QPen(kInk, 1));
        p.drawRect(area);
        for (double v : ticks(x0, x1, 6)) {
            const QPointF a = at(v, y0);
            p.drawLine(a, a + QPointF(0, 4));
            const QString s = number(v);
            p.drawText(QRectF(a.x() - 60, a.y() + 5, 120, fm.height()), Qt::AlignHCenter, s);
        }
        for (double v : ticks(y0, y1, 5)) {
            const QPointF a = at(x0, v);
            p.drawLine(a, a - QPointF(4, 0));
            p.drawText(QRectF(a.x() - 126, a.y() - fm.height() / 2, 120, fm.height()),
                       Qt::AlignRight | Qt::AlignVCenter, number(v));
        }
        QFont bold = p.font();
        bold.setBold(true);
        p.save();
        p.setFont(bold);
        p.drawText(
            QRectF(area.left(), area.top() - 2 * fm.height(), area.width(), fm.height() * 1.5),
            Qt::AlignCenter, title);
        p.restore();
        p.drawText(QRectF(area.left(), area.bottom() + fm.height() + 8, area.width(), fm.height()),
                   Qt::AlignHCenter, xTitle);
        p.save();
        p.translate(area.left() - 110, area.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-area.height() / 2, -fm.height(), area.height(), fm.height()),
                   Qt::AlignHCenter, yTitle);
        p.restore();
    }
};

void drawBands(QPainter& p, const QRectF& area, const SimChartData& d) {
    const auto& spins = d.bandSpins;
    double lo = 0, hi = 0;
    for (const auto& band : d.bands)
        for (double v : band) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    if (hi <= lo) hi = lo + 1;
    const double pad = (hi - lo) * 0.05;
    const double last = spins.empty() ? 1.0 : static_cast<double>(spins.back());
    const Frame f{area, 0, last, lo - pad, hi + pad};
    f.draw(p, QStringLiteral("Net result over a session: percentiles 5, 25, 50, 75, 95"),
           QStringLiteral("Spin"), QStringLiteral("Net result"));
    if (spins.empty()) return;

    auto band = [&](const std::vector<double>& low, const std::vector<double>& high,
                    const QColor& colour) {
        QPolygonF poly;
        poly << f.at(0, 0);
        for (size_t i = 0; i < spins.size(); ++i)
            poly << f.at(static_cast<double>(spins[i]), high[i]);
        for (size_t i = spins.size(); i-- > 0;)
            poly << f.at(static_cast<double>(spins[i]), low[i]);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPolygon(poly);
    };
    p.save();
    p.setClipRect(area);
    band(d.bands[0], d.bands[4], kOuterBand);
    band(d.bands[1], d.bands[3], kInnerBand);
    QPolygonF median;
    median << f.at(0, 0);
    for (size_t i = 0; i < spins.size(); ++i)
        median << f.at(static_cast<double>(spins[i]), d.bands[2][i]);
    p.setPen(QPen(kMedian, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(median);
    p.setPen(QPen(kInk, 1, Qt::DashLine));
    p.drawLine(f.at(0, 0), f.at(last, 0));
    p.restore();
}

void drawHistogram(QPainter& p, const QRectF& area, const SimChartData& d) {
    constexpr int kBins = 40;
    // A sample counts sessions; an exact distribution gives each result its
    // share of sessions, in per cent.
    const bool exact = !d.netDistribution.empty();
    double lo = 0, hi = 1;
    if (exact) {
        lo = static_cast<double>(d.netDistribution.front().first);
        hi = static_cast<double>(d.netDistribution.back().first);
    } else if (!d.finalNets.empty()) {
        const auto [mn, mx] = std::minmax_element(d.finalNets.begin(), d.finalNets.end());
        lo = static_cast<double>(*mn);
        hi = static_cast<double>(*mx);
    }
    if (hi <= lo) {
        lo -= 0.5;
        hi += 0.5;
    }
    const auto binOf = [&](int64_t v) {
        return static_cast<size_t>(std::clamp(
            static_cast<int>((static_cast<double>(v) - lo) / (hi - lo) * kBins), 0, kBins - 1));
    };
    std::array<double, kBins> counts{};
    for (int64_t v : d.finalNets)
        counts[binOf(v)] += 1;
    for (const auto& [v, share] : d.netDistribution)
        counts[binOf(v)] += 100 * share;
    const double most = *std::max_element(counts.begin(), counts.end());
    const Frame f{area, lo, hi, 0, (most > 0 ? most : 1) * 1.05};
    f.draw(p, QStringLiteral("Net result at the end of the session"), QStringLiteral("Net result"),
           exact ? QStringLiteral("% of sessions") : QStringLiteral("Sessions"));
    p.save();
    p.setClipRect(area);
    p.setPen(QPen(Qt::white, 0.5));
    p.setBrush(kBars);
    const double width = (hi - lo) / kBins;
    for (int i = 0; i < kBins; ++i) {
        if (counts[static_cast<size_t>(i)] == 0) continue;
        p.drawRect(QRectF(f.at(lo + i * width, counts[static_cast<size_t>(i)]),
                          f.at(lo + (i + 1) * width, 0)));
    }
    p.restore();
}

} // namespace

void drawSimChart(QPainter& p, const QRectF& rect, const SimChartData& data) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect, Qt::white);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::clamp(static_cast<int>(rect.height() / 50), 9, 24));
    p.setFont(font);
    const QFontMetricsF fm(font);
    const double line = fm.height();

    QFont titleFont = font;
    titleFont.setPixelSize(font.pixelSize() * 3 / 2);
    titleFont.setBold(true);
    p.setFont(titleFont);
    p.setPen(kInk);
    p.drawText(QRectF(rect.left(), rect.top() + line * 0.5, rect.width(), line * 2),
               Qt::AlignCenter, data.title);
    p.setFont(font);

    const double left = rect.left() + 130;
    const double right = rect.right() - 30;
    const double top = rect.top() + line * 5;
    const double bottom = rect.bottom() - line * 3.5;
    const double gap = line * 6;
    const double total = bottom - top - gap;
    const QRectF upper(left, top, right - left, total * 0.58);
    const QRectF lower(left, upper.bottom() + gap, right - left, total * 0.42);
    drawBands(p, upper, data);
    drawHistogram(p, lower, data);
    p.restore();
}

QByteArray simChartFile(const QString& path, QSize size, const SimChartData& data) {
    const QRectF rect(QPointF(0, 0), QSizeF(size));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(rect);
        svg.setTitle(data.title);
        {
            QPainter p(&svg);
            drawSimChart(p, rect, data);
        }
        // The generator gives the size in millimetres; the chart is asked for in pixels.
        QString text = QString::fromUtf8(buffer.data());
        static const QRegularExpression mm(
            QStringLiteral("<svg width=\"[^\"]*\" height=\"[^\"]*\""));
        text.replace(
            mm,
            QStringLiteral("<svg width=\"%1\" height=\"%2\"").arg(size.width()).arg(size.height()));
        return text.toUtf8();
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        drawSimChart(p, rect, data);
    }
    if (!image.save(&buffer, "PNG")) return {};
    return buffer.data();
}

bool saveSimChart(const QString& path, QSize size, const SimChartData& data, QString* error) {
    const QByteArray bytes = simChartFile(path, size, data);
    if (bytes.isEmpty()) {
        if (error) *error = QStringLiteral("the chart could not be drawn");
        return false;
    }
    // Written whole or not at all: a file already there is replaced only
    // once the new one is complete.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered and flushed by hand: the commit does not see a refused last write.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

SimChartData simChartData(const sim::Config& config, const sim::Report& report) {
    const sim::Settings& s = config.settings;
    const uint64_t perSession = config.recorded.empty()
                                    ? config.spins
                                    : std::min<uint64_t>(config.spins, config.recorded.size());
    SimChartData chart;
    chart.title =
        QString::fromStdString(std::string(sim::gameModeName(s.gameMode)) + ", " + s.bettingSystem +
                               ", initial bet " + std::to_string(s.initialBet) + ": " +
                               (report.exact ? std::string("exact, sessions")
                                             : std::to_string(report.sessions) + " sessions") +
                               " of " + std::to_string(perSession) + " spins");
    chart.bandSpins = report.bandSpins;
    chart.bands = report.bands;
    chart.finalNets = report.finalNets;
    chart.netDistribution = report.netDistribution;
    return chart;
}

} // namespace vantel
