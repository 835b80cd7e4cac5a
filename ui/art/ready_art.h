#pragma once

#include <QPixmap>

namespace vantel {

// The window's artwork as it is shown. At a device pixel ratio of 1 the
// pictures come ready-made: the build runs the artwork's own painting code
// once (vantel_art_pixels) and compiles the pixels into the program, so
// starting the window paints nothing. At any other ratio they are painted
// here, as artwork.h describes.
QPixmap backgroundArt(qreal devicePixelRatio);
QPixmap tileArt(int number, qreal devicePixelRatio);
QPixmap iconArt();

} // namespace vantel
