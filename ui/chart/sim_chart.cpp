#include "chart/sim_chart.h"

#include "chart/svg_module.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QSaveFile>

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
const QColor kMean(0xB0, 0x1E, 0x1E); // the mean, and the loss tail

double pixelSizeOf(const QFont& f) {
    return f.pixelSize() > 0 ? f.pixelSize() : f.pointSizeF() * 96.0 / 72.0;
}

// A number with a unit of 1, k, M, G or T and as many decimals as step
// needs, so that no two ticks read alike.
QString numberIn(double v, double unit, double step) {
    static const char* const kSuffix[] = {"", "k", "M", "G", "T", "P", "E"};
    int u = 0;
    for (double x = unit; x >= 999.5 && u < 6; x /= 1000)
        ++u;
    const double scaled = step / unit;
    const int decimals =
        scaled >= 1 ? 0 : std::clamp(static_cast<int>(std::ceil(-std::log10(scaled) - 1e-9)), 0, 6);
    if (v == 0) return QStringLiteral("0");
    return QString::number(v / unit, 'f', decimals) + QLatin1String(kSuffix[u]);
}

// The unit an axis's labels share: thousands from 10,000 on, and so on.
double unitFor(double largest) {
    double unit = 1;
    if (largest >= 1e4) unit = 1e3;
    if (largest >= 1e7) unit = 1e6;
    if (largest >= 1e10) unit = 1e9;
    if (largest >= 1e13) unit = 1e12;
    if (largest >= 1e16) unit = 1e15;
    if (largest >= 1e19) unit = 1e18;
    return unit;
}

// A value alone, as a label of its own says it: three significant digits
// with k or M, -4718592 as -4.72M, 1000000 as 1M.
QString shortNumber(double v) {
    const double a = std::abs(v);
    double unit = 1;
    const char* suffix = "";
    for (const auto& [size, name] :
         {std::pair<double, const char*>{1e12, "T"}, {1e9, "G"}, {1e6, "M"}, {1e4, "k"}})
        if (a >= size) {
            unit = size == 1e4 ? 1e3 : size;
            suffix = name;
            break;
        }
    QString text = QString::number(v / unit, 'f', unit == 1 ? 0 : 2);
    if (text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.')) text.chop(1);
    }
    return text + QLatin1String(suffix);
}

// A share in per cent with two significant digits: 0.29 %, 12 %, 0.0031 %.
QString shareText(double percent) {
    if (percent >= 10 || percent <= 0) return QString::number(percent, 'f', 0) + " %";
    const int decimals = std::clamp(1 - static_cast<int>(std::floor(std::log10(percent))), 0, 12);
    return QString::number(percent, 'f', decimals) + " %";
}

// Where a net result sits on an axis: itself, or on a signed logarithmic
// axis sign(x) log10(1 + |x|), which keeps a tail of millions beside a body
// of thousands.
double onAxis(double x, bool log) {
    if (!log) return x;
    return x < 0 ? -std::log10(1 - x) : std::log10(1 + x);
}

// An axis: where it runs (in axis units), its ticks and their labels.
struct Axis {
    double from = 0, to = 1;
    bool log = false;
    std::vector<double> ticks; // values
    QStringList labels;

    double fraction(double value) const {
        const double v = onAxis(value, log);
        return to > from ? (v - from) / (to - from) : 0.5;
    }
};

Axis linearAxis(double lo, double hi, int count, bool whole) {
    Axis a;
    a.ticks = chartTicks(lo, hi, count, whole);
    a.from = a.ticks.front();
    a.to = a.ticks.back();
    const double step = a.ticks.size() > 1 ? a.ticks[1] - a.ticks[0] : 1.0;
    const double unit = unitFor(std::max(std::abs(a.from), std::abs(a.to)));
    for (double v : a.ticks)
        a.labels << numberIn(v, unit, step);
    return a;
}

