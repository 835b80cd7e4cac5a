#include "widgets/side_placement.h"

#include <QEvent>
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

int64_t area(const QRect& r) {
    return r.isEmpty() ? 0 : int64_t(r.width()) * r.height();
}

// The largest rectangles of a room that meet none of the obstacles.
std::vector<QRect> freeParts(const QRect& room, const std::vector<QRect>& obstacles) {
    std::vector<QRect> parts{room};
    for (const QRect& o : obstacles) {
        std::vector<QRect> next;
        for (const QRect& f : parts) {
            if (!f.intersects(o)) {
                next.push_back(f);
                continue;
            }
            if (o.left() > f.left())
                next.emplace_back(f.topLeft(), QPoint(o.left() - 1, f.bottom()));
            if (o.right() < f.right())
                next.emplace_back(QPoint(o.right() + 1, f.top()), f.bottomRight());
            if (o.top() > f.top()) next.emplace_back(f.topLeft(), QPoint(f.right(), o.top() - 1));
            if (o.bottom() < f.bottom())
                next.emplace_back(QPoint(f.left(), o.bottom() + 1), f.bottomRight());
        }
        parts.clear();
        for (size_t i = 0; i < next.size(); ++i) {
            bool inside = next[i].isEmpty();
            for (size_t j = 0; j < next.size() && !inside; ++j)
                inside = j != i && next[j].contains(next[i]) && (next[j] != next[i] || j < i);
            if (!inside) parts.push_back(next[i]);
        }
    }
    return parts;
}

// The other side windows with the gap kept round them.
std::vector<QRect> widened(const std::vector<QRect>& others, int gap) {
    std::vector<QRect> out;
    for (const QRect& r : others)
        out.push_back(r.adjusted(-gap, -gap, gap, gap));
    return out;
}

int distance(QPoint a, QPoint b) {
    return std::abs(a.x() - b.x()) + std::abs(a.y() - b.y());
}

} // namespace

QRect placeBesideClear(const SidePlacement& p) {
    const QRect& avail = p.available;
    const QSize wanted = p.wanted.boundedTo(avail.size());
    const QSize minimum = p.minimum.boundedTo(wanted);
    const std::vector<QRect> obstacles = widened(p.others, p.gap);
    // Beside the main window at the wanted size, nearest to where it would
    // go alone; then beside it at a smaller size, as large as there is room.
    for (Side side : kOrder) {
        const QRect room = roomOn(side, avail, p.main, p.gap).intersected(avail);
        const QPoint ideal = besideIn(side, room, p.main, wanted).topLeft();
        QRect best;
        for (const QRect& part : freeParts(room, obstacles)) {
            if (!fits(part, wanted)) continue;
            const QRect at = besideIn(side, part, p.main, wanted);
            if (best.isNull() || distance(at.topLeft(), ideal) < distance(best.topLeft(), ideal))
                best = at;
        }
        if (!best.isNull()) return best;
    }
    for (Side side : kOrder) {
        const QRect room = roomOn(side, avail, p.main, p.gap).intersected(avail);
        QRect best;
        for (const QRect& part : freeParts(room, obstacles)) {
            if (!fits(part, minimum)) continue;
            const QRect at = besideIn(side, part, p.main, wanted.boundedTo(part.size()));
            if (area(at) > area(best)) best = at;
        }
        if (!best.isNull()) return best;
    }
    return {};
}

QRect placeSideWindow(const SidePlacement& p) {
    const QRect beside = placeBesideClear(p);
    if (!beside.isNull()) return beside;
    const QRect& avail = p.available;
    const QSize wanted = p.wanted.boundedTo(avail.size());
    const QSize minimum = p.minimum.boundedTo(wanted);
    // Over the main window, clear of the board: in the room beside the
    // keep-clear parts where it hides the least of the other side windows,
    // then of the main window.
    QRect board;
    for (const QRect& r : p.keepClear)
        board |= r;
    if (board.isEmpty()) board = p.main;
    const std::vector<QRect> obstacles = widened(p.others, p.gap);
    const auto cover = [&](const QRect& at) {
        int64_t others = 0;
        for (const QRect& o : p.others)
            others += overlap(at, o);
        return std::pair{others, overlap(at, p.main)};
    };
    QRect best;
    std::pair<int64_t, int64_t> bestCover{0, 0};
    // At the largest size that fits; where that hides another side window,
    // at the smallest too, to hide less of it.
    for (const bool smallest : {false, true}) {
        if (smallest && (p.others.empty() || best.isNull() || bestCover.first == 0)) break;
        for (Side side : kOrder) {
            const QRect room = roomOn(side, avail, board, kBoardGap).intersected(avail);
            std::vector<QRect> parts = freeParts(room, obstacles);
            parts.push_back(room);
            for (const QRect& part : parts) {
                if (!fits(part, minimum)) continue;
                const QSize size = smallest ? minimum : wanted.boundedTo(part.size());
                const int xs[] = {part.left(), part.right() + 1 - size.width(),
                                  clampTo(p.main.right() + 1 + p.gap, part.left(),
                                          part.right() + 1 - size.width()),
                                  clampTo(p.main.left() - p.gap - size.width(), part.left(),
                                          part.right() + 1 - size.width())};
                const int ys[] = {part.top(), part.bottom() + 1 - size.height(),
                                  clampTo(p.main.bottom() + 1 + p.gap, part.top(),
                                          part.bottom() + 1 - size.height()),
                                  clampTo(p.main.top() - p.gap - size.height(), part.top(),
                                          part.bottom() + 1 - size.height())};
                for (int x : xs)
                    for (int y : ys) {
                        const QRect at(QPoint(x, y), size);
                        const auto c = cover(at);
                        const bool better = best.isNull() || c < bestCover ||
                                            (c == bestCover && area(at) > area(best));
                        if (better) {
                            best = at;
                            bestCover = c;
                        }
                    }
            }
        }
    }
    if (!best.isNull()) return best;
    // No room anywhere: the smallest frame in the corner of the screen where
    // it covers the least of the board.
    int64_t leastBoard = 0;
    for (const bool right : {true, false})
        for (const bool bottom : {true, false}) {
            const QRect at(QPoint(right ? avail.right() + 1 - minimum.width() : avail.left(),
                                  bottom ? avail.bottom() + 1 - minimum.height() : avail.top()),
                           minimum);
            int64_t covered = 0;
            for (const QRect& r : p.keepClear)
                covered += overlap(at, r);
            if (best.isNull() || covered < leastBoard) {
                best = at;
                leastBoard = covered;
            }
        }
    return best;
}

