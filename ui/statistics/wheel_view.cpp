#include "statistics/wheel_view.h"

#include "board.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <cmath>
#include <limits>

using vantel::sim::kWheelOrder;
using vantel::sim::kWheelPockets;
using vantel::sim::WheelStats;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfPocket = kPi / kWheelPockets;

// The colours of the Statistics window's numbers.
constexpr QRgb kRed = 0xFFC00000;
constexpr QRgb kBlack = 0xFF1A1A1A;
constexpr QRgb kGreen = 0xFF008000;
constexpr QRgb kRim = 0xFFC9B27C;        // the frets between the pockets
constexpr QRgb kBand = 0xFFF3F1EC;       // under the heat bars
constexpr QRgb kFairLine = 0xFF8A8A8A;   // the fair count
constexpr QRgb kHeat = 0xFFE8731A;       // a pocket's count
constexpr QRgb kHeatBeyond = 0xFFA31A12; // a count beyond the band
constexpr QRgb kInside = 0xFF2E3B33;     // the wheel's middle
constexpr QRgb kDot = 0xFFF4F1E6;
constexpr QRgb kLatest = 0xFFFFC93C; // the latest spin's dot and its neighbours' outline
// Kept clear round each pocket's number, in pixels.
constexpr double kLabelGap = 1.0;

QRgb pocketColour(int number) {
    const vantel::NumberColour colour = vantel::colourOf(number);
    return colour == vantel::NumberColour::Red     ? kRed
           : colour == vantel::NumberColour::Green ? kGreen
                                                   : kBlack;
}

QPointF onWheel(QPointF centre, double r, double angle) {
    return {centre.x() + r * std::sin(angle), centre.y() - r * std::cos(angle)};
}

// The ring between two radii from one angle to another, clockwise from the top.
QPainterPath ringPart(QPointF centre, double inner, double outer, double from, double to) {
    const auto degrees = [](double angle) { return 90 - angle * 180 / kPi; };
    const QRectF out(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer);
    const QRectF in(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner);
    QPainterPath path;
    path.arcMoveTo(out, degrees(from));
    path.arcTo(out, degrees(from), degrees(to) - degrees(from));
    path.arcTo(in, degrees(to), degrees(from) - degrees(to));
    path.closeSubpath();
    return path;
}

// The same with straight chords through the middle of each pocket: close
// enough at this size, and several times faster to fill.
QPolygonF ringPolygon(QPointF centre, double inner, double outer, double from, double to) {
    const double middle = (from + to) / 2;
    return QPolygonF({onWheel(centre, outer, from), onWheel(centre, outer, middle),
                      onWheel(centre, outer, to), onWheel(centre, inner, to),
                      onWheel(centre, inner, middle), onWheel(centre, inner, from)});
}

QString numberList(const std::vector<int>& numbers) {
    QStringList out;
    for (int n : numbers)
        out << QString::number(n);
    return out.join(QStringLiteral(", "));
}

// What the wheel shows, for assistive tools: the latest spins, and the
// hottest and coldest pockets with their counts.
QString spokenText(const WheelStats& stats) {
    if (stats.recent.empty()) return QStringLiteral("No spins yet.");
    const auto [low, high] =
        std::minmax_element(stats.pocketCounts.begin(), stats.pocketCounts.end());
    const auto pockets = [&](uint64_t count) {
        std::vector<int> numbers;
        for (size_t i = 0; i < stats.pocketCounts.size(); ++i)
            if (stats.pocketCounts[i] == count) numbers.push_back(kWheelOrder[i]);
        std::sort(numbers.begin(), numbers.end());
        return QStringLiteral("%1 (%2 %3)")
            .arg(numberList(numbers))
            .arg(count)
            .arg(count == 1 ? QStringLiteral("spin") : QStringLiteral("spins"));
    };
    return QStringLiteral("Latest spins, newest first: %1. Hottest: %2. Coldest: %3.")
        .arg(numberList(stats.recent), pockets(*high), pockets(*low));
}

} // namespace

WheelView::WheelView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WheelView"));
    setAccessibleName(QStringLiteral("The wheel: each pocket's count and the last ten spins"));
    // Reached by Tab, so that a screen reader reads its text.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    m_latest.setTextFormat(Qt::PlainText);
    m_latest.setPerformanceHint(QStaticText::AggressiveCaching);
}

void WheelView::set(const WheelStats& stats) {
    if (stats.pocketCounts == m_stats.pocketCounts && stats.recent == m_stats.recent) return;
    if (!stats.recent.empty() &&
        (m_stats.recent.empty() || stats.recent.front() != m_stats.recent.front()))
        m_latest.setText(QString::number(stats.recent.front()));
    m_stats = stats;
    setAccessibleDescription(spokenText(stats));
    update();
}

void WheelView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        m_pockets = QPixmap();
        m_ring = QPixmap();
        m_dots = {};
        m_outlines = {};
    }
    QWidget::changeEvent(event);
}

QPointF WheelView::centre() const {
    return QRectF(rect()).center();
}

double WheelView::radius() const {
    return std::max(1.0, std::min(width(), height()) / 2.0 - 4);
}

