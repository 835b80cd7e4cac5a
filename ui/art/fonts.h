#pragma once

#include <QFont>

namespace vantel {

// The window's typeface at a size in pixels: Arial, or the metric-compatible
// face the system offers in its place.
inline QFont arialFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace vantel
