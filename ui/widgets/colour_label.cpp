#include "widgets/colour_label.h"

#include "widgets/tool_events.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

TColourLabel::TColourLabel(QWidget* parent) : QWidget(parent) {}

void TColourLabel::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    vantel::tool_events::textChanged(this, m_text);
    if (m_autoSize) resize(fontMetrics().horizontalAdvance(m_text), height());
    fitText();
    update();
}

void TColourLabel::setAutoSize(bool autoSize) {
    m_autoSize = autoSize;
    if (m_autoSize) resize(fontMetrics().horizontalAdvance(m_text), height());
}

void TColourLabel::setColour(const QColor& colour) {
    if (colour == m_colour) return;
    m_colour = colour;
    if (!m_transparent) update();
}

void TColourLabel::setTransparent(bool transparent) {
    m_transparent = transparent;
    setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
    update();
}

void TColourLabel::setTextColour(const QColor& colour) {
    if (colour == m_textColour) return;
    m_textColour = colour;
    update();
}

void TColourLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!m_transparent) p.fillRect(rect(), m_colour);
    if (m_text.isEmpty()) return;
    p.setFont(shownFont());
    p.setPen(m_textColour);
    p.drawText(rect(), int(m_alignment), m_text);
}

void TColourLabel::setShrinkToFit(bool shrink) {
    m_shrinkToFit = shrink;
    fitText();
    update();
}

void TColourLabel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) fitText();
}

void TColourLabel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitText();
}

void TColourLabel::fitText() {
    m_fitted.reset();
    if (!m_shrinkToFit || m_text.isEmpty()) return;
    auto fits = [this](const QFont& f) {
        return QFontMetrics(f).horizontalAdvance(m_text) <= width();
    };
    if (fits(font())) return;
    // Narrower letters first, so the digits keep their height as long as they can.
    QFont f = font();
    for (int stretch = 90; stretch >= 60; stretch -= 10) {
        f.setStretch(stretch);
        if (fits(f)) {
            m_fitted = f;
            return;
        }
    }
    const int start = f.pixelSize() > 0 ? f.pixelSize() : 9;
    for (int size = start - 1; size >= 2; --size) {
        f.setPixelSize(size);
        if (fits(f)) break;
    }
    m_fitted = f;
}
