#pragma once

#include "statistics/laid_text.h"
#include "wheel_stats.h"

#include <QWidget>

#include <array>
#include <vector>

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
        LaidText text;
        double advance = 0; // the pen's advance, spaces and all
        QRectF rect;
    };
    struct Cell {
        QRectF rect;
        Qt::Alignment align = Qt::AlignLeft;
        QString string;
        LaidText glyphs;
        bool strong = false;
        std::vector<Piece> pieces; // a line in pieces, drawn instead of glyphs
    };
    // The font a cell is laid out in.
    QFont fontOf(const Cell& cell) const;
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
