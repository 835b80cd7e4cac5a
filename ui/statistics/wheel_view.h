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

// The figures beside the wheel, painted: the three sectors' counts against
// their fair counts, the neighbourhood test, and the distance from each spin
// to the next (0 to 18 pockets) as bars of their share against a fair
// wheel's share (a tick on each bar), with its own test. Each text is laid
// out once per change and only what changed is repainted: a spin changes a
// few numbers, not the words around them.
class WheelFigures : public QWidget {
  public:
    explicit WheelFigures(QWidget* parent);
    void set(const vantel::sim::WheelStats& stats);
    // Its natural width shows every line whole; narrower, down to its
    // minimum, the pockets go under their sectors' names and long lines take
    // two. Its height follows its width only, never the figures.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // Every text it shows, a line each, as assistive tools read it.
    QString text() const;
    // Where the bars are drawn.
    QRectF chartArea() const { return m_chart; }

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent*) override;
    void showEvent(QShowEvent*) override { setAccessibleDescription(text()); }

  private:
    // A piece of a line of text: a line is laid out piece by piece, so that
    // a figure that changes is laid out and drawn again without its words.
    struct Piece {
        QString string;
        QStaticText glyphs;
        double advance = 0; // the pen's advance, spaces and all
        QRectF rect;
    };
    struct Cell {
        QRectF rect;
        Qt::Alignment align = Qt::AlignLeft;
        QString string;
        QStaticText glyphs;
        bool strong = false;
        std::vector<Piece> pieces; // a line in pieces, drawn instead of glyphs
    };
    void setCell(int id, const QString& text);
    void setLine(int id, const QStringList& pieces);
    void placeLine(Cell& cell);
    void place();
    // Places the cells for a width (when apply) and gives the height it takes.
    double arrange(double width, bool apply);
    static constexpr double kIndent = 12; // a sector's pockets under its name

    std::vector<Cell> m_cells;
    QRectF m_chart;
    std::array<uint64_t, vantel::sim::kDistanceClasses> m_counts{};
    uint64_t m_distances = 0;
    int m_lineHeight = 0;
    double m_space = 0;
    double m_tableWidth = 0;  // the sector table in one row a sector
    double m_widestLine = 0;  // the widest any line can be
    double m_narrowWidth = 0; // the narrowest it lays out in
};

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
