#pragma once

#include <QRect>

namespace vantel {

// A board cell in window coordinates: 0 left of the first column, 1 to 36 in
// columns of three with 1 at the bottom left. Neighbouring cells share their
// border line, so each is 33 pixels on a 32-pixel pitch.
inline QRect cellRect(int n) {
    if (n == 0) return {24, 96, 33, 33};
    const int column = (n - 1) / 3;
    const int row = (n - 1) % 3;
    return {56 + 32 * column, 128 - 32 * row, 33, 33};
}

} // namespace vantel