double WheelView::pocketAngle(int pocket) {
    return 2 * kPi * pocket / kWheelPockets;
}

const QPixmap& WheelView::pockets(double ratio) const {
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_pockets.size() == pixels && m_pockets.devicePixelRatio() == ratio) return m_pockets;
    m_pockets = QPixmap(pixels);
    m_pockets.setDevicePixelRatio(ratio);
    m_pockets.fill(palette().color(QPalette::Window));
    QPainter p(&m_pockets);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c = centre();
    const double r = radius();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kBand));
    p.drawEllipse(c, r * WheelRings::kHeatOuter, r * WheelRings::kHeatOuter);
    p.setBrush(QColor(kInside));
    p.drawEllipse(c, r * WheelRings::kPocketOuter, r * WheelRings::kPocketOuter);
    for (int i = 0; i < kWheelPockets; ++i) {
        const double a = pocketAngle(i);
        p.setBrush(QColor(pocketColour(kWheelOrder[static_cast<size_t>(i)])));
        p.drawPath(ringPart(c, r * WheelRings::kPocketInner, r * WheelRings::kPocketOuter,
                            a - kHalfPocket, a + kHalfPocket));
    }
    p.setPen(QPen(QColor(kRim), std::max(1.0, r / 140)));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < kWheelPockets; ++i) {
        const double a = pocketAngle(i) - kHalfPocket;
        p.drawLine(onWheel(c, r * WheelRings::kPocketInner, a),
                   onWheel(c, r * WheelRings::kPocketOuter, a));
    }
    p.drawEllipse(c, r * WheelRings::kPocketInner, r * WheelRings::kPocketInner);
    p.drawEllipse(c, r * WheelRings::kPocketOuter, r * WheelRings::kPocketOuter);

    // The numbers run along the radius, each in the middle of its pocket,
    // read from the centre out on the right half and from the rim in on the
    // left, so that none stands on its head.
    const PocketLabels labels = pocketLabels();
    p.setFont(labels.font);
    p.setPen(Qt::white);
    const QFontMetricsF fm(labels.font);
    for (int i = 0; i < kWheelPockets; ++i) {
        const QString text = QString::number(kWheelOrder[static_cast<size_t>(i)]);
        p.save();
        p.setTransform(labelTransform(i, labels), true);
        p.drawText(QPointF(-fm.horizontalAdvance(text) / 2, labels.capHeight / 2), text);
        p.restore();
    }
    return m_pockets;
}

WheelView::PocketLabels WheelView::pocketLabels() const {
    const double r = radius();
    PocketLabels labels;
    labels.font = font();
    labels.font.setBold(true);
    labels.radius = r * (WheelRings::kPocketInner + WheelRings::kPocketOuter) / 2;
    const double depth = r * (WheelRings::kPocketOuter - WheelRings::kPocketInner);
    // The largest size whose widest number fits the pocket's depth and whose
    // height leaves a pixel or more to either neighbour at the number's inner
    // end, where the pockets are narrowest.
    for (int size = std::max(6, static_cast<int>(r * 0.12)); size >= 6; --size) {
        labels.font.setPixelSize(size);
        const QFontMetricsF fm(labels.font);
        const double width = fm.horizontalAdvance(QStringLiteral("00"));
        // The digits' own height: a font's cap height is not always told.
        labels.capHeight = fm.tightBoundingRect(QStringLiteral("0123456789")).height();
        const double inner = labels.radius - width / 2;
        const double room = 2 * inner * std::sin(kHalfPocket) - 2 * kLabelGap;
        if (width <= depth - 2 * kLabelGap && labels.capHeight <= room) break;
    }
    return labels;
}

QTransform WheelView::labelTransform(int pocket, const PocketLabels& labels) const {
    const double a = pocketAngle(pocket);
    QTransform t;
    const QPointF at = onWheel(centre(), labels.radius, a);
    t.translate(at.x(), at.y());
    t.rotate(a * 180 / kPi + (a > kPi ? 90 : -90));
    return t;
}

QPolygonF WheelView::pocketLabelBox(int pocket) const {
    const PocketLabels labels = pocketLabels();
    const QFontMetricsF fm(labels.font);
    const QString text = QString::number(kWheelOrder[static_cast<size_t>(pocket)]);
    const QRectF glyphs = fm.tightBoundingRect(text).translated(-fm.horizontalAdvance(text) / 2,
                                                                labels.capHeight / 2);
    return labelTransform(pocket, labels).map(QPolygonF(glyphs));
}

// A bar's length in device pixels; one more than the band for a count
// beyond twice the fair count, which is drawn in a darker colour.
int WheelView::barPixels(int pocket, double ratio) const {
    const uint64_t count = m_stats.pocketCounts[static_cast<size_t>(pocket)];
    if (count == 0 || m_stats.expectedPerPocket <= 0) return 0;
    const double band = radius() * (WheelRings::kHeatOuter - WheelRings::kHeatInner) * ratio;
    const double share = static_cast<double>(count) / (2 * m_stats.expectedPerPocket);
    if (share > 1) return static_cast<int>(std::lround(band)) + 1;
    return static_cast<int>(std::lround(band * share));
}

