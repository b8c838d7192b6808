#pragma once

#include "DrawingPages.h"
#include "GanttGeometry.h"
#include "GanttPainter.h"
#include "Paper.h"

#include <QList>
#include <QSizeF>

#include <memory>

class DateFormat;
class GanttChart;

namespace report {
class DataSet;
class ReportDocument;
struct ReportLayout;
} // namespace report

using GanttPaper = report::Paper;

// The chart as the report engine prints it and as its PDF holds it, a report::DrawingPages. Below
// the page header that the program's reports share, the body of each page holds one piece of the
// chart: a block of rows over a
// stretch of time cut at the boundaries of the axis units, with the work column and the axis
// repeated on every page and a caption naming the rows and the dates. Pages run along the time
// first: all the time of the first block of rows, then the next block. One chart pixel is
// kMillimetresPerPixel on paper.
//
// The print holds its own copy of the chart's figures in the order of the moment (the table must
// still outlive it), so the layout and its pages stay valid whatever the window does meanwhile.
class GanttPrint : public report::DrawingPages
{
public:
    static constexpr qreal kMillimetresPerPixel = report::kDrawingMillimetresPerPixel;

    // Raises what the geometry raises.
    GanttPrint(const GanttChart& chart, GanttScale scale, GanttPaper paper,
               const DateFormat& dates);
    ~GanttPrint();

    int rowBlocks() const;
    int timeSlices() const;
    // The piece of page `page` (from 0), in chart pixels.
    GanttFrame frame(int page) const;

    struct State;

private:
    std::shared_ptr<const State> m_state;
};
