#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

class QTimer;
class QWidget;

namespace vantel {

// Where a side window (Statistics, the Simulate dialog) opens, in screen
// coordinates of frames. The main window stays above every other window, so a
// side window goes where the main window cannot hide it: right of it, else left
// of it, else below, else above, wholly on the main window's screen. Where
// none of those has room even for its smallest size, it goes where it covers
// the least of the main window and none of the keep-clear parts (the board's
// cells, Reset and ReCalculate).
struct SidePlacement {
    QRect available;              // the available area of the main window's screen
    QRect main;                   // the main window's frame
    std::vector<QRect> keepClear; // parts of the main window never to be covered
    QSize wanted;                 // the side window's frame at its preferred size
    QSize minimum;                // its smallest workable frame
    int gap = 8;                  // between the two windows
    std::vector<QRect> others;    // the other side windows' frames, to keep clear of
};

// The side window's frame: its size is the wanted one where that fits, never
// below the minimum unless the whole available area is smaller. Clear of the
// other side windows wherever there is room; where there is none, over the
// least of them.
QRect placeSideWindow(const SidePlacement& placement);
// The same beside the main window and clear of the others only: a null
// rectangle where there is no such room even at the minimum size.
QRect placeBesideClear(const SidePlacement& placement);

// One window of a set of side windows.
struct SideWish {
    QSize wanted;
    QSize minimum;
    std::optional<QRect> kept; // the frame the player gave it by hand: it stays
};

// The frames of a set of side windows, given in the order they opened: each
// beside the main window and clear of those before it where that costs it
// nothing; else the later one takes its place as if alone and the earlier
// ones move clear of it; where even that leaves no room, the later one is
// made smaller, and where no room is left at all, the earlier ones hide the
// least of it. A frame kept by hand stays and the others keep clear of it.
std::vector<QRect> placeSideWindows(const SidePlacement& common,
                                    const std::vector<SideWish>& windows);

// The board's cells, Reset and ReCalculate of a main window, by their object
// names, in screen coordinates.
std::vector<QRect> boardKeepClear(const QWidget* main);

// Sizes and moves side beside main by placeSideWindow; client is the size the
// side window's contents would like, minimum its smallest workable client size.
// A shown window is placed again once the window manager has framed it, unless
// again is false.
void placeBeside(QWidget* side, const QWidget* main, QSize client, QSize minimum,
                 bool again = true);

// The side windows of one main window, placed as a set by placeSideWindows:
// shown beside the main window, placed again whenever the main window grows
// or moves, and left where the player put one by hand, for the session.
class SideWindows : public QObject {
  public:
    explicit SideWindows(QWidget* main);
    // Places side (client: the size its contents would like, minimum: its
    // smallest workable client size) with the others shown, and shows it.
    void show(QWidget* side, QSize client, QSize minimum);
    bool movedByHand(const QWidget* side) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Entry {
        QPointer<QWidget> window;
        QSize client;
        QSize minimum;
        bool byHand = false;
        QRect placed;       // the frame it was last given
        bool there = false; // and it has stood there since
        QSize margins;      // what the window manager's frame added when last seen
        int tries = 0;      // placed again since, as the window manager moved it
    };
    Entry* entryOf(const QWidget* side);
    // Places the shown windows, and `showing` about to be shown, again.
    void arrange(const QWidget* showing);

    // How often a window is placed again before it stands where placed.
    static constexpr int kTries = 6;
    QWidget* m_main;
    std::vector<Entry> m_entries; // in the order they were shown
    QTimer* m_soon = nullptr;     // places them again once the main window settles
    bool m_placing = false;
};

} // namespace vantel
