#include "colour_label.h"

#include <QPainter>

TColourLabel::TColourLabel(QWidget* parent) : QWidget(parent) {}

void TColourLabel::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    if (m_autoSize) resize(fontMetrics().horizontalAdvance(m_text), height());
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
    p.setFont(font());
    p.setPen(m_textColour);
    p.drawText(rect(), int(m_alignment), m_text);
}