void WheelView::drawBar(QPainter& p, int pocket, int pixels, double ratio) const {
    if (pixels <= 0) return;
    const double r = radius();
    const int band = static_cast<int>(
        std::lround(r * (WheelRings::kHeatOuter - WheelRings::kHeatInner) * ratio));
    const double length = std::min(pixels, band) / ratio;
    const double a = pocketAngle(pocket);
    // A hair apart, so neighbouring bars read as bars.
    const double gap = kHalfPocket * 0.12;
    p.setBrush(QColor(pixels > band ? kHeatBeyond : kHeat));
    p.drawPolygon(ringPolygon(centre(), r * WheelRings::kHeatInner,
                              r * WheelRings::kHeatInner + length, a - kHalfPocket + gap,
                              a + kHalfPocket - gap));
}

const QPixmap& WheelView::ring(double ratio) const {
    const QPixmap& under = pockets(ratio);
    const QPointF c = centre();
    const double r = radius();
    std::array<int, kWheelPockets> bars{};
    for (int i = 0; i < kWheelPockets; ++i)
        bars[static_cast<size_t>(i)] = barPixels(i, ratio);
    const bool whole = m_ring.size() != under.size() || m_ring.devicePixelRatio() != ratio;
    if (!whole && bars == m_ringBars) return m_ring;
    // The square round each pocket's part of the band.
    if (whole)
        for (int i = 0; i < kWheelPockets; ++i) {
            const double a = pocketAngle(i);
            m_bands[static_cast<size_t>(i)] =
                ringPolygon(c, r * WheelRings::kHeatInner, r * WheelRings::kHeatOuter,
                            a - kHalfPocket, a + kHalfPocket)
                    .boundingRect()
                    .adjusted(-2, -2, 2, 2);
        }
    if (whole) m_ring = under.copy();
    QPainter p(&m_ring);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const auto fairLine = [&] {
        const double fair = r * (WheelRings::kHeatInner + WheelRings::kHeatOuter) / 2;
        p.setPen(QPen(QColor(kFairLine), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, fair, fair);
        p.setPen(Qt::NoPen);
    };
    if (whole) {
        for (int i = 0; i < kWheelPockets; ++i)
            drawBar(p, i, bars[static_cast<size_t>(i)], ratio);
        fairLine();
    } else {
        for (int i = 0; i < kWheelPockets; ++i) {
            if (bars[static_cast<size_t>(i)] == m_ringBars[static_cast<size_t>(i)]) continue;
            // The band there afresh, and every bar that reaches into it.
            const QRectF area = m_bands[static_cast<size_t>(i)];
            p.setClipRect(area);
            p.drawPixmap(0, 0, under);
            for (int j = 0; j < kWheelPockets; ++j)
                if (m_bands[static_cast<size_t>(j)].intersects(area))
                    drawBar(p, j, bars[static_cast<size_t>(j)], ratio);
            fairLine();
        }
    }
    m_ringBars = bars;
    return m_ring;
}

const QPixmap& WheelView::dot(size_t place, double ratio) const {
    const double diameter = radius() * WheelRings::kDot;
    const double side = std::ceil(diameter + 2);
    const QSize pixels = QSize(1, 1) * static_cast<int>(std::ceil(side * ratio));
    QPixmap& sprite = m_dots[place];
    if (sprite.size() == pixels && sprite.devicePixelRatio() == ratio) return sprite;
    sprite = QPixmap(pixels);
    sprite.setDevicePixelRatio(ratio);
    sprite.fill(Qt::transparent);
    QPainter p(&sprite);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF middle(pixels.width() / ratio / 2, pixels.height() / ratio / 2);
    p.setPen(QPen(QColor(0, 0, 0, 160), 1));
    p.setBrush(QColor(place == 0 ? kLatest : kDot));
    p.drawEllipse(middle, diameter / 2, diameter / 2);
    QFont font = this->font();
    font.setBold(true);
    font.setPixelSize(std::max(6, static_cast<int>(diameter * 0.62)));
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(0, 0, pixels.width() / ratio, pixels.height() / ratio), Qt::AlignCenter,
               QString::number(place + 1));
    return sprite;
}

