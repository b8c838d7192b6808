#pragma once

#include "CostChartPainter.h"

#include <QString>

#include <memory>

class NumberFormat;

namespace report {
class DrawingPages;
}

// The chart as the program prints and saves it: one landscape page under the shared page header,
// the chart fitted to the page below a caption (its PDF is that print), and the whole chart at
// its natural size as an SVG drawing or a PNG picture, all through the program's writers.
// Failures raise KestrinError in the writers' words.
namespace costchart {

std::unique_ptr<report::DrawingPages> pages(const CostChart& chart, const QString& caption,
                                            const NumberFormat& numbers);
void writeSvg(const CostChart& chart, const NumberFormat& numbers, const QString& path);
void writePng(const CostChart& chart, const NumberFormat& numbers, const QString& path);

} // namespace costchart