// A signed logarithmic axis from lo to hi, with ticks at 0 and at every
// `every`-th power of ten inside.
Axis logAxis(double lo, double hi, int every) {
    Axis a;
    a.log = true;
    const double span = onAxis(hi, true) - onAxis(lo, true);
    a.from = onAxis(lo, true) - span * 0.02;
    a.to = onAxis(hi, true) + span * 0.02;
    std::vector<double> ticks;
    if (lo <= 0 && hi >= 0) ticks.push_back(0);
    for (int k = every; k <= 18; k += every) {
        const double v = std::pow(10.0, k);
        if (-v >= lo) ticks.push_back(-v);
        if (v <= hi) ticks.push_back(v);
    }
    std::sort(ticks.begin(), ticks.end());
    for (double v : ticks) {
        a.ticks.push_back(v);
        a.labels << shortNumber(v);
    }
    return a;
}

// The texts of the chart are drawn through this, which keeps each one's box.
struct Ink {
    QPainter& p;
    std::vector<ChartText>* texts;

    void text(const QRectF& box, int flags, const QString& s) {
        p.drawText(box, flags, s);
        if (!texts) return;
        const QTransform& t = p.worldTransform();
        const double scale = std::sqrt(t.m11() * t.m11() + t.m12() * t.m12());
        texts->push_back(
            {t.mapRect(p.boundingRect(box, flags, s)), s, pixelSizeOf(p.font()) * scale});
    }
};

// The horizontal extent of each label of an x axis drawn across [left, right]
// within [minX, maxX]: centred on its tick, moved inside where it would pass
// an edge (on the left, the column of the y axis's labels).
std::vector<std::pair<double, double>> xLabelSpans(const Axis& a, const QFontMetricsF& fm,
                                                   double left, double right, double minX,
                                                   double maxX) {
    std::vector<std::pair<double, double>> spans;
    for (int i = 0; i < a.labels.size(); ++i) {
        const double w = fm.horizontalAdvance(a.labels[i]);
        const double x = left + a.fraction(a.ticks[static_cast<size_t>(i)]) * (right - left);
        const double start = std::clamp(x - w / 2, minX, maxX - w);
        spans.emplace_back(start, start + w);
    }
    return spans;
}

bool spansApart(const std::vector<std::pair<double, double>>& spans, double gap) {
    for (size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first < spans[i - 1].second + gap) return false;
    return true;
}

// What the histogram shows: each final result with its weight (a session,
// or a probability in per cent).
struct Finals {
    std::vector<std::pair<double, double>> values; // sorted by value
    double total = 0;
    bool shares = false; // weights in per cent of sessions
};

Finals finalsOf(const SimChartData& d) {
    Finals f;
    f.shares = !d.netDistribution.empty();
    if (f.shares) {
        for (const auto& [v, p] : d.netDistribution)
            f.values.emplace_back(static_cast<double>(v), 100 * p);
    } else {
        for (int64_t v : d.finalNets)
            f.values.emplace_back(static_cast<double>(v), 1.0);
        std::sort(f.values.begin(), f.values.end());
    }
    for (const auto& e : f.values)
        f.total += e.second;
    return f;
}

double quantileOf(const Finals& f, double q) {
    double cum = 0;
    for (const auto& [v, w] : f.values) {
        cum += w;
        if (cum >= q * f.total) return v;
    }
    return f.values.empty() ? 0 : f.values.back().first;
}

constexpr int kBins = 40;

// The whole chart's geometry at one font size; built before anything is
// painted, so that a size it does not fit is known in advance.
class Layout {
  public:
    // Compact, the title takes one line and the plots go without titles of
    // their own: the form for a small window.
    Layout(const SimChartData& d, const QRectF& rect, int fontPx, bool compact)
        : m_d(d), m_rect(rect), m_compact(compact) {
        m_font = QFont(QStringLiteral("Liberation Sans"));
        m_font.setPixelSize(fontPx);
        m_titleFont = m_font;
        m_titleFont.setBold(true);
        m_titleFont.setPixelSize(fontPx * 5 / 4);
        m_bold = m_font;
        m_bold.setBold(true);
        m_finals = finalsOf(d);
    }

