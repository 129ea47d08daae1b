// Pictures at a display scale: which stored scale to start from, the scaled size of a
// 96-DPI length, and an area-averaging resampler (each output pixel the exact average of
// the source area it covers, as a box filter with fractional edges). Win32-free.
//
// Our own filter rather than the imaging component's scaler: Wine 8's scaler gives the
// nearest-neighbour pixels whichever interpolation mode is asked for (Fant and
// high-quality cubic included; measured), which breaks thin lines and words.
#pragma once

#include "toolkit/pixels.h"

#include <span>

namespace toolkit {

// A length laid out at 96 DPI, at this DPI: rounded to the nearest pixel, halves up.
[[nodiscard]] int ScaledLength(int length96, int dpi) noexcept;

// Of the scales a picture is stored at (in percent, 100 = 96 DPI), the one to show at this
// DPI: the exact one when stored, else the smallest larger one (scaled down loses less
// than scaled up), else the largest. Zero when none is stored.
[[nodiscard]] int ChooseStoredScale(std::span<const int> storedPercent, int dpi) noexcept;

// The picture resampled to width x height by area averaging; the same size is a copy.
[[nodiscard]] Pixels ResampleArea(const Pixels& source, int width, int height);

// A strip of equal tiles (tileWidth x tileHeight each, side by side, row after row),
// each tile resampled on its own to outTileWidth x outTileHeight, so that no tile takes
// colour from its neighbours.
[[nodiscard]] Pixels ResampleTiles(const Pixels& source, int tileWidth, int tileHeight,
                                   int outTileWidth, int outTileHeight);

}  // namespace toolkit