const WheelView::Sprite& WheelView::outline(int pocket, double ratio) const {
    Sprite& sprite = m_outlines[static_cast<size_t>(pocket)];
    if (sprite.size == size() && sprite.pixmap.devicePixelRatio() == ratio) return sprite;
    const QPointF c = centre();
    const double r = radius();
    const double a = pocketAngle(pocket);
    // The latest spin and two neighbours on either side, outlined by lines
    // one device pixel wide, a few side by side.
    const auto shape = [&](double from, double to, double out) {
        QPolygonF line;
        const double inner = r * WheelRings::kPocketInner - out;
        const double outer = r * WheelRings::kPocketOuter + out;
        const double spread = out / inner;
        constexpr int kSteps = 12;
        for (int k = 0; k <= kSteps; ++k)
            line << onWheel(c, outer, from - spread + (to - from + 2 * spread) * k / kSteps);
        for (int k = kSteps; k >= 0; --k)
            line << onWheel(c, inner, from - spread + (to - from + 2 * spread) * k / kSteps);
        line << line.front();
        return line;
    };
    const double step = 1 / ratio;
    const int lines = static_cast<int>(std::lround(std::max(2.0, r / 70) * ratio));
    const double from = a - 5 * kHalfPocket, to = a + 5 * kHalfPocket;
    const QRectF box = shape(from, to, (lines + 2) * step).boundingRect();
    const QPointF corner(std::floor(box.left() * ratio) / ratio,
                         std::floor(box.top() * ratio) / ratio);
    sprite.size = size();
    sprite.corner = corner;
    sprite.pixmap = QPixmap((box.size() * ratio).toSize() + QSize(2, 2));
    sprite.pixmap.setDevicePixelRatio(ratio);
    sprite.pixmap.fill(Qt::transparent);
    QPainter p(&sprite.pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-corner);
    QPen pen(QColor(0, 0, 0, 200), 1);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.drawPolyline(shape(from, to, -step));
    p.drawPolyline(shape(from, to, lines * step));
    pen.setColor(QColor(kLatest));
    p.setPen(pen);
    for (int k = 0; k < lines; ++k)
        p.drawPolyline(shape(from, to, k * step));
    pen.setColor(Qt::white);
    p.setPen(pen);
    for (int k = 0; k < std::max(1, lines / 2); ++k)
        p.drawPolyline(shape(a - kHalfPocket, a + kHalfPocket, -(k + 2) * step));
    return sprite;
}

void WheelView::paintWheel(QPainter& p, double ratio) const {
    p.drawPixmap(0, 0, ring(ratio));
    if (m_stats.recent.empty()) return;
    const QPointF c = centre();
    const double r = radius();
    p.setRenderHint(QPainter::Antialiasing);

    const int last = vantel::sim::pocketOf(m_stats.recent.front());
    const Sprite& frame = outline(last, ratio);
    p.drawPixmap(frame.corner, frame.pixmap);

    std::array<int, kWheelPockets> stacked{};
    const double diameter = r * WheelRings::kDot;
    for (size_t k = 0; k < m_stats.recent.size(); ++k) {
        const int pocket = vantel::sim::pocketOf(m_stats.recent[k]);
        const int below = stacked[static_cast<size_t>(pocket)]++;
        const double at = std::max(r * 0.24, r * WheelRings::kRecent - below * diameter * 1.05);
        const QPixmap& sprite = dot(k, ratio);
        const QPointF corner = onWheel(c, at, pocketAngle(pocket)) -
                               QPointF(sprite.width(), sprite.height()) / ratio / 2;
        // On whole device pixels, so the sprite is copied, not resampled.
        p.drawPixmap(
            QPointF(std::round(corner.x() * ratio) / ratio, std::round(corner.y() * ratio) / ratio),
            sprite);
    }

    QFont font = this->font();
    font.setBold(true);
    font.setPixelSize(std::max(9, static_cast<int>(r * 0.16)));
    p.setFont(font);
    p.setPen(pocketColour(m_stats.recent.front()) == kBlack ? QColor(Qt::white) : QColor(kLatest));
    const QSizeF size = m_latest.size();
    p.drawStaticText(c - QPointF(size.width() / 2, size.height() / 2), m_latest);
}

void WheelView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintWheel(p, devicePixelRatioF());
}

