#include "art/ready_art.h"

#include "art/art_pixels.h"
#include "art/artwork.h"

#include <QImage>

namespace vantel {

namespace {

namespace px = art_pixels;

// The compiled pixels as a pixmap; the image only points at them.
QPixmap fromPixels(const uint32_t* pixels, int width, int height, QImage::Format format) {
    return QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(pixels), width, height,
                                     width * int(sizeof(uint32_t)), format));
}

} // namespace

QPixmap backgroundArt(qreal devicePixelRatio) {
    if (devicePixelRatio != 1.0) return paintBackground(devicePixelRatio);
    return fromPixels(px::kBackground, px::kBackgroundWidth, px::kBackgroundHeight,
                      QImage::Format_RGB32);
}

QPixmap tileArt(int number, qreal devicePixelRatio) {
    if (devicePixelRatio != 1.0 || number < 0 || number >= px::kTiles)
        return paintTile(number, devicePixelRatio);
    return fromPixels(px::kTile[number], px::kTileSide, px::kTileSide,
                      QImage::Format_ARGB32_Premultiplied);
}

QPixmap iconArt() {
    return fromPixels(px::kIcon, px::kIconSide, px::kIconSide, QImage::Format_ARGB32_Premultiplied);
}

} // namespace vantel
