#pragma once

#include "chart/sim_chart.h"

#include <QWidget>

// The backtest chart in the Simulate dialog, painted as vantel-sim draws it:
// at the widget's own size, every text legible; where that size is too small
// for it, one line saying so instead of a squashed drawing.
class SimChartView : public QWidget {
  public:
    explicit SimChartView(QWidget* parent);
    // The chart to show (kept by the caller), or none.
    void set(const vantel::SimChartData* data);
    // Whether the chart is drawn, rather than the line asking for room.
    bool chartFits() const;

    static QString needsRoomText();

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    const vantel::SimChartData* m_data = nullptr;
};