    bool build() {
        const QFontMetricsF fm(m_font);
        const double line = fm.height();
        const double pad = std::ceil(line * 0.6);
        const double width = m_rect.width() - 2 * pad;
        if (width < 20 * line) return false;

        // The title: the settings' pieces in a row, wrapped into at most
        // three lines.
        const QFontMetricsF tm(m_titleFont);
        QString current;
        for (const QString& part : m_d.titleParts) {
            const QString joined = current.isEmpty() ? part : current + ", " + part;
            if (!current.isEmpty() && tm.horizontalAdvance(joined) > width) {
                m_title << current + ",";
                current = part;
            } else {
                current = joined;
            }
        }
        if (!current.isEmpty() || m_title.isEmpty()) m_title << current;
        const int titleLines = m_compact ? 1 : 3;
        if (m_title.size() > titleLines) {
            QStringList rest = m_title.mid(titleLines - 1);
            m_title = m_title.mid(0, titleLines - 1);
            m_title << rest.join(' ');
        }
        for (QString& l : m_title)
            l = tm.elidedText(l, Qt::ElideRight, width);
        double y = m_rect.top() + pad;
        m_titleTop = y;
        y += m_title.size() * tm.height() + pad / 2;

        // The legend of the upper plot: centred lines of its items.
        const std::pair<QString, int> items[] = {
            {QStringLiteral("5-95 %"), 0},
            {QStringLiteral("25-75 %"), 1},
            {QStringLiteral("median"), 2},
            {QStringLiteral("mean, ending at %1").arg(shortNumber(m_d.mean)), 3}};
        std::vector<LegendItem> row;
        double rowWidth = 0;
        const auto endRow = [&] {
            const double left = m_rect.left() + (m_rect.width() - rowWidth) / 2;
            for (LegendItem& item : row) {
                item.at += QPointF(left, y);
                m_legend.push_back(item);
            }
            row.clear();
            rowWidth = 0;
            y += line;
        };
        for (const auto& [name, kind] : items) {
            const double w = 1.6 * line + fm.horizontalAdvance(name);
            if (w > width) return false;
            if (!row.empty() && rowWidth + line + w > width) endRow();
            const double x = row.empty() ? 0 : rowWidth + line;
            row.push_back({name, kind, QPointF(x, 0)});
            rowWidth = x + w;
        }
        endRow();
        y += pad / 2;

        // Two plots, each under its title and over its tick labels and axis title.
        const double below = 2 * line + pad / 2 + 4;
        // Compact, room only for the top y label, half a line above its plot.
        const double heading = m_compact ? std::ceil(line / 2) : line + pad / 2;
        const double free = m_rect.bottom() - pad - y - 2 * (heading + below) - pad;
        const double upperHeight = std::floor(free * 0.55);
        const double lowerHeight = std::floor(free - upperHeight);
        const double smallest = m_compact ? std::max(2 * line, 24.0) : std::max(3 * line, 36.0);
        if (upperHeight < smallest || lowerHeight < smallest) return false;
        m_upperTitleTop = y;
        m_upper = QRectF(0, y + heading, 0, upperHeight);
        y = m_upper.bottom() + below + pad;
        m_lowerTitleTop = y;
        m_lower = QRectF(0, y + heading, 0, lowerHeight);

        // The y axes: as many ticks as have room for their labels. The
        // histogram's bins are known only with its x axis, which depends on
        // the room the y labels leave: laid out again, its axis raised to
        // the tallest bin, until the axis reaches every bar.
        m_upperY = fitY(bandRange(), true, upperHeight, line);
        double most = mostInABin();
        for (int tries = 0;; ++tries) {
            m_lowerY = fitY({0, most > 0 ? most : 1}, !m_finals.shares, lowerHeight, line);
            double labels = 0;
            for (const Axis* a : {&m_upperY, &m_lowerY})
                for (const QString& l : a->labels)
                    labels = std::max(labels, fm.horizontalAdvance(l));
            const double left = m_rect.left() + pad + line + pad / 2 + labels + 4 + pad / 3;
            // Room on the right for half a label centred on the last tick.
            const double right =
                m_rect.right() - pad - fm.horizontalAdvance(QStringLiteral("-0000.0k")) / 2;
            if (right - left < 8 * line) return false;
            for (QRectF* r : {&m_upper, &m_lower}) {
                r->setLeft(left);
                r->setRight(right);
            }
            m_yTitleLeft = m_rect.left() + pad;

            // The x axes: as many ticks as keep their labels apart.
            const double last =
                m_d.bandSpins.empty() ? 1.0 : static_cast<double>(m_d.bandSpins.back());
            if (!fitX(
                    m_upperX, [&](int n) { return linearAxis(0, last, n, true); }, 8, m_upper, fm))
                return false;
            if (!fitHistogramX(fm)) return false;
            const auto counts = binned(m_lowerX);
            const double tallest = *std::max_element(counts.begin(), counts.end());
            if (tallest <= m_lowerY.ticks.back()) return true;
            if (tries == 3) return false;
            most = std::max(most, tallest);
        }
    }

