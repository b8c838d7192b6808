#pragma once

#include <QtGlobal>

// The largest PNG pictures the program writes: a side of at most this many pixels and at most
// this many pixels in all (a picture is made in memory first, 4 bytes a pixel). Larger ones are
// refused before anything is written, in words that point to PDF or SVG.
inline constexpr int kMaxPngSide = 32767;
inline constexpr qint64 kMaxPngPixels = 64LL * 1024 * 1024;