QImage WheelView::paintedAt(double ratio) const {
    QImage image((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(palette().color(QPalette::Window));
    QPainter p(&image);
    paintWheel(p, ratio);
    return image;
}

namespace {

// The cells of the figures beside the wheel.
enum CellId : int {
    kHeader = 0,               // four: sector, pockets, count, fair
    kSectorRows = kHeader + 4, // four a sector
    kArcsTitle = kSectorRows + 4 * vantel::sim::kSectors,
    kArcsTest, // chi-square, or spins to go
    kArcsP,    // p and its reading
    kArcsMost, // the arc most above its fair count
    kChartTitle,
    kAxis,                  // 0, 3, ... 18 under the bars
    kDistances = kAxis + 7, // how many, their mean
    kDistancesTest,
    kDistancesP,
    kCells
};

QStringList chiSquareLine(double chiSquare, int degreesOfFreedom) {
    return {QStringLiteral("chi-square "), QString::number(chiSquare, 'f', 2),
            QStringLiteral(" with %1 degrees of freedom,").arg(degreesOfFreedom)};
}

QStringList pLine(double pValue, const char* reading) {
    return {QStringLiteral("p = "), QString::number(pValue, 'f', 4),
            QStringLiteral(": %1.").arg(QString::fromLatin1(reading))};
}

} // namespace

WheelFigures::WheelFigures(QWidget* parent) : QWidget(parent), m_cells(kCells) {
    setObjectName(QStringLiteral("WheelFigures"));
    setAccessibleName(QStringLiteral("The wheel's sectors, neighbourhoods and distances"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    for (Cell& cell : m_cells) {
        cell.glyphs.setTextFormat(Qt::PlainText);
        cell.glyphs.setPerformanceHint(QStaticText::AggressiveCaching);
    }
    const char* header[] = {"Sector", "Pockets", "Count", "Fair"};
    for (int i = 0; i < 4; ++i) {
        m_cells[static_cast<size_t>(kHeader + i)].strong = true;
        setCell(kHeader + i, QString::fromLatin1(header[i]));
    }
    const WheelStats none = vantel::sim::WheelTally().stats();
    for (int k = 0; k < vantel::sim::kSectors; ++k) {
        const auto& sector = none.sectors[static_cast<size_t>(k)];
        setCell(kSectorRows + 4 * k,
                QStringLiteral("%1 (%2)").arg(QString::fromLatin1(sector.name)).arg(sector.size));
        setCell(kSectorRows + 4 * k + 1, QString::fromLatin1(sector.pockets));
        for (int c : {2, 3})
            m_cells[static_cast<size_t>(kSectorRows + 4 * k + c)].align = Qt::AlignRight;
    }
    m_cells[kArcsTitle].strong = true;
    m_cells[kChartTitle].strong = true;
    // In pieces, so that a narrow panel takes them on two lines.
    setLine(kArcsTitle, {QStringLiteral("Neighbourhoods: "),
                         QStringLiteral("%1 arcs of 5 or 6 pockets").arg(vantel::sim::kArcs)});
    setLine(kChartTitle,
            {QStringLiteral("Pockets to the next spin "), QStringLiteral("(line: fair share)")});
    for (int k = 0; k < 7; ++k) {
        setCell(kAxis + k, QString::number(3 * k));
        m_cells[static_cast<size_t>(kAxis + k)].align = Qt::AlignHCenter;
    }
    place();
    set(none);
}

QSize WheelFigures::sizeHint() const {
    const int width = static_cast<int>(std::ceil(std::max(m_tableWidth, m_widestLine))) + 4;
    return {width, heightForWidth(width)};
}

QSize WheelFigures::minimumSizeHint() const {
    const int width = static_cast<int>(std::ceil(m_narrowWidth)) + 4;
    return {width, heightForWidth(width)};
}

int WheelFigures::heightForWidth(int width) const {
    return static_cast<int>(std::ceil(const_cast<WheelFigures*>(this)->arrange(width, false)));
}

void WheelFigures::setCell(int id, const QString& text) {
    Cell& cell = m_cells[static_cast<size_t>(id)];
    if (cell.string == text) return;
    cell.string = text;
    cell.glyphs.setText(text);
    // Laid out now in the font it is drawn in; else measuring it and drawing
    // it would each lay it out again.
    QFont laid = font();
    laid.setBold(cell.strong);
    cell.glyphs.prepare(QTransform(), laid);
    update(cell.rect.toAlignedRect());
}

void WheelFigures::setLine(int id, const QStringList& pieces) {
    Cell& cell = m_cells[static_cast<size_t>(id)];
    bool same = static_cast<int>(cell.pieces.size()) == pieces.size();
    for (int i = 0; same && i < pieces.size(); ++i)
        same = cell.pieces[static_cast<size_t>(i)].string == pieces[i];
    if (same) return;
    cell.string = pieces.join(QString());
    std::vector<Piece> before = std::move(cell.pieces);
    std::vector<Piece> after(static_cast<size_t>(pieces.size()));
    std::vector<bool> kept(after.size(), false);
    QFont laid = font();
    laid.setBold(cell.strong);
    const QFontMetricsF fm(laid);
    for (size_t i = 0; i < after.size(); ++i) {
        const QString& text = pieces[static_cast<int>(i)];
        // A piece seen before keeps its layout.
        if (i < before.size() && before[i].string == text) {
            after[i] = before[i];
            kept[i] = true;
            continue;
        }
        Piece& piece = after[i];
        piece.string = text;
        piece.glyphs.setTextFormat(Qt::PlainText);
        piece.glyphs.setPerformanceHint(QStaticText::AggressiveCaching);
        piece.glyphs.setText(text);
        piece.glyphs.prepare(QTransform(), laid);
        piece.advance = fm.horizontalAdvance(text);
    }
    cell.pieces = std::move(after);
    placeLine(cell);
    // What moved or changed is drawn again; pieces that stayed are not.
    for (size_t i = 0; i < std::max(before.size(), cell.pieces.size()); ++i) {
        const QRectF now = i < cell.pieces.size() ? cell.pieces[i].rect : QRectF();
        const QRectF was = i < before.size() ? before[i].rect : QRectF();
        if (i < kept.size() && kept[i] && now == was) continue;
        if (!was.isNull()) update(was.toAlignedRect());
        if (!now.isNull()) update(now.toAlignedRect());
    }
}

void WheelFigures::placeLine(Cell& cell) {
    // Pieces go on a second line where the first has no room for them, the
    // space they start with hanging before the margin.
    double x = cell.rect.left();
    double y = cell.rect.top();
    for (Piece& piece : cell.pieces) {
        if (x > cell.rect.left() && x + piece.advance > cell.rect.right() + 0.5 &&
            y + 2 * m_lineHeight <= cell.rect.bottom() + 0.5) {
            y += m_lineHeight;
            x = cell.rect.left() - (piece.string.startsWith(QLatin1Char(' ')) ? m_space : 0);
        }
        piece.rect = QRectF(x, y, piece.advance, m_lineHeight);
        x += piece.advance;
    }
}

void WheelFigures::place() {
    arrange(width(), true);
    for (Cell& cell : m_cells)
        placeLine(cell);
    update();
}

double WheelFigures::arrange(double width, bool apply) {
    QFont strong = font();
    strong.setBold(true);
    const QFontMetricsF fm(font());
    const QFontMetricsF bold(strong);
    m_lineHeight = static_cast<int>(fm.lineSpacing()) + 2;
    m_space = fm.horizontalAdvance(QLatin1Char(' '));
    const double h = m_lineHeight;
    const double w = width - 4;
    const auto cellAt = [&](int id) -> Cell& { return m_cells[static_cast<size_t>(id)]; };
    // The sector table's columns take their widest text.
    double columns[4] = {0, 0, 0, 0};
    for (int c = 0; c < 4; ++c) {
        columns[c] = bold.horizontalAdvance(cellAt(kHeader + c).string);
        for (int k = 0; k < vantel::sim::kSectors; ++k)
            columns[c] =
                std::max(columns[c], fm.horizontalAdvance(cellAt(kSectorRows + 4 * k + c).string));
    }
    columns[2] = std::max(columns[2], fm.horizontalAdvance(QStringLiteral("00000")));
    columns[3] = std::max(columns[3], fm.horizontalAdvance(QStringLiteral("0000.0")));
    m_tableWidth = columns[0] + columns[1] + columns[2] + columns[3] + 3 * 8;
    // Narrow, each sector's pockets go on a line under its name.
    const double narrowTable =
        std::max(columns[0], kIndent + columns[1]) + columns[2] + columns[3] + 2 * 8;
    // The widest each line can be, whatever the figures: a line that might not
    // fit is given two, so that the panel's height never follows the spins.
    const auto widest = [&](std::initializer_list<const char*> texts, const QFontMetricsF& m) {
        double most = 0;
        for (const char* t : texts)
            most = std::max(most, m.horizontalAdvance(QString::fromLatin1(t)));
        return most;
    };
    const double test = widest({"chi-square 0000.00 with 36 degrees of freedom,",
                                "The test needs 37 distances; 37 more to go."},
                               fm);
    const double reading = widest({"p = 0.0000: uneven; keep watching."}, fm);
    const auto need = [&](int id) -> double {
        switch (id) {
        case kArcsTitle:
        case kChartTitle:
            return bold.horizontalAdvance(cellAt(id).string);
        case kArcsTest:
        case kDistancesTest:
            return test;
        case kArcsP:
        case kDistancesP:
            return reading;
        case kArcsMost:
            return widest({"Hottest arc: 00 to 00, 000000 against 00000.0 fair."}, fm);
        default:
            return widest({"000000 distances, on average 00.00 pockets (fair: 9.25)."}, fm);
        }
    };
    m_widestLine = 0;
    for (int id : {kArcsTitle, kArcsTest, kArcsP, kArcsMost, kChartTitle, kDistances})
        m_widestLine = std::max(m_widestLine, need(id));
    // Narrowest: the table with its pockets under the names, and each line's
    // longest piece.
    m_narrowWidth = std::max(narrowTable, 200.0);
    for (const Cell& cell : m_cells)
        for (const Piece& piece : cell.pieces)
            m_narrowWidth = std::max(m_narrowWidth, piece.advance);

    const bool narrow = m_tableWidth > w;
    double y = 2;
    if (apply) {
        double x = 2;
        double at[4];
        for (int c = 0; c < 4; ++c) {
            at[c] = x;
            if (!narrow || c != 1) x += columns[c] + 8;
        }
        if (narrow) {
            at[1] = 2 + kIndent;
            columns[0] = std::max(columns[0], kIndent + columns[1]);
            at[2] = 2 + columns[0] + 8;
            at[3] = at[2] + columns[2] + 8;
        }
        for (int c = 0; c < 4; ++c)
            for (int row = 0; row <= vantel::sim::kSectors; ++row) {
                const int id = row == 0 ? kHeader + c : kSectorRows + 4 * (row - 1) + c;
                const int line = narrow ? (row == 0 ? 0 : 2 * row - 1 + (c == 1 ? 1 : 0)) : row;
                Cell& cell = cellAt(id);
                // Narrow, the pockets' heading goes: the pockets are under their sector.
                cell.rect = narrow && row == 0 && c == 1
                                ? QRectF()
                                : QRectF(at[c], 2 + line * h, columns[c], h);
                if (c >= 2) cell.align = Qt::AlignRight;
            }
    }
    y += (narrow ? 1 + 2 * vantel::sim::kSectors : 1 + vantel::sim::kSectors) * h + h / 2;
    const auto line = [&](int id) {
        const double height = (need(id) > w ? 2 : 1) * h;
        if (apply) cellAt(id).rect = QRectF(2, y, w, height);
        y += height;
    };
    for (int id = kArcsTitle; id <= kArcsMost; ++id)
        line(id);
    y += h / 2;
    line(kChartTitle);
    if (apply) m_chart = QRectF(2, y + 2, w, 84);
    y += 90;
    if (apply) {
        const double slot = m_chart.width() / vantel::sim::kDistanceClasses;
        for (int k = 0; k < 7; ++k)
            cellAt(kAxis + k).rect = QRectF(m_chart.left() + 3 * k * slot - slot, y, 3 * slot, h);
    }
    y += h;
    for (int id = kDistances; id <= kDistancesP; ++id)
        line(id);
    return y + 2;
}

void WheelFigures::resizeEvent(QResizeEvent*) {
    place();
}

void WheelFigures::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        for (Cell& cell : m_cells) {
            QFont laid = font();
            laid.setBold(cell.strong);
            const QFontMetricsF fm(laid);
            cell.glyphs.prepare(QTransform(), laid);
            for (Piece& piece : cell.pieces) {
                piece.glyphs.prepare(QTransform(), laid);
                piece.advance = fm.horizontalAdvance(piece.string);
            }
        }
        place();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

void WheelFigures::set(const WheelStats& s) {
    for (int k = 0; k < vantel::sim::kSectors; ++k) {
        const auto& sector = s.sectors[static_cast<size_t>(k)];
        setCell(kSectorRows + 4 * k + 2, QString::number(sector.count));
        setCell(kSectorRows + 4 * k + 3, QString::number(sector.expected, 'f', 1));
    }
    if (s.arcs) {
        int most = 0;
        const auto above = [&](int a) {
            return static_cast<double>(s.arcCounts[static_cast<size_t>(a)]) -
                   s.arcExpected[static_cast<size_t>(a)];
        };
        for (int a = 1; a < vantel::sim::kArcs; ++a)
            if (above(a) > above(most)) most = a;
        const int first = vantel::sim::arcFirstPocket(most);
        const int last = (first + vantel::sim::arcSize(most) - 1) % kWheelPockets;
        setLine(kArcsTest, chiSquareLine(s.arcs->chiSquare, s.arcs->degreesOfFreedom));
        setLine(kArcsP, pLine(s.arcs->pValue, s.arcs->reading));
        setLine(kArcsMost,
                {QStringLiteral("Hottest arc: "),
                 QStringLiteral("%1 to %2")
                     .arg(kWheelOrder[static_cast<size_t>(first)])
                     .arg(kWheelOrder[static_cast<size_t>(last)]),
                 QStringLiteral(", "), QString::number(s.arcCounts[static_cast<size_t>(most)]),
                 QStringLiteral(" against "),
                 QString::number(s.arcExpected[static_cast<size_t>(most)], 'f', 1),
                 QStringLiteral(" fair.")});
    } else {
        setLine(
            kArcsTest,
            {QStringLiteral("The test needs %1 spins; ").arg(vantel::sim::kSpinsForFairnessTest),
             QStringLiteral("%1 more to go.").arg(vantel::sim::kSpinsForFairnessTest - s.spins)});
        setLine(kArcsP, {});
        setLine(kArcsMost, {});
    }
    if (s.distances == 0)
        setLine(kDistances, {QStringLiteral("No distance yet.")});
    else
        setLine(kDistances, {QString::number(s.distances),
                             s.distances == 1 ? QStringLiteral(" distance, on average ")
                                              : QStringLiteral(" distances, on average "),
                             QString::number(s.meanDistance, 'f', 2),
                             QStringLiteral(" pockets (fair: %1).")
                                 .arg(vantel::sim::kFairMeanDistance, 0, 'f', 2)});
    if (s.distanceTest) {
        setLine(kDistancesTest,
                chiSquareLine(s.distanceTest->chiSquare, s.distanceTest->degreesOfFreedom));
        setLine(kDistancesP, pLine(s.distanceTest->pValue, s.distanceTest->reading));
    } else {
        setLine(
            kDistancesTest,
            {QStringLiteral("The test needs %1 distances; ").arg(vantel::sim::kDistancesForTest),
             QStringLiteral("%1 more to go.").arg(vantel::sim::kDistancesForTest - s.distances)});
        setLine(kDistancesP, {});
    }
    if (s.distanceCounts != m_counts || s.distances != m_distances) {
        m_counts = s.distanceCounts;
        m_distances = s.distances;
        update(m_chart.toAlignedRect());
    }
    if (isVisible()) setAccessibleDescription(text());
}

QString WheelFigures::text() const {
    QStringList lines;
    const auto row = [&](int first, int count) {
        QStringList cells;
        for (int i = first; i < first + count; ++i)
            cells << m_cells[static_cast<size_t>(i)].string;
        lines << cells.join(QLatin1Char('\t'));
    };
    row(kHeader, 4);
    for (int k = 0; k < vantel::sim::kSectors; ++k)
        row(kSectorRows + 4 * k, 4);
    for (int id = kArcsTitle; id <= kChartTitle; ++id)
        lines << m_cells[static_cast<size_t>(id)].string;
    QStringList bars;
    for (uint64_t c : m_counts)
        bars << QString::number(c);
    lines << QStringLiteral("Distances 0 to 18: ") + bars.join(QStringLiteral(", "));
    for (int id = kDistances; id <= kDistancesP; ++id)
        lines << m_cells[static_cast<size_t>(id)].string;
    lines.removeAll(QString());
    return lines.join(QLatin1Char('\n'));
}

void WheelFigures::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRegion dirty = event->region();
    for (const QRect& part : dirty)
        p.fillRect(part, palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    QFont strong = font();
    strong.setBold(true);
    bool bold = false;
    for (Cell& cell : m_cells) {
        if (cell.string.isEmpty() || !dirty.intersects(cell.rect.toAlignedRect())) continue;
        if (cell.strong != bold) {
            bold = cell.strong;
            p.setFont(bold ? strong : font());
        }
        if (!cell.pieces.empty()) {
            for (const Piece& piece : cell.pieces)
                if (dirty.intersects(piece.rect.toAlignedRect()))
                    p.drawStaticText(
                        QPointF(piece.rect.left(),
                                piece.rect.top() +
                                    (piece.rect.height() - piece.glyphs.size().height()) / 2),
                        piece.glyphs);
            continue;
        }
        const QSizeF size = cell.glyphs.size();
        const double x = cell.align & Qt::AlignRight     ? cell.rect.right() - size.width()
                         : cell.align & Qt::AlignHCenter ? cell.rect.center().x() - size.width() / 2
                                                         : cell.rect.left();
        p.drawStaticText(QPointF(x, cell.rect.top() + (cell.rect.height() - size.height()) / 2),
                         cell.glyphs);
    }
    if (dirty.intersects(m_chart.toAlignedRect())) {
        p.fillRect(m_chart, palette().base());
        const double slot = m_chart.width() / vantel::sim::kDistanceClasses;
        // The scale: the largest share, and at least three times a fair
        // wheel's share of a distance.
        double top = 3 * vantel::sim::fairDistanceShare(1);
        if (m_distances > 0)
            for (uint64_t c : m_counts)
                top = std::max(top, static_cast<double>(c) / m_distances);
        const auto y = [&](double share) {
            return m_chart.bottom() - share / top * (m_chart.height() - 2);
        };
        if (m_distances > 0)
            for (int d = 0; d < vantel::sim::kDistanceClasses; ++d) {
                const double share =
                    static_cast<double>(m_counts[static_cast<size_t>(d)]) / m_distances;
                p.fillRect(QRectF(m_chart.left() + d * slot + 1, y(share), slot - 2,
                                  m_chart.bottom() - y(share)),
                           palette().highlight());
            }
        const QColor tick = palette().color(QPalette::WindowText);
        for (int d = 0; d < vantel::sim::kDistanceClasses; ++d)
            p.fillRect(QRectF(m_chart.left() + d * slot, y(vantel::sim::fairDistanceShare(d)) - 1,
                              slot, 2),
                       tick);
        p.fillRect(QRectF(m_chart.left(), m_chart.bottom() - 1, m_chart.width(), 1),
                   palette().mid());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &p, this);
    }
}

WheelPanel::WheelPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WheelPanel"));
    m_wheel = new WheelView(this);
    m_figures = new WheelFigures(this);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    follow({});
}

WheelPanel::Arrangement WheelPanel::arrangementFor(int width) const {
    Arrangement a;
    const int natural = m_figures->sizeHint().width();
    const int room = m_room > 0 ? m_room : std::numeric_limits<int>::max();
    if (width >= WheelView::kSmallest + kGap + natural) {
        // Beside: the figures take their natural width and the wheel the
        // rest, no taller than the room the page has.
        const int side = std::max(WheelView::kSmallest, std::min(width - natural - kGap, room));
        const int figuresWidth = width - side - kGap;
        a.wheel = QRect(0, 0, side, side);
        a.figures = QRect(side + kGap, 0, figuresWidth, m_figures->heightForWidth(figuresWidth));
        a.beside = true;
    } else {
        // Above: the wheel as wide as the panel, or as the room is high.
        const int side = std::min(width, std::max(WheelView::kSmallest, room));
        a.wheel = QRect((width - side) / 2, 0, side, side);
        a.figures = QRect(0, side + kGap, width, m_figures->heightForWidth(width));
    }
    a.height = std::max(a.wheel.bottom(), a.figures.bottom()) + 1;
    return a;
}

QSize WheelPanel::sizeHint() const {
    const int width = m_wheel->sizeHint().width() + kGap + m_figures->sizeHint().width();
    return {width, arrangementFor(width).height};
}

QSize WheelPanel::minimumSizeHint() const {
    const int width = std::max(WheelView::kSmallest, m_figures->minimumSizeHint().width());
    return {width, arrangementFor(width).height};
}

int WheelPanel::heightForWidth(int width) const {
    return arrangementFor(width).height;
}

bool WheelPanel::besideItsFigures() const {
    return arrangementFor(width()).beside;
}

void WheelPanel::setRoomHeight(int height) {
    if (height == m_room) return;
    m_room = height;
    updateGeometry();
    place();
}

void WheelPanel::resizeEvent(QResizeEvent*) {
    place();
}

void WheelPanel::place() {
    const Arrangement a = arrangementFor(width());
    m_wheel->setGeometry(a.wheel);
    m_figures->setGeometry(a.figures);
}

void WheelPanel::follow(const std::vector<vantel::EnteredSpin>& spins) {
    m_tally.follow(spins);
    m_stats = m_tally.stats();
    m_wheel->set(m_stats);
    m_figures->set(m_stats);
}