    void paint(QPainter& p, std::vector<ChartText>* texts) const {
        Ink ink{p, texts};
        const QFontMetricsF fm(m_font);
        const double line = fm.height();
        p.fillRect(m_rect, Qt::white);
        p.setPen(kInk);
        p.setFont(m_titleFont);
        const double titleLine = QFontMetricsF(m_titleFont).height();
        for (int i = 0; i < m_title.size(); ++i)
            ink.text(QRectF(m_rect.left(), m_titleTop + i * titleLine, m_rect.width(), titleLine),
                     Qt::AlignCenter, m_title[i]);

        // The legend.
        p.setFont(m_font);
        for (const auto& [name, kind, at] : m_legend) {
            double x = at.x();
            const QRectF swatch(x, at.y() + line * 0.2, line * 1.2, line * 0.6);
            p.save();
            if (kind < 2) {
                p.fillRect(swatch, kind == 0 ? kOuterBand : kInnerBand);
            } else {
                p.setPen(kind == 2 ? QPen(kMedian, 2) : QPen(kMean, 2, Qt::DashLine));
                p.drawLine(QPointF(swatch.left(), swatch.center().y()),
                           QPointF(swatch.right(), swatch.center().y()));
            }
            p.restore();
            x += 1.6 * line;
            const double w = fm.horizontalAdvance(name);
            p.setPen(kind == 3 ? kMean : kInk);
            ink.text(QRectF(x, at.y(), w + 1, line), Qt::AlignLeft | Qt::AlignVCenter, name);
        }
        p.setPen(kInk);

        const QString upperTitle =
            m_compact ? QString() : QStringLiteral("Net result over a session");
        const QString lowerTitle =
            m_compact ? QString() : QStringLiteral("Net result at the end of the session");
        frame(p, ink, m_upper, m_upperX, m_upperY, m_upperTitleTop, upperTitle,
              QStringLiteral("Spin"), QStringLiteral("Net result"));
        paintBands(p);
        frame(p, ink, m_lower, m_lowerX, m_lowerY, m_lowerTitleTop, lowerTitle,
              m_lowerX.log ? QStringLiteral("Net result (logarithmic on both sides of 0)")
                           : QStringLiteral("Net result"),
              m_finals.shares ? QStringLiteral("% of sessions") : QStringLiteral("Sessions"));
        paintHistogram(p, ink);
    }

  private:
    std::pair<double, double> bandRange() const {
        double lo = 0, hi = 0;
        for (const auto& band : m_d.bands)
            for (double v : band) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        for (double v : m_d.meanPath) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        if (hi <= lo) hi = lo + 1;
        const double pad = (hi - lo) * 0.05;
        return {lo - pad, hi + pad};
    }

