#pragma once

#include "wheel_stats.h"

#include <QPixmap>
#include <QPolygonF>
#include <QStaticText>
#include <QTransform>
#include <QWidget>

#include <array>

// Where the rings of the painted wheel lie, as shares of its radius (the
// half of the widget's shorter side, less a margin). Tests read the pixels
// at these radii.
struct WheelRings {
    static constexpr double kHeatOuter = 1.0;  // a pocket at twice its fair count reaches this
    static constexpr double kHeatInner = 0.80; // the heat bars start here
    static constexpr double kPocketOuter = 0.78;
    static constexpr double kPocketInner = 0.58;
    static constexpr double kRecent = 0.50; // the latest spin's dot; repeats stack inwards
    static constexpr double kDot = 0.10;    // a dot's diameter
};

// The single-zero wheel, painted: the 37 pockets in wheel order in their
// colours, each pocket's count as a heat bar outside it (half the band is
// the fair count, the whole band twice that), the last ten spins as dots
// numbered 1 (latest) to 10 inside the pockets, and the latest spin with its
// two neighbours on either side outlined. It paints from the figures it is
// given; the pockets and their numbers are kept in a picture of the widget's
// size at the screen's pixel ratio, so it stays sharp at any scale.
class WheelView : public QWidget {
  public:
    explicit WheelView(QWidget* parent);
    void set(const vantel::sim::WheelStats& stats);
    // The smallest size keeps the pocket numbers at least 8 pixels high.
    QSize sizeHint() const override { return {300, 300}; }
    QSize minimumSizeHint() const override { return {kSmallest, kSmallest}; }
    static constexpr int kSmallest = 240;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

    // The wheel's centre and radius in the widget.
    QPointF centre() const;
    double radius() const;
    // The angle of a pocket's middle, in radians clockwise from the top.
    static double pocketAngle(int pocket);

    // The pocket numbers: their font, the radius of their middles and the
    // height of their digits; and where a pocket's number's glyphs lie.
    struct PocketLabels {
        QFont font;
        double radius = 0;
        double capHeight = 0;
    };
    PocketLabels pocketLabels() const;
    QPolygonF pocketLabelBox(int pocket) const;

    // The wheel painted at `ratio` device pixels a pixel, as the screen would
    // show it.
    QImage paintedAt(double ratio) const;

  protected:
    void paintEvent(QPaintEvent*) override;

    void changeEvent(QEvent*) override;

  private:
    void paintWheel(QPainter& p, double ratio) const;
    // From a pocket number's own coordinates (its middle at 0,0, read along
    // x) to the widget's.
    QTransform labelTransform(int pocket, const PocketLabels& labels) const;
    // The pockets and their numbers on the window's background.
    const QPixmap& pockets(double ratio) const;
    // The same with the heat bars, each as long as whole device pixels: after
    // a spin only the bars that grew or shrank by a pixel are drawn again.
    const QPixmap& ring(double ratio) const;
    int barPixels(int pocket, double ratio) const;
    void drawBar(QPainter& p, int pocket, int pixels, double ratio) const;
    // A recent spin's dot with its place (0: the latest) written in it.
    const QPixmap& dot(size_t place, double ratio) const;
    // The outline round a pocket and two neighbours on either side.
    struct Sprite {
        QSize size; // of the widget it was drawn for
        QPointF corner;
        QPixmap pixmap;
    };
    const Sprite& outline(int pocket, double ratio) const;

    vantel::sim::WheelStats m_stats;
    QStaticText m_latest;
    mutable QPixmap m_pockets;
    mutable QPixmap m_ring;
    mutable std::array<int, vantel::sim::kWheelPockets> m_ringBars{};
    // The square round each pocket's part of the heat band.
    mutable std::array<QRectF, vantel::sim::kWheelPockets> m_bands{};
    mutable std::array<QPixmap, vantel::sim::kRecentSpins> m_dots;
    mutable std::array<Sprite, vantel::sim::kWheelPockets> m_outlines;
};
