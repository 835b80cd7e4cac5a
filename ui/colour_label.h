#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

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
