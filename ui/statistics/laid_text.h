#pragma once

#include <QStaticText>
#include <QString>

class QFont;
class QPainter;
class QRectF;

// A line of text laid out once in its font and drawn from its glyphs after
// that: laying the same text out again on every paint costs more than the
// rest of a spin. The Statistics tables' cells and the wheel's figures are
// drawn from these.
class LaidText {
  public:
    LaidText();
    // Takes `text` and lays it out in `font`.
    void set(const QString& text, const QFont& font);
    // Lays the same text out again, in a font that changed.
    void layOut(const QFont& font);
    const QString& string() const { return m_string; }
    QSizeF size() const { return m_glyphs.size(); }
    // Draws it in `cell`, at its left, its right or across its middle as
    // `align` says, and in the middle up and down.
    void draw(QPainter& p, const QRectF& cell, Qt::Alignment align) const;

  private:
    QString m_string;
    QStaticText m_glyphs;
};
