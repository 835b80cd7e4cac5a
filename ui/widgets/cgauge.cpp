#include "widgets/cgauge.h"

#include "widgets/tool_events.h"

#include <QPainter>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

std::out_of_range rangeError(int64_t low, int64_t high) {
    // The bounds are printed as 64-bit numbers: MaxValue - 1 may lie below the
    // 32-bit range.
    return std::out_of_range("Value must be between " + std::to_string(low) + " and " +
                             std::to_string(high));
}

} // namespace

TCGauge::TCGauge(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 100);
}

void TCGauge::setKind(TCGaugeKind kind) {
    if (m_kind == kind) return;
    m_kind = kind;
    update();
}

void TCGauge::setMinValue(int32_t v) {
    if (v == m_minValue) return;
    if (v > m_maxValue) throw rangeError(-2147483647, static_cast<int64_t>(m_maxValue) - 1);
    m_minValue = v;
    m_progress = std::max(m_progress, v);
    update();
}

void TCGauge::setMaxValue(int32_t v) {
    if (v < m_minValue) throw rangeError(static_cast<int64_t>(m_minValue) + 1, 2147483647);
    m_maxValue = v;
    m_progress = std::min(m_progress, v);
    update();
}

void TCGauge::setProgress(int32_t v) {
    storeProgress(v);
}

void TCGauge::AddProgress(int32_t d) {
    storeProgress(static_cast<int64_t>(m_progress) + d);
    update();
}

int32_t TCGauge::PercentDone() const {
    // Whole-number arithmetic in 64 bits: the span of two 32-bit bounds does
    // not fit in 32, and both operands are never negative, so the division
    // is the floor.
    const int64_t span = static_cast<int64_t>(m_maxValue) - m_minValue;
    if (span == 0) return 0;
    return static_cast<int32_t>((static_cast<int64_t>(m_progress) - m_minValue) * 100 / span);
}

void TCGauge::storeProgress(int64_t v) {
    const int32_t before = PercentDone();
    const auto clamped = static_cast<int32_t>(std::clamp<int64_t>(v, m_minValue, m_maxValue));
    if (clamped == m_progress) return;
    m_progress = clamped;
    vantel::tool_events::valueChanged(this, m_progress);
    if (PercentDone() != before) update();
}

void TCGauge::setShowText(bool on) {
    if (m_showText == on) return;
    m_showText = on;
    update();
}

void TCGauge::setBorderStyle(TBorderStyle style) {
    if (m_borderStyle == style) return;
    m_borderStyle = style;
    update();
}

void TCGauge::setForeColor(const QColor& colour) {
    if (m_foreColor == colour) return;
    m_foreColor = colour;
    update();
}

void TCGauge::setBackColor(const QColor& colour) {
    if (m_backColor == colour) return;
    m_backColor = colour;
    update();
}

void TCGauge::paintEvent(QPaintEvent*) {
    // Painted into the widget's backing store in one pass, so the screen only
    // ever sees the finished picture.
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QRect area = m_borderStyle == bsSingle ? rect().adjusted(1, 1, -1, -1) : rect();
    if (area.isEmpty()) return;
    painter.fillRect(area, m_backColor);

    // W and H are one more than the area's width and height, and the fill's
    // right and bottom edges are counted from the gauge's own origin.
    const int64_t w = area.width() + 1;
    const int64_t h = area.height() + 1;
    const int32_t percent = PercentDone();
    QRect done;
    if (m_kind == gkHorizontalBar) {
        // floor(W * percent / 100) in whole numbers: a double product such as
        // 100 * 0.29 falls just short of the exact value and loses a pixel.
        const int64_t fill = std::min(w * percent / 100, w);
        if (fill > 0)
            done =
                QRect(area.topLeft(), QPoint(static_cast<int>(fill - 1), static_cast<int>(h - 1)));
        done &= rect();
        if (!done.isEmpty()) painter.fillRect(done, m_foreColor);
    }

    if (m_showText && (m_kind == gkText || m_kind == gkHorizontalBar)) {
        // The figure reads in BackColor over the done part and ForeColor beyond it.
        const QString label = QString::number(percent) + QLatin1Char('%');
        painter.setFont(font());
        painter.setClipRect(area);
        painter.setPen(m_foreColor);
        painter.drawText(area, Qt::AlignCenter, label);
        if (!done.isEmpty()) {
            painter.setClipRect(done & area);
            painter.setPen(m_backColor);
            painter.drawText(area, Qt::AlignCenter, label);
        }
    }
}
