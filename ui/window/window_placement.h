#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where the main window goes on the screen and what it offers the window
// manager. Placing works in device pixels, so that a scaled window opens
// where an unscaled one does.
namespace window_placement {

// Where the window opens, in device pixels: at 252,129 when the whole window
// fits there, otherwise as near as keeps it on the screen.
QPoint openingPosition(const QRect& available, QSize frame);
// Moves a window about to be shown for the first time to its opening place.
void placeAtOpening(QWidget& window);
// Offers the window manager moving, minimising and closing, not resizing.
void offerNoResize(QWidget& window);

} // namespace window_placement