    static Axis fitY(std::pair<double, double> range, bool whole, double height, double line) {
        Axis a;
        for (int n = 6; n >= 1; --n) {
            a = linearAxis(range.first, range.second, n, whole);
            if (height / static_cast<double>(a.ticks.size() - 1) >= line * 1.3) break;
        }
        return a;
    }

    template <class Make>
    bool fitX(Axis& axis, Make make, int most, const QRectF& area, const QFontMetricsF& fm) const {
        for (int n = most; n >= 1; --n) {
            axis = make(n);
            if (spansApart(xLabelSpans(axis, fm, area.left(), area.right(), area.left() - 5,
                                       m_rect.right() - 2),
                           fm.horizontalAdvance(QStringLiteral("  "))))
                return true;
        }
        return false;
    }

    // The histogram's range: linear, or signed logarithmic where a tail lies
    // far beyond the body of the results (a Martingale's rare fall of
    // millions beside its common gain of thousands).
    bool fitHistogramX(const QFontMetricsF& fm) {
        double lo = 0, hi = 1;
        if (!m_finals.values.empty()) {
            lo = m_finals.values.front().first;
            hi = m_finals.values.back().first;
        }
        if (hi <= lo) {
            lo -= 0.5;
            hi += 0.5;
        }
        const double body = quantileOf(m_finals, 0.95) - quantileOf(m_finals, 0.05);
        const bool log = std::max(std::abs(lo), std::abs(hi)) >= 1000 && hi - lo > 25 * (body + 1);
        if (!log)
            return fitX(
                m_lowerX, [&](int n) { return linearAxis(lo, hi, n, false); }, 8, m_lower, fm);
        return fitX(
            m_lowerX, [&](int n) { return logAxis(lo, hi, 9 - n); }, 8, m_lower, fm);
    }

    int binOf(double v, const Axis& a) const {
        return std::clamp(static_cast<int>(a.fraction(v) * kBins), 0, kBins - 1);
    }

    std::array<double, kBins> binned(const Axis& a) const {
        std::array<double, kBins> counts{};
        for (const auto& [v, w] : m_finals.values)
            counts[static_cast<size_t>(binOf(v, a))] += w;
        return counts;
    }

    double mostInABin() const {
        // The bins are not known before the x axis; the most any bin of any
        // axis can hold is bounded by the most at one value times the values
        // a bin can take, so the largest bin of a first linear binning serves
        // well enough and is corrected when the axis is known.
        double lo = m_finals.values.empty() ? 0 : m_finals.values.front().first;
        double hi = m_finals.values.empty() ? 1 : m_finals.values.back().first;
        if (hi <= lo) hi = lo + 1;
        double most = 0;
        for (bool log : {false, true}) {
            Axis a;
            a.log = log;
            a.from = onAxis(lo, log);
            a.to = onAxis(hi, log);
            const auto counts = binned(a);
            most = std::max(most, *std::max_element(counts.begin(), counts.end()));
        }
        return most;
    }

    QPointF at(const QRectF& area, const Axis& x, const Axis& y, double vx, double vy) const {
        return {area.left() + x.fraction(vx) * area.width(),
                area.bottom() - y.fraction(vy) * area.height()};
    }

