#pragma once

#include "DrawingPages.h"
#include "RiskChart.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class NumberFormat;

// What the risk window puts on paper and in files, one value the window fills from its report.
struct RiskSheet
{
    QStringList summary; // the analytic and simulated lines, as the window shows them
    RiskChartData chart;
    QStringList percentileCaptions;
    std::vector<QStringList> percentiles;
    QStringList criticalityCaptions;
    std::vector<QStringList> criticality;
};

namespace riskoutput {

// The tables as one CSV file that a spreadsheet opens as it is: UTF-8 with a byte order mark,
// ";" between fields, CR LF line ends. The summary lines, an empty line, the percentile table
// with its captions, an empty line, the criticality table with its captions. A text a
// spreadsheet would take for a formula gets a leading apostrophe.
QByteArray csv(const RiskSheet& sheet);
void writeCsv(const QString& path, const RiskSheet& sheet);

// The chart alone as an SVG drawing or a PNG picture of kRiskChartSize, all or nothing.
void writeSvg(const QString& path, const RiskSheet& sheet, const NumberFormat& numbers);
void writePng(const QString& path, const RiskSheet& sheet, const NumberFormat& numbers);

// The printout, one landscape page below the reports' page header: the summary lines, the chart
// and the two tables (the criticality table as far as the page holds it). Its PDF is the print.
class RiskPrint : public report::DrawingPages
{
public:
    RiskPrint(RiskSheet sheet, const NumberFormat& numbers);
};

} // namespace riskoutput
