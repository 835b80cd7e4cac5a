#pragma once

#include <QColor>
#include <QWidget>

#include <cstdint>

// A progress gauge that paints its whole rectangle itself: black, then the bar
// area (inside a one-pixel black margin when the border is single) in
// BackColor, then the done part from the left in ForeColor. Progress always
// lies between MinValue and MaxValue, and a write repaints only when the whole
// percentage shown changes.
class TCGauge : public QWidget {
    Q_OBJECT

  public:
    enum TCGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
    enum TBorderStyle { bsNone, bsSingle };

    explicit TCGauge(QWidget* parent = nullptr);

    TCGaugeKind Kind() const { return m_kind; }
    void setKind(TCGaugeKind kind);

    int32_t MinValue() const { return m_minValue; }
    // Throws std::out_of_range when v is above MaxValue; nothing changes then.
    void setMinValue(int32_t v);
    int32_t MaxValue() const { return m_maxValue; }
    // Throws std::out_of_range when v is below MinValue; nothing changes then.
    void setMaxValue(int32_t v);
    int32_t Progress() const { return m_progress; }
    void setProgress(int32_t v);
    int32_t PercentDone() const;
    // Moves Progress by d within the range and repaints in any case.
    void AddProgress(int32_t d);

    bool ShowText() const { return m_showText; }
    void setShowText(bool on);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle style);
    QColor ForeColor() const { return m_foreColor; }
    void setForeColor(const QColor& colour);
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor& colour);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void storeProgress(int64_t v);

    TCGaugeKind m_kind = gkHorizontalBar;
    int32_t m_minValue = 0;
    int32_t m_maxValue = 100;
    int32_t m_progress = 0;
    bool m_showText = true;
    TBorderStyle m_borderStyle = bsSingle;
    QColor m_foreColor = Qt::black;
    QColor m_backColor = Qt::white;
};
