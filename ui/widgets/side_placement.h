#pragma once

#include <QRect>
#include <QSize>

#include <vector>

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
};

// The side window's frame: its size is the wanted one where that fits, never
// below the minimum unless the whole available area is smaller.
QRect placeSideWindow(const SidePlacement& placement);

// The board's cells, Reset and ReCalculate of a main window, by their object
// names, in screen coordinates.
std::vector<QRect> boardKeepClear(const QWidget* main);

// Sizes and moves side beside main by placeSideWindow; client is the size the
// side window's contents would like, minimum its smallest workable client size.
// A shown window is placed again once the window manager has framed it, unless
// again is false.
void placeBeside(QWidget* side, const QWidget* main, QSize client, QSize minimum,
                 bool again = true);

} // namespace vantel
