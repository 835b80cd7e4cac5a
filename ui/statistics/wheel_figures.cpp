#include "statistics/wheel_figures.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <cmath>

using vantel::sim::kWheelOrder;
using vantel::sim::kWheelPockets;
using vantel::sim::WheelStats;

namespace {

// The cells of the figures beside the wheel.
enum CellId : int {
    kHeader = 0,               // four: sector, pockets, count, fair
    kSectorRows = kHeader + 4, // four a sector
    kArcsTitle = kSectorRows + 4 * vantel::sim::kSectors,
    kArcsTest, // chi-square, or spins to go
    kArcsP,    // p and its reading
    kArcsMost, // the arc most above its fair count
    kChartTitle,
    kAxis,                  // 0, 3, ... 18 under the bars
    kDistances = kAxis + 7, // how many, their mean
    kDistancesTest,
    kDistancesP,
    kCells
};

QStringList chiSquareLine(double chiSquare, int degreesOfFreedom) {
    return {QStringLiteral("chi-square "), QString::number(chiSquare, 'f', 2),
            QStringLiteral(" with %1 degrees of freedom,").arg(degreesOfFreedom)};
}

QStringList pLine(double pValue, const char* reading) {
    return {QStringLiteral("p = "), QString::number(pValue, 'f', 4),
            QStringLiteral(": %1.").arg(QString::fromLatin1(reading))};
}

} // namespace

