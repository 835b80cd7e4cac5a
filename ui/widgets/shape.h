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
