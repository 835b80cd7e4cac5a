#include "widgets/side_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstdint>

namespace vantel {

namespace {

int64_t overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : int64_t(common.width()) * common.height();
}

bool fits(const QRect& room, QSize size) {
    return room.width() >= size.width() && room.height() >= size.height();
}

int clampTo(int value, int low, int high) {
    return std::clamp(value, low, std::max(low, high));
}

// When to look again whether the window manager has framed a window.
constexpr int kFrameWaits[] = {100, 300, 700, 1500};
// Kept between a side window and the board, for frames that round to half pixels.
constexpr int kBoardGap = 4;

enum class Side { Right, Left, Below, Above };

// The part of the available area on one side of a rectangle.
QRect roomOn(Side side, const QRect& avail, const QRect& of, int gap) {
    switch (side) {
    case Side::Right:
        return QRect(QPoint(of.right() + 1 + gap, avail.top()), avail.bottomRight());
    case Side::Left:
        return QRect(avail.topLeft(), QPoint(of.left() - 1 - gap, avail.bottom()));
    case Side::Below:
        return QRect(QPoint(avail.left(), of.bottom() + 1 + gap), avail.bottomRight());
    case Side::Above:
        return QRect(avail.topLeft(), QPoint(avail.right(), of.top() - 1 - gap));
    }
    return {};
}

// A frame of the given size in a room, next to `of` on that side, level with it.
QRect besideIn(Side side, const QRect& room, const QRect& of, QSize size) {
    int x = 0;
    int y = 0;
    switch (side) {
    case Side::Right:
    case Side::Left:
        x = side == Side::Right ? room.left() : room.right() + 1 - size.width();
        y = clampTo(of.top(), room.top(), room.bottom() + 1 - size.height());
        break;
    case Side::Below:
    case Side::Above:
        y = side == Side::Below ? room.top() : room.bottom() + 1 - size.height();
        x = clampTo(of.left(), room.left(), room.right() + 1 - size.width());
        break;
    }
    return QRect(QPoint(x, y), size);
}

constexpr std::array<Side, 4> kOrder{Side::Right, Side::Left, Side::Below, Side::Above};

} // namespace

QRect placeSideWindow(const SidePlacement& p) {
    const QRect& avail = p.available;
    const QSize wanted = p.wanted.boundedTo(avail.size());
    const QSize minimum = p.minimum.boundedTo(wanted);
    // Beside the main window at the wanted size; then beside it at a smaller one.
    for (Side side : kOrder) {
        const QRect room = roomOn(side, avail, p.main, p.gap).intersected(avail);
        if (fits(room, wanted)) return besideIn(side, room, p.main, wanted);
    }
    for (Side side : kOrder) {
        const QRect room = roomOn(side, avail, p.main, p.gap).intersected(avail);
        if (fits(room, minimum)) return besideIn(side, room, p.main, wanted.boundedTo(room.size()));
    }
    // Over the main window, clear of the board: in the room beside the
    // keep-clear parts where it hides the least of the main window.
    QRect board;
    for (const QRect& r : p.keepClear)
        board |= r;
    if (board.isEmpty()) board = p.main;
    QRect best;
    int64_t bestCover = 0;
    for (Side side : kOrder) {
        const QRect room = roomOn(side, avail, board, kBoardGap).intersected(avail);
        if (!fits(room, minimum)) continue;
        const QSize size = wanted.boundedTo(room.size());
        const int xs[] = {
            room.left(), room.right() + 1 - size.width(),
            clampTo(p.main.right() + 1 + p.gap, room.left(), room.right() + 1 - size.width()),
            clampTo(p.main.left() - p.gap - size.width(), room.left(),
                    room.right() + 1 - size.width())};
        const int ys[] = {
            room.top(), room.bottom() + 1 - size.height(),
            clampTo(p.main.bottom() + 1 + p.gap, room.top(), room.bottom() + 1 - size.height()),
            clampTo(p.main.top() - p.gap - size.height(), room.top(),
                    room.bottom() + 1 - size.height())};
        for (int x : xs)
            for (int y : ys) {
                const QRect at(QPoint(x, y), size);
                const int64_t cover = overlap(at, p.main);
                const bool better =
                    best.isNull() || cover < bestCover ||
                    (cover == bestCover &&
                     int64_t(size.width()) * size.height() > int64_t(best.width()) * best.height());
                if (better) {
                    best = at;
                    bestCover = cover;
                }
            }
    }
    if (!best.isNull()) return best;
    // No room anywhere: the smallest frame in the corner of the screen where
    // it covers the least of the board.
    for (const bool right : {true, false})
        for (const bool bottom : {true, false}) {
            const QRect at(QPoint(right ? avail.right() + 1 - minimum.width() : avail.left(),
                                  bottom ? avail.bottom() + 1 - minimum.height() : avail.top()),
                           minimum);
            int64_t cover = 0;
            for (const QRect& r : p.keepClear)
                cover += overlap(at, r);
            if (best.isNull() || cover < bestCover) {
                best = at;
                bestCover = cover;
            }
        }
    return best;
}

std::vector<QRect> boardKeepClear(const QWidget* main) {
    std::vector<QRect> parts;
    const auto add = [&](const QString& name) {
        if (const auto* w = main->findChild<const QWidget*>(name))
            parts.emplace_back(w->mapToGlobal(QPoint(0, 0)), w->size());
    };
    for (int n = 0; n <= 36; ++n)
        add(QStringLiteral("FlatButton%1").arg(n));
    add(QStringLiteral("Reset_Bets"));
    add(QStringLiteral("ReCalculate"));
    return parts;
}

void placeBeside(QWidget* side, const QWidget* main, QSize client, QSize minimum, bool again) {
    const QScreen* screen = main->screen() ? main->screen() : QGuiApplication::primaryScreen();
    SidePlacement p;
    p.available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    p.main = main->frameGeometry();
    p.keepClear = boardKeepClear(main);
    // Before its first showing a window knows no frame; the main window's
    // decorations are the best guess of what the window manager adds.
    QSize margins = side->frameGeometry().size() - side->size();
    if (!side->isVisible() || margins.isEmpty())
        margins = main->frameGeometry().size() - main->size();
    p.wanted = client + margins;
    // Never below what its layout needs.
    p.minimum = minimum.expandedTo(side->minimumSizeHint()) + margins;
    const QRect frame = placeSideWindow(p);
    side->resize(frame.size() - margins);
    side->move(frame.topLeft());
    // A window manager tells the frame it gives a window a moment after the
    // window is shown, and until then a move places the window's inside;
    // placed by a guess, the window is placed again once its frame is known.
    if (again && side->isVisible())
        for (const int wait : kFrameWaits)
            QTimer::singleShot(wait, side, [side, main, client, minimum] {
                if (!side->isVisible()) return;
                const QSize framed = side->frameGeometry().size() - side->size();
                SidePlacement q;
                q.available =
                    main->screen() ? main->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
                q.main = main->frameGeometry();
                q.keepClear = boardKeepClear(main);
                q.wanted = client + framed;
                q.minimum = minimum.expandedTo(side->minimumSizeHint()) + framed;
                if (side->frameGeometry() != placeSideWindow(q))
                    placeBeside(side, main, client, minimum, false);
            });
}

} // namespace vantel
