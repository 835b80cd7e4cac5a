#include "statistics/laid_text.h"

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QTransform>

LaidText::LaidText() {
    m_glyphs.setTextFormat(Qt::PlainText);
    m_glyphs.setPerformanceHint(QStaticText::AggressiveCaching);
}

void LaidText::set(const QString& text, const QFont& font) {
    m_string = text;
    m_glyphs.setText(text);
    // Laid out now in the font it is drawn in; else measuring it and drawing
    // it would each lay it out again.
    layOut(font);
}

void LaidText::layOut(const QFont& font) {
    m_glyphs.prepare(QTransform(), font);
}

void LaidText::draw(QPainter& p, const QRectF& cell, Qt::Alignment align) const {
    const QSizeF size = m_glyphs.size();
    const double x = align & Qt::AlignRight     ? cell.right() - size.width()
                     : align & Qt::AlignHCenter ? cell.left() + (cell.width() - size.width()) / 2
                                                : cell.left();
    p.drawStaticText(QPointF(x, cell.top() + (cell.height() - size.height()) / 2), m_glyphs);
}