    void frame(QPainter& p, Ink& ink, const QRectF& area, const Axis& x, const Axis& y,
               double titleTop, const QString& title, const QString& xTitle,
               const QString& yTitle) const {
        const QFontMetricsF fm(m_font);
        const double line = fm.height();
        p.setPen(QPen(kGrid, 1));
        for (double v : y.ticks) {
            const double py = area.bottom() - y.fraction(v) * area.height();
            p.drawLine(QPointF(area.left(), py), QPointF(area.right(), py));
        }
        p.setPen(QPen(kInk, 1));
        p.drawRect(area);
        const auto spans =
            xLabelSpans(x, fm, area.left(), area.right(), area.left() - 5, m_rect.right() - 2);
        for (int i = 0; i < x.labels.size(); ++i) {
            const double px =
                area.left() + x.fraction(x.ticks[static_cast<size_t>(i)]) * area.width();
            p.drawLine(QPointF(px, area.bottom()), QPointF(px, area.bottom() + 4));
            const auto& [from, to] = spans[static_cast<size_t>(i)];
            ink.text(QRectF(from, area.bottom() + 5, to - from + 1, line), Qt::AlignHCenter,
                     x.labels[i]);
        }
        for (int i = 0; i < y.labels.size(); ++i) {
            const double py =
                area.bottom() - y.fraction(y.ticks[static_cast<size_t>(i)]) * area.height();
            p.drawLine(QPointF(area.left() - 4, py), QPointF(area.left(), py));
            const double w = fm.horizontalAdvance(y.labels[i]);
            ink.text(QRectF(area.left() - 6 - w - 1, py - line / 2, w + 1, line),
                     Qt::AlignRight | Qt::AlignVCenter, y.labels[i]);
        }
        p.save();
        const FittedText fitted = fitText(m_bold, title, area.width());
        p.setFont(fitted.font);
        if (!title.isEmpty())
            ink.text(QRectF(area.left(), titleTop, area.width(), line), Qt::AlignCenter,
                     fitted.text);
        p.restore();
        const FittedText xt = fitText(m_font, xTitle, area.width());
        p.save();
        p.setFont(xt.font);
        ink.text(QRectF(area.left(), area.bottom() + 5 + line, area.width(), line),
                 Qt::AlignHCenter, xt.text);
        p.restore();
        p.save();
        const FittedText yt = fitText(m_font, yTitle, area.height());
        p.setFont(yt.font);
        p.translate(m_yTitleLeft, area.center().y());
        p.rotate(-90);
        ink.text(QRectF(-area.height() / 2, 0, area.height(), line), Qt::AlignHCenter, yt.text);
        p.restore();
    }

    void paintBands(QPainter& p) const {
        const auto& spins = m_d.bandSpins;
        if (spins.empty()) return;
        const QRectF& area = m_upper;
        const auto pt = [&](double s, double v) { return at(area, m_upperX, m_upperY, s, v); };
        const auto band = [&](const std::vector<double>& low, const std::vector<double>& high,
                              const QColor& colour) {
            QPolygonF poly;
            poly << pt(0, 0);
            for (size_t i = 0; i < spins.size(); ++i)
                poly << pt(static_cast<double>(spins[i]), high[i]);
            for (size_t i = spins.size(); i-- > 0;)
                poly << pt(static_cast<double>(spins[i]), low[i]);
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawPolygon(poly);
        };
        const auto curve = [&](const std::vector<double>& values, const QPen& pen) {
            QPolygonF c;
            c << pt(0, 0);
            for (size_t i = 0; i < spins.size() && i < values.size(); ++i)
                c << pt(static_cast<double>(spins[i]), values[i]);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(c);
        };
        p.save();
        p.setClipRect(area);
        band(m_d.bands[0], m_d.bands[4], kOuterBand);
        band(m_d.bands[1], m_d.bands[3], kInnerBand);
        curve(m_d.bands[2], QPen(kMedian, 2));
        p.setPen(QPen(kInk, 1, Qt::DotLine));
        p.drawLine(pt(0, 0), pt(static_cast<double>(spins.back()), 0));
        curve(m_d.meanPath, QPen(kMean, 2, Qt::DashLine));
        p.restore();
    }