std::vector<QRect> placeSideWindows(const SidePlacement& common,
                                    const std::vector<SideWish>& windows) {
    const size_t n = windows.size();
    std::vector<QRect> frames(n);
    std::vector<QRect> kept;
    for (size_t i = 0; i < n; ++i)
        if (windows[i].kept) {
            frames[i] = *windows[i].kept;
            kept.push_back(frames[i]);
        }
    const auto wish = [&](size_t i, std::vector<QRect> others) {
        SidePlacement p = common;
        p.wanted = windows[i].wanted;
        p.minimum = windows[i].minimum;
        p.others = std::move(others);
        return p;
    };
    // The frames of the windows before i (and kept ones), but for `skip`.
    const auto before = [&](size_t i, const std::vector<QRect>& at) {
        std::vector<QRect> others = kept;
        for (size_t j = 0; j < i; ++j)
            if (!windows[j].kept) others.push_back(at[j]);
        return others;
    };
    for (size_t i = 0; i < n; ++i) {
        if (windows[i].kept) continue;
        // Clear of the windows already placed, where that loses nothing
        // against its place alone.
        const QRect clear = placeBesideClear(wish(i, before(i, frames)));
        const QRect alone = placeSideWindow(wish(i, kept));
        if (!clear.isNull() && area(clear) >= area(alone)) {
            frames[i] = clear;
            continue;
        }
        // Else it takes its place alone, and the earlier ones move clear of it.
        std::vector<QRect> moved = frames;
        moved[i] = alone;
        bool room = true;
        for (size_t j = 0; j < i && room; ++j) {
            if (windows[j].kept) continue;
            std::vector<QRect> others = before(j, moved);
            others.push_back(alone);
            moved[j] = placeBesideClear(wish(j, others));
            room = !moved[j].isNull();
        }
        if (room) {
            frames = moved;
        } else if (!clear.isNull()) {
            // No room for both clear of each other as they would be: this
            // one smaller, the earlier ones where they are.
            frames[i] = clear;
        } else {
            // No room beside the main window for both: this one where it is
            // best and the earlier ones over the main window clear of it, if
            // there is room for that.
            std::vector<QRect> over = frames;
            over[i] = alone;
            bool clearOfIt = true;
            for (size_t j = 0; j < i; ++j) {
                if (windows[j].kept) continue;
                std::vector<QRect> others = before(j, over);
                others.push_back(alone);
                over[j] = placeSideWindow(wish(j, others));
                clearOfIt = clearOfIt && !over[j].intersects(alone);
            }
            if (clearOfIt) {
                frames = over;
                continue;
            }
            // No room for both anywhere: the earlier ones at their smallest,
            // and this one where it hides the least of them, so that none is
            // hidden whole.
            for (size_t j = 0; j < i; ++j) {
                if (windows[j].kept) continue;
                SidePlacement smallest = wish(j, before(j, frames));
                smallest.wanted = smallest.minimum;
                frames[j] = placeSideWindow(smallest);
            }
            frames[i] = placeSideWindow(wish(i, before(i, frames)));
        }
    }
    return frames;
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

SideWindows::SideWindows(QWidget* main) : QObject(main), m_main(main) {
    main->installEventFilter(this);
    m_soon = new QTimer(this);
    m_soon->setSingleShot(true);
    // A burst of moves (a drag, the window manager framing the window) is
    // one change; placed once it is over, and again as frames settle.
    m_soon->setInterval(150);
    connect(m_soon, &QTimer::timeout, this, [this] {
        arrange(nullptr);
        for (const int wait : kFrameWaits)
            QTimer::singleShot(wait, this, [this] { arrange(nullptr); });
    });
}

SideWindows::Entry* SideWindows::entryOf(const QWidget* side) {
    for (Entry& e : m_entries)
        if (e.window == side) return &e;
    return nullptr;
}

bool SideWindows::movedByHand(const QWidget* side) const {
    for (const Entry& e : m_entries)
        if (e.window == side) return e.byHand;
    return false;
}

void SideWindows::show(QWidget* side, QSize client, QSize minimum) {
    // The window shown last is the latest of the set, whatever it was before.
    Entry entry;
    if (Entry* known = entryOf(side)) {
        entry = *known;
        m_entries.erase(m_entries.begin() + (known - m_entries.data()));
    } else {
        side->installEventFilter(this);
    }
    entry.window = side;
    entry.client = client;
    entry.minimum = minimum;
    entry.tries = 0;
    m_entries.push_back(entry);
    if (!side->isVisible()) {
        arrange(side);
        side->show();
    }
    // The first show settles the frame; placed again by the real one, and
    // again as the window manager tells the frame it gives, a moment later.
    arrange(nullptr);
    for (const int wait : kFrameWaits)
        QTimer::singleShot(wait, this, [this] { arrange(nullptr); });
}

void SideWindows::arrange(const QWidget* showing) {
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [](const Entry& e) { return e.window.isNull(); }),
                    m_entries.end());
    std::vector<Entry*> shown;
    for (Entry& e : m_entries)
        if (e.window->isVisible() || e.window == showing) shown.push_back(&e);
    if (shown.empty()) return;
    const QScreen* screen = m_main->screen() ? m_main->screen() : QGuiApplication::primaryScreen();
    SidePlacement common;
    common.available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    common.main = m_main->frameGeometry();
    common.keepClear = boardKeepClear(m_main);
    std::vector<SideWish> wishes;
    std::vector<QSize> margins;
    std::vector<QPoint> corners; // from the frame's corner to the client's
    for (const Entry* e : shown) {
        // Before its first showing a window knows no frame; the main window's
        // decorations are the best guess of what the window manager adds.
        const QWidget* framed = e->window;
        if (!e->window->isVisible() ||
            (e->window->frameGeometry().size() - e->window->size()).isEmpty())
            framed = m_main;
        margins.push_back(framed->frameGeometry().size() - framed->size());
        corners.push_back(framed->geometry().topLeft() - framed->frameGeometry().topLeft());
        SideWish w;
        w.wanted = e->client + margins.back();
        // Never below what its layout needs.
        w.minimum = e->minimum.expandedTo(e->window->minimumSizeHint()) + margins.back();
        if (e->byHand) w.kept = e->window->frameGeometry();
        wishes.push_back(w);
    }
    const std::vector<QRect> frames = placeSideWindows(common, wishes);
    for (size_t i = 0; i < shown.size(); ++i) {
        Entry& e = *shown[i];
        if (e.byHand) continue;
        if (e.window->frameGeometry() == frames[i]) {
            e.placed = frames[i];
            e.there = e.window->isVisible();
            e.margins = e.window->frameGeometry().size() - e.window->size();
            continue;
        }
        // Until the window manager has put it where it was placed, its moves
        // are the window manager's answer, not the player's hand.
        e.placed = frames[i];
        e.there = false;
        m_placing = true;
        // Size and place in one request: a window manager that sees the new
        // size at the old place first may keep the window there.
        if (e.window->isVisible()) {
            e.window->setGeometry(
                QRect(frames[i].topLeft() + corners[i], frames[i].size() - margins[i]));
        } else {
            e.window->resize(frames[i].size() - margins[i]);
            e.window->move(frames[i].topLeft());
        }
        m_placing = false;
    }
}

bool SideWindows::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Move && type != QEvent::Resize) return false;
    if (watched == m_main) {
        // The main window grew or moved: the side windows make way.
        if (!m_placing) m_soon->start();
        return false;
    }
    Entry* e = entryOf(static_cast<QWidget*>(watched));
    if (!e || m_placing || !e->window->isVisible() || e->byHand) return false;
    // A window that stood where placed before the window manager framed it
    // is framed late, on a loaded machine: a new frame is the window
    // manager's answer, never the player's hand.
    const QSize margins = e->window->frameGeometry().size() - e->window->size();
    const bool framedAnew = margins != e->margins;
    e->margins = margins;
    if (e->window->frameGeometry() == e->placed) {
        e->there = true;
        e->tries = 0;
    } else if (e->there && !framedAnew) {
        e->byHand = true; // moved or resized from where it stood, not by this program
    } else if (e->tries < kTries) {
        // Framed or moved by the window manager before it stood where it was
        // placed, however late: placed again by the frame it has now.
        e->there = false;
        ++e->tries;
        m_soon->start();
    }
    return false;
}

} // namespace vantel
