#pragma once

// The artwork painted at build time at a device pixel ratio of 1: one 32-bit
// premultiplied ARGB (or, for the opaque background, 0xFFRRGGBB) word per
// pixel, rows top to bottom. Written by vantel_art_pixels; see ready_art.h.

#include <cstdint>

namespace vantel::art_pixels {

constexpr int kBackgroundWidth = 520;
constexpr int kBackgroundHeight = 241;
constexpr int kTileSide = 33;
constexpr int kTiles = 37;
constexpr int kIconSide = 64;

extern const uint32_t kBackground[kBackgroundWidth * kBackgroundHeight];
extern const uint32_t kTile[kTiles][kTileSide * kTileSide];
extern const uint32_t kIcon[kIconSide * kIconSide];

} // namespace vantel::art_pixels