WheelFigures::WheelFigures(QWidget* parent) : QWidget(parent), m_cells(kCells) {
    setObjectName(QStringLiteral("WheelFigures"));
    setAccessibleName(QStringLiteral("The wheel's sectors, neighbourhoods and distances"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    const char* header[] = {"Sector", "Pockets", "Count", "Fair"};
    for (int i = 0; i < 4; ++i) {
        m_cells[static_cast<size_t>(kHeader + i)].strong = true;
        setCell(kHeader + i, QString::fromLatin1(header[i]));
    }
    const WheelStats none = vantel::sim::WheelTally().stats();
    for (int k = 0; k < vantel::sim::kSectors; ++k) {
        const auto& sector = none.sectors[static_cast<size_t>(k)];
        setCell(kSectorRows + 4 * k,
                QStringLiteral("%1 (%2)").arg(QString::fromLatin1(sector.name)).arg(sector.size));
        setCell(kSectorRows + 4 * k + 1, QString::fromLatin1(sector.pockets));
        for (int c : {2, 3})
            m_cells[static_cast<size_t>(kSectorRows + 4 * k + c)].align = Qt::AlignRight;
    }
    m_cells[kArcsTitle].strong = true;
    m_cells[kChartTitle].strong = true;
    // In pieces, so that a narrow panel takes them on two lines.
    setLine(kArcsTitle, {QStringLiteral("Neighbourhoods: "),
                         QStringLiteral("%1 arcs of 5 or 6 pockets").arg(vantel::sim::kArcs)});
    setLine(kChartTitle,
            {QStringLiteral("Pockets to the next spin "), QStringLiteral("(line: fair share)")});
    for (int k = 0; k < 7; ++k) {
        setCell(kAxis + k, QString::number(3 * k));
        m_cells[static_cast<size_t>(kAxis + k)].align = Qt::AlignHCenter;
    }
    place();
    set(none);
}

QSize WheelFigures::sizeHint() const {
    const int width = static_cast<int>(std::ceil(std::max(m_tableWidth, m_widestLine))) + 4;
    return {width, heightForWidth(width)};
}

QSize WheelFigures::minimumSizeHint() const {
    const int width = static_cast<int>(std::ceil(m_narrowWidth)) + 4;
    return {width, heightForWidth(width)};
}

int WheelFigures::heightForWidth(int width) const {
    return static_cast<int>(std::ceil(const_cast<WheelFigures*>(this)->arrange(width, false)));
}

QFont WheelFigures::fontOf(const Cell& cell) const {
    QFont laid = font();
    laid.setBold(cell.strong);
    return laid;
}

void WheelFigures::setCell(int id, const QString& text) {
    Cell& cell = m_cells[static_cast<size_t>(id)];
    if (cell.string == text) return;
    cell.string = text;
    cell.glyphs.set(text, fontOf(cell));
    update(cell.rect.toAlignedRect());
}

void WheelFigures::setLine(int id, const QStringList& pieces) {
    Cell& cell = m_cells[static_cast<size_t>(id)];
    bool same = static_cast<int>(cell.pieces.size()) == pieces.size();
    for (int i = 0; same && i < pieces.size(); ++i)
        same = cell.pieces[static_cast<size_t>(i)].text.string() == pieces[i];
    if (same) return;
    cell.string = pieces.join(QString());
    std::vector<Piece> before = std::move(cell.pieces);
    std::vector<Piece> after(static_cast<size_t>(pieces.size()));
    std::vector<bool> kept(after.size(), false);
    const QFont laid = fontOf(cell);
    const QFontMetricsF fm(laid);
    for (size_t i = 0; i < after.size(); ++i) {
        const QString& text = pieces[static_cast<int>(i)];
        // A piece seen before keeps its layout.
        if (i < before.size() && before[i].text.string() == text) {
            after[i] = before[i];
            kept[i] = true;
            continue;
        }
        Piece& piece = after[i];
        piece.text.set(text, laid);
        piece.advance = fm.horizontalAdvance(text);
    }
    cell.pieces = std::move(after);
    placeLine(cell);
    // What moved or changed is drawn again; pieces that stayed are not.
    for (size_t i = 0; i < std::max(before.size(), cell.pieces.size()); ++i) {
        const QRectF now = i < cell.pieces.size() ? cell.pieces[i].rect : QRectF();
        const QRectF was = i < before.size() ? before[i].rect : QRectF();
        if (i < kept.size() && kept[i] && now == was) continue;
        if (!was.isNull()) update(was.toAlignedRect());
        if (!now.isNull()) update(now.toAlignedRect());
    }
}

void WheelFigures::placeLine(Cell& cell) {
    // Pieces go on a second line where the first has no room for them, the
    // space they start with hanging before the margin.
    double x = cell.rect.left();
    double y = cell.rect.top();
    for (Piece& piece : cell.pieces) {
        if (x > cell.rect.left() && x + piece.advance > cell.rect.right() + 0.5 &&
            y + 2 * m_lineHeight <= cell.rect.bottom() + 0.5) {
            y += m_lineHeight;
            x = cell.rect.left() - (piece.text.string().startsWith(QLatin1Char(' ')) ? m_space : 0);
        }
        piece.rect = QRectF(x, y, piece.advance, m_lineHeight);
        x += piece.advance;
    }
}

void WheelFigures::place() {
    arrange(width(), true);
    for (Cell& cell : m_cells)
        placeLine(cell);
    update();
}

double WheelFigures::arrange(double width, bool apply) {
    QFont strong = font();
    strong.setBold(true);
    const QFontMetricsF fm(font());
    const QFontMetricsF bold(strong);
    m_lineHeight = static_cast<int>(fm.lineSpacing()) + 2;
    m_space = fm.horizontalAdvance(QLatin1Char(' '));
    const double h = m_lineHeight;
    const double w = width - 4;
    const auto cellAt = [&](int id) -> Cell& { return m_cells[static_cast<size_t>(id)]; };
    // The sector table's columns take their widest text.
    double columns[4] = {0, 0, 0, 0};
    for (int c = 0; c < 4; ++c) {
        columns[c] = bold.horizontalAdvance(cellAt(kHeader + c).string);
        for (int k = 0; k < vantel::sim::kSectors; ++k)
            columns[c] =
                std::max(columns[c], fm.horizontalAdvance(cellAt(kSectorRows + 4 * k + c).string));
    }
    columns[2] = std::max(columns[2], fm.horizontalAdvance(QStringLiteral("00000")));
    columns[3] = std::max(columns[3], fm.horizontalAdvance(QStringLiteral("0000.0")));
    m_tableWidth = columns[0] + columns[1] + columns[2] + columns[3] + 3 * 8;
    // Narrow, each sector's pockets go on a line under its name.
    const double narrowTable =
        std::max(columns[0], kIndent + columns[1]) + columns[2] + columns[3] + 2 * 8;
    // The widest each line can be, whatever the figures: a line that might not
    // fit is given two, so that the panel's height never follows the spins.
    const auto widest = [&](std::initializer_list<const char*> texts, const QFontMetricsF& m) {
        double most = 0;
        for (const char* t : texts)
            most = std::max(most, m.horizontalAdvance(QString::fromLatin1(t)));
        return most;
    };
    const double test = widest({"chi-square 0000.00 with 36 degrees of freedom,",
                                "The test needs 37 distances; 37 more to go."},
                               fm);
    const double reading = widest({"p = 0.0000: uneven; keep watching."}, fm);
    const auto need = [&](int id) -> double {
        switch (id) {
        case kArcsTitle:
        case kChartTitle:
            return bold.horizontalAdvance(cellAt(id).string);
        case kArcsTest:
        case kDistancesTest:
            return test;
        case kArcsP:
        case kDistancesP:
            return reading;
        case kArcsMost:
            return widest({"Hottest arc: 00 to 00, 000000 against 00000.0 fair."}, fm);
        default:
            return widest({"000000 distances, on average 00.00 pockets (fair: 9.25)."}, fm);
        }
    };
    m_widestLine = 0;
    for (int id : {kArcsTitle, kArcsTest, kArcsP, kArcsMost, kChartTitle, kDistances})
        m_widestLine = std::max(m_widestLine, need(id));
    // Narrowest: the table with its pockets under the names, and each line's
    // longest piece.
    m_narrowWidth = std::max(narrowTable, 200.0);
    for (const Cell& cell : m_cells)
        for (const Piece& piece : cell.pieces)
            m_narrowWidth = std::max(m_narrowWidth, piece.advance);

    const bool narrow = m_tableWidth > w;
    double y = 2;
    if (apply) {
        double x = 2;
        double at[4];
        for (int c = 0; c < 4; ++c) {
            at[c] = x;
            if (!narrow || c != 1) x += columns[c] + 8;
        }
        if (narrow) {
            at[1] = 2 + kIndent;
            columns[0] = std::max(columns[0], kIndent + columns[1]);
            at[2] = 2 + columns[0] + 8;
            at[3] = at[2] + columns[2] + 8;
        }
        for (int c = 0; c < 4; ++c)
            for (int row = 0; row <= vantel::sim::kSectors; ++row) {
                const int id = row == 0 ? kHeader + c : kSectorRows + 4 * (row - 1) + c;
                const int line = narrow ? (row == 0 ? 0 : 2 * row - 1 + (c == 1 ? 1 : 0)) : row;
                Cell& cell = cellAt(id);
                // Narrow, the pockets' heading goes: the pockets are under their sector.
                cell.rect = narrow && row == 0 && c == 1
                                ? QRectF()
                                : QRectF(at[c], 2 + line * h, columns[c], h);
                if (c >= 2) cell.align = Qt::AlignRight;
            }
    }
    y += (narrow ? 1 + 2 * vantel::sim::kSectors : 1 + vantel::sim::kSectors) * h + h / 2;
    const auto line = [&](int id) {
        const double height = (need(id) > w ? 2 : 1) * h;
        if (apply) cellAt(id).rect = QRectF(2, y, w, height);
        y += height;
    };
    for (int id = kArcsTitle; id <= kArcsMost; ++id)
        line(id);
    y += h / 2;
    line(kChartTitle);
    if (apply) m_chart = QRectF(2, y + 2, w, 84);
    y += 90;
    if (apply) {
        const double slot = m_chart.width() / vantel::sim::kDistanceClasses;
        for (int k = 0; k < 7; ++k)
            cellAt(kAxis + k).rect = QRectF(m_chart.left() + 3 * k * slot - slot, y, 3 * slot, h);
    }
    y += h;
    for (int id = kDistances; id <= kDistancesP; ++id)
        line(id);
    return y + 2;
}

void WheelFigures::resizeEvent(QResizeEvent*) {
    place();
}

void WheelFigures::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        for (Cell& cell : m_cells) {
            const QFont laid = fontOf(cell);
            const QFontMetricsF fm(laid);
            cell.glyphs.layOut(laid);
            for (Piece& piece : cell.pieces) {
                piece.text.layOut(laid);
                piece.advance = fm.horizontalAdvance(piece.text.string());
            }
        }
        place();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

void WheelFigures::set(const WheelStats& s) {
    for (int k = 0; k < vantel::sim::kSectors; ++k) {
        const auto& sector = s.sectors[static_cast<size_t>(k)];
        setCell(kSectorRows + 4 * k + 2, QString::number(sector.count));
        setCell(kSectorRows + 4 * k + 3, QString::number(sector.expected, 'f', 1));
    }
    if (s.arcs) {
        int most = 0;
        const auto above = [&](int a) {
            return static_cast<double>(s.arcCounts[static_cast<size_t>(a)]) -
                   s.arcExpected[static_cast<size_t>(a)];
        };
        for (int a = 1; a < vantel::sim::kArcs; ++a)
            if (above(a) > above(most)) most = a;
        const int first = vantel::sim::arcFirstPocket(most);
        const int last = (first + vantel::sim::arcSize(most) - 1) % kWheelPockets;
        setLine(kArcsTest, chiSquareLine(s.arcs->chiSquare, s.arcs->degreesOfFreedom));
        setLine(kArcsP, pLine(s.arcs->pValue, s.arcs->reading));
        setLine(kArcsMost,
                {QStringLiteral("Hottest arc: "),
                 QStringLiteral("%1 to %2")
                     .arg(kWheelOrder[static_cast<size_t>(first)])
                     .arg(kWheelOrder[static_cast<size_t>(last)]),
                 QStringLiteral(", "), QString::number(s.arcCounts[static_cast<size_t>(most)]),
                 QStringLiteral(" against "),
                 QString::number(s.arcExpected[static_cast<size_t>(most)], 'f', 1),
                 QStringLiteral(" fair.")});
    } else {
        setLine(
            kArcsTest,
            {QStringLiteral("The test needs %1 spins; ").arg(vantel::sim::kSpinsForFairnessTest),
             QStringLiteral("%1 more to go.").arg(vantel::sim::kSpinsForFairnessTest - s.spins)});
        setLine(kArcsP, {});
        setLine(kArcsMost, {});
    }
    if (s.distances == 0)
        setLine(kDistances, {QStringLiteral("No distance yet.")});
    else
        setLine(kDistances, {QString::number(s.distances),
                             s.distances == 1 ? QStringLiteral(" distance, on average ")
                                              : QStringLiteral(" distances, on average "),
                             QString::number(s.meanDistance, 'f', 2),
                             QStringLiteral(" pockets (fair: %1).")
                                 .arg(vantel::sim::kFairMeanDistance, 0, 'f', 2)});
    if (s.distanceTest) {
        setLine(kDistancesTest,
                chiSquareLine(s.distanceTest->chiSquare, s.distanceTest->degreesOfFreedom));
        setLine(kDistancesP, pLine(s.distanceTest->pValue, s.distanceTest->reading));
    } else {
        setLine(
            kDistancesTest,
            {QStringLiteral("The test needs %1 distances; ").arg(vantel::sim::kDistancesForTest),
             QStringLiteral("%1 more to go.").arg(vantel::sim::kDistancesForTest - s.distances)});
        setLine(kDistancesP, {});
    }
    if (s.distanceCounts != m_counts || s.distances != m_distances) {
        m_counts = s.distanceCounts;
        m_distances = s.distances;
        update(m_chart.toAlignedRect());
    }
    if (isVisible()) setAccessibleDescription(text());
}

QString WheelFigures::text() const {
    QStringList lines;
    const auto row = [&](int first, int count) {
        QStringList cells;
        for (int i = first; i < first + count; ++i)
            cells << m_cells[static_cast<size_t>(i)].string;
        lines << cells.join(QLatin1Char('\t'));
    };
    row(kHeader, 4);
    for (int k = 0; k < vantel::sim::kSectors; ++k)
        row(kSectorRows + 4 * k, 4);
    for (int id = kArcsTitle; id <= kChartTitle; ++id)
        lines << m_cells[static_cast<size_t>(id)].string;
    QStringList bars;
    for (uint64_t c : m_counts)
        bars << QString::number(c);
    lines << QStringLiteral("Distances 0 to 18: ") + bars.join(QStringLiteral(", "));
    for (int id = kDistances; id <= kDistancesP; ++id)
        lines << m_cells[static_cast<size_t>(id)].string;
    lines.removeAll(QString());
    return lines.join(QLatin1Char('\n'));
}

void WheelFigures::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRegion dirty = event->region();
    for (const QRect& part : dirty)
        p.fillRect(part, palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    QFont strong = font();
    strong.setBold(true);
    bool bold = false;
    for (Cell& cell : m_cells) {
        if (cell.string.isEmpty() || !dirty.intersects(cell.rect.toAlignedRect())) continue;
        if (cell.strong != bold) {
            bold = cell.strong;
            p.setFont(bold ? strong : font());
        }
        if (!cell.pieces.empty()) {
            for (const Piece& piece : cell.pieces)
                if (dirty.intersects(piece.rect.toAlignedRect()))
                    piece.text.draw(p, piece.rect, Qt::AlignLeft);
            continue;
        }
        cell.glyphs.draw(p, cell.rect, cell.align);
    }
    if (dirty.intersects(m_chart.toAlignedRect())) {
        p.fillRect(m_chart, palette().base());
        const double slot = m_chart.width() / vantel::sim::kDistanceClasses;
        // The scale: the largest share, and at least three times a fair
        // wheel's share of a distance.
        double top = 3 * vantel::sim::fairDistanceShare(1);
        if (m_distances > 0)
            for (uint64_t c : m_counts)
                top = std::max(top, static_cast<double>(c) / m_distances);
        const auto y = [&](double share) {
            return m_chart.bottom() - share / top * (m_chart.height() - 2);
        };
        if (m_distances > 0)
            for (int d = 0; d < vantel::sim::kDistanceClasses; ++d) {
                const double share =
                    static_cast<double>(m_counts[static_cast<size_t>(d)]) / m_distances;
                p.fillRect(QRectF(m_chart.left() + d * slot + 1, y(share), slot - 2,
                                  m_chart.bottom() - y(share)),
                           palette().highlight());
            }
        const QColor tick = palette().color(QPalette::WindowText);
        for (int d = 0; d < vantel::sim::kDistanceClasses; ++d)
            p.fillRect(QRectF(m_chart.left() + d * slot, y(vantel::sim::fairDistanceShare(d)) - 1,
                              slot, 2),
                       tick);
        p.fillRect(QRectF(m_chart.left(), m_chart.bottom() - 1, m_chart.width(), 1),
                   palette().mid());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &p, this);
    }
}