    void paintHistogram(QPainter& p, Ink& ink) const {
        const QRectF& area = m_lower;
        const std::array<double, kBins> counts = binned(m_lowerX);
        const double top = m_lowerY.ticks.back();
        const auto binX = [&](double f) { return area.left() + f * area.width(); };
        // The bins span the axis's range evenly on the axis.
        int lowest = -1, tallest = 0;
        for (int i = 0; i < kBins; ++i) {
            if (counts[static_cast<size_t>(i)] > 0 && lowest < 0) lowest = i;
            if (counts[static_cast<size_t>(i)] > counts[static_cast<size_t>(tallest)]) tallest = i;
        }
        p.save();
        p.setClipRect(area);
        for (int i = 0; i < kBins; ++i) {
            const double c = counts[static_cast<size_t>(i)];
            if (c <= 0) continue;
            const double x0 = binX(static_cast<double>(i) / kBins);
            const double x1 = binX(static_cast<double>(i + 1) / kBins);
            // A bin holding anything is seen, however small its share.
            const double h = std::max(3.0, c / top * area.height());
            p.setPen(QPen(Qt::white, 0.5));
            p.setBrush(i == lowest && lowest != tallest ? kMean : kBars);
            p.drawRect(QRectF(x0, area.bottom() - h, x1 - x0, h));
        }
        // The mean, where the axis reaches it.
        const double fm = m_lowerX.fraction(m_d.mean);
        if (fm >= 0 && fm <= 1) {
            p.setPen(QPen(kMean, 2, Qt::DashLine));
            p.drawLine(QPointF(binX(fm), area.top()), QPointF(binX(fm), area.bottom()));
        }
        p.restore();
        // The loss tail: the lowest results, their share and how low they go.
        if (lowest >= 0 && lowest != tallest) {
            const QString label =
                QStringLiteral("%1 of sessions end in this bar, the lowest at %2")
                    .arg(shareText(100 * counts[static_cast<size_t>(lowest)] / m_finals.total),
                         shortNumber(m_finals.values.front().first));
            const FittedText t = fitText(m_font, label, area.width() - 8);
            p.save();
            p.setFont(t.font);
            p.setPen(kMean);
            const double w = QFontMetricsF(t.font).horizontalAdvance(t.text) + 1;
            const double x = std::clamp(binX(static_cast<double>(lowest) / kBins), area.left() + 4,
                                        area.right() - 4 - w);
            ink.text(QRectF(x, area.top() + 3, w, QFontMetricsF(t.font).height()), Qt::AlignLeft,
                     t.text);
            p.restore();
        }
    }

    const SimChartData& m_d;
    QRectF m_rect;
    QFont m_font, m_titleFont, m_bold;
    Finals m_finals;
    QStringList m_title;
    double m_titleTop = 0;
    struct LegendItem {
        QString name;
        int kind; // 0, 1: the bands; 2: the median; 3: the mean
        QPointF at;
    };
    std::vector<LegendItem> m_legend;
    bool m_compact = false;
    double m_upperTitleTop = 0, m_lowerTitleTop = 0, m_yTitleLeft = 0;
    QRectF m_upper, m_lower;
    Axis m_upperX, m_upperY, m_lowerX, m_lowerY;
};

} // namespace

std::vector<double> chartTicks(double lo, double hi, int count, bool whole) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) return {0.0, 1.0};
    if (hi < lo) std::swap(lo, hi);
    if (hi == lo) {
        lo -= 0.5;
        hi += 0.5;
    }
    count = std::max(count, 1);
    const double raw = (hi - lo) / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * power;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * power * (1 + 1e-12)) {
            step = m * power;
            break;
        }
    if (whole) step = std::max(step, 1.0);
    // Counted in steps, so that no sum of steps drifts off a round number.
    const double first = std::floor(lo / step + 1e-9);
    const double last = std::ceil(hi / step - 1e-9);
    std::vector<double> out;
    for (double i = first; i <= last; ++i) {
        const double v = i * step;
        out.push_back(v == 0 ? 0.0 : v);
    }
    if (out.size() < 2) out.push_back((last + 1) * step);
    return out;
}

FittedText fitText(const QFont& font, const QString& text, double width) {
    FittedText fitted{font, text};
    const double smallest =
        std::max(double(kSimChartSmallestFont),
                 (font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF()) * 0.75);
    const auto size = [](const QFont& f) {
        return f.pixelSize() > 0 ? double(f.pixelSize()) : f.pointSizeF();
    };
    const auto setSize = [](QFont& f, double s) {
        if (f.pixelSize() > 0)
            f.setPixelSize(static_cast<int>(s));
        else
            f.setPointSizeF(s);
    };
    while (QFontMetricsF(fitted.font).horizontalAdvance(text) > width &&
           size(fitted.font) - 1 >= smallest)
        setSize(fitted.font, size(fitted.font) - 1);
    const QFontMetricsF fm(fitted.font);
    if (fm.horizontalAdvance(text) > width)
        fitted.text = fm.elidedText(text, Qt::ElideRight, std::max(0.0, width));
    return fitted;
}

