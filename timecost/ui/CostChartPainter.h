#pragma once

#include "CostCurveTable.h"

#include <QSizeF>

#include <vector>

class NumberFormat;
class QPainter;

// The chart of the time–cost curve in drawing pixels: the direct cost and the total cost against
// the length, each corner marked, the corner of the least total ringed in red, with the axes'
// figures in the program's number text. One routine for the window, the printed page and the
// SVG, PNG and PDF files.
struct CostChart
{
    std::vector<CostChartPoint> points;
    int best = 0;
};

// The chart's natural size, in drawing pixels.
inline constexpr QSizeF kCostChartSize(760, 440);

// Paints the chart to fill `size` drawing pixels from the painter's origin.
void paintCostChart(QPainter& painter, const CostChart& chart, QSizeF size,
                    const NumberFormat& numbers);

// The step between the axis's figures for a range: 1, 2 or 5 times a power of ten, so that about
// `count` figures fit. A range of 0 counts as 1.
double costChartStep(double range, int count);
