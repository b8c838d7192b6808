#pragma once

#include "RiskSimulation.h"

#include <QSizeF>
#include <QString>

#include <optional>
#include <vector>

class NumberFormat;
class QPainter;

// What the chart of a simulation shows: the histogram of the project length (the share of runs
// in each bar), its cumulative curve, and the directive as a vertical line.
struct RiskChartData
{
    std::vector<risk::HistogramBar> bars; // none before a simulation
    std::optional<double> directive;      // Tд, days; none for a date before the start
    QString directiveLabel;               // "Tд: 15.03.2027"
};

// The natural size of the chart in drawing pixels: what the picture files hold.
inline constexpr QSizeF kRiskChartSize(720, 380);
// The bars the chart cuts the lengths into.
inline constexpr int kRiskChartBars = 40;

// The one paint routine of the chart, shared by the window, the printout and the PNG, SVG and PDF
// files. Paints `size` drawing pixels with the top left corner at the painter's origin: the days
// along the bottom, the share of runs per bar on the left, the cumulative share on the right
// (0..100 %). Without bars it says that nothing is simulated yet.
void paintRiskChart(QPainter& painter, const RiskChartData& data, QSizeF size,
                    const NumberFormat& numbers);

// The colours, for those who check a picture.
namespace riskchart {
inline constexpr unsigned kBarColour = 0xff7fa4e0;
inline constexpr unsigned kCurveColour = 0xffd81818;
inline constexpr unsigned kDirectiveColour = 0xff208020;
} // namespace riskchart
