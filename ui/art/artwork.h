#pragma once

#include <QPixmap>

namespace vantel {

// The window's artwork, painted with QPainter once at start-up instead of being
// shipped as image files, so the art always matches the layout's geometry.
// Every function is deterministic: the same call paints the same pixels.
// The sizes below are in layout pixels; a device pixel ratio above 1 paints
// the same art at that many device pixels per layout pixel, so it stays sharp
// on a scaled screen while keeping its layout size.

// The 520 x 241 backdrop: header band with logotype and history slot, the
// perforated body, the shelf under the board, the stake bar, the bottom line.
QPixmap paintBackground(qreal devicePixelRatio = 1.0);

// The 33 x 33 static tile of a board number: dark rounded square, dark digits.
QPixmap paintTile(int number, qreal devicePixelRatio = 1.0);

// The 33 x 33 lit overlay of a board number: olive square, haloed digits.
QPixmap paintOverlay(int number, qreal devicePixelRatio = 1.0);

// The program icon, with an alpha channel: drawn on a 64 x 64 grid and painted
// at size x size pixels (the window uses 64; the installed icon files the rest).
QPixmap paintIcon(int size = 64);

} // namespace vantel