bool drawSimChart(QPainter& p, const QRectF& rect, const SimChartData& data,
                  std::vector<ChartText>* texts) {
    // The largest font the height suggests, smaller where the texts need it,
    // down to the smallest that is read with ease.
    const int wanted = std::clamp(static_cast<int>(rect.height() / 50), kSimChartSmallestFont, 22);
    // Whole, or else compact (one line of title, no plot titles).
    for (bool compact : {false, true})
        for (int px = wanted; px >= kSimChartSmallestFont; --px) {
            Layout layout(data, rect, px, compact);
            if (!layout.build()) continue;
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            layout.paint(p, texts);
            p.restore();
            return true;
        }
    return false;
}

QByteArray simChartFile(const QString& path, QSize size, const SimChartData& data, QString* error) {
    const QRectF rect(QPointF(0, 0), QSizeF(size));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        const SvgWriter write = svgWriter(error);
        if (!write) return {};
        struct Drawing {
            QRectF rect;
            const SimChartData* data;
        } drawing{rect, &data};
        const auto paint = [](QPainter& p, void* context) {
            const auto* d = static_cast<const Drawing*>(context);
            drawSimChart(p, d->rect, *d->data);
        };
        if (!write(&buffer, size, data.title, paint, &drawing)) {
            if (error) *error = QStringLiteral("the chart could not be drawn");
            return {};
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
    if (!image.save(&buffer, "PNG")) {
        if (error) *error = QStringLiteral("the chart could not be drawn");
        return {};
    }
    return buffer.data();
}

bool saveSimChart(const QString& path, QSize size, const SimChartData& data, QString* error) {
    const QByteArray bytes = simChartFile(path, size, data, error);
    if (bytes.isEmpty()) return false;
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
    const uint64_t perSession = sim::spinsPerSession(config);
    // Sessions that stopped early played fewer spins than the run's length.
    const bool early = report.exact ? report.endingRates[0].value < 1 - 1e-12
                                    : report.endings[0] < report.sessions;
    SimChartData chart;
    QStringList& t = chart.titleParts;
    // The settings in the report's words (settings.h).
    for (const std::string& phrase : settingPhrases(s, SettingGroup::Every))
        t << QString::fromStdString(phrase);
    if (s.gameMode == setting::kSequential)
        for (const std::string& phrase : settingPhrases(s, SettingGroup::Sequential))
            t << QString::fromStdString(phrase);
    t << (config.bankroll ? QStringLiteral("bankroll %1").arg(*config.bankroll)
                          : QStringLiteral("no bankroll"))
      << (config.tableLimit ? QStringLiteral("table limit %1").arg(*config.tableLimit)
                            : QStringLiteral("no table limit"));
    const QString length = QStringLiteral("%1%2 spins").arg(early ? "up to " : "").arg(perSession);
    if (report.exact)
        t << QStringLiteral("exact: every session of %1 on a fair wheel").arg(length);
    else if (!config.recorded.empty())
        t << QStringLiteral("%1 sessions of %2 recorded").arg(report.sessions).arg(length);
    else
        t << QStringLiteral("%1 sessions of %2").arg(report.sessions).arg(length);
    chart.title = t.join(QStringLiteral(", "));
    chart.bandSpins = report.bandSpins;
    chart.bands = report.bands;
    chart.meanPath = report.meanPath;
    chart.mean = report.netMean;
    chart.finalNets = report.finalNets;
    chart.netDistribution = report.netDistribution;
    return chart;
}

} // namespace vantel
