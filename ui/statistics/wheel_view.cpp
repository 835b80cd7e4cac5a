#include "statistics/wheel_view.h"

#include "board.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

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
