#include "widgets/shape.h"

#include <QPainter>

TShape::TShape(QWidget* parent) : QWidget(parent) {}

void TShape::setBrushColor(const QColor& colour) {
    if (colour == m_brush) return;
    m_brush = colour;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(m_brush);
    // Corner ellipses a quarter of the smaller side across, so the radius is half that.
    const qreal r = (std::min(width(), height()) / 4) / 2.0;
    p.drawRoundedRect(QRectF(0.5, 0.5, width() - 1, height() - 1), r, r);
}
