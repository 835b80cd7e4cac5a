#pragma once

#include <QColor>
#include <QWidget>

// A rounded square with a one-pixel black outline and a solid fill; setting
// the fill it already has does nothing, so the 10 ms refresh costs no paint.
class TShape : public QWidget {
    Q_OBJECT
  public:
    explicit TShape(QWidget* parent = nullptr);

    QColor brushColor() const { return m_brush; }
    void setBrushColor(const QColor& colour);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor m_brush{0x00, 0x80, 0x00};
};

// A label whose opaque background colour is part of its state; setting the
// colour it already has does nothing.
class TColourLabel : public QWidget {
    Q_OBJECT
  public:
    explicit TColourLabel(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    // Transparent labels paint only their text.
    void setTransparent(bool transparent);
    void setTextColour(const QColor& colour);
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    // An auto-sized label takes the width of its text.
    void setAutoSize(bool autoSize);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_text;
    QColor m_colour{0, 0, 0};
    QColor m_textColour{0xFF, 0xFF, 0xFF};
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    bool m_transparent = false;
    bool m_autoSize = false;
};
