#pragma once

#include <QtGlobal>

// The measures that every drawing, printed page and picture file of the program shares, each
// stated once.

inline constexpr qreal kMillimetresPerInch = 25.4;
// Drawings and pictures are made for a screen of this many pixels to the inch: one drawing pixel
// is one screen pixel at 100 %.
inline constexpr int kScreenPixelsPerInch = 96;
// Every PDF the program writes is painted at this many dots to the inch.
inline constexpr int kPdfDotsPerInch = 1200;
// The red of critical works and events, in the diagram, the Gantt chart and their files, and the
// red of the program's pictures.
inline constexpr unsigned kCriticalRed = 0xffd81818;
