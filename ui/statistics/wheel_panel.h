#pragma once

#include "statistics/wheel_figures.h"
#include "statistics/wheel_view.h"
#include "wheel_stats.h"

#include <QWidget>

#include <vector>

// The wheel's part of the Statistics window: the wheel, and beside it, or
// above it where the panel is too narrow for both, the sectors against their
// fair counts, the neighbourhood test and the distance chart with its test.
// The wheel grows with the panel, no taller than the room its page has. It
// keeps its own tally, which follows the session's spins a step at a time.
class WheelPanel : public QWidget {
  public:
    explicit WheelPanel(QWidget* parent);
    void follow(const std::vector<vantel::EnteredSpin>& spins);
    const vantel::sim::WheelStats& stats() const { return m_stats; }

    WheelView* wheel() const { return m_wheel; }
    WheelFigures* figures() const { return m_figures; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // The height the panel's page shows without scrolling; 0: no bound.
    void setRoomHeight(int height);
    bool besideItsFigures() const;

  protected:
    void resizeEvent(QResizeEvent*) override;

  private:
    struct Arrangement {
        QRect wheel;
        QRect figures;
        int height = 0;
        bool beside = false;
    };
    Arrangement arrangementFor(int width) const;
    void place();
    static constexpr int kGap = 12;
    int m_room = 0;

    vantel::sim::WheelTally m_tally;
    vantel::sim::WheelStats m_stats;
    WheelView* m_wheel = nullptr;
    WheelFigures* m_figures = nullptr;
};
