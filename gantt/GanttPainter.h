#pragma once

#include "DrawingUnits.h"

#include <QSizeF>
#include <QString>

class GanttGeometry;
class QPainter;

namespace gantt {
// The caption line above the axis of a printed page, in chart pixels.
inline constexpr qreal kCaptionHeight = 20;
} // namespace gantt

// What one painting of a chart shows, and in how much room. From top to bottom: the caption (when
// there is one), the two lines of the time axis, the rows; from left to right: the work column
// (row number, "start → end", duration) and the time area. The work column and the axis stay put;
// the rows and the time area show a window onto the chart.
struct GanttFrame
{
    // The whole painted area, in chart pixels.
    QSizeF size;
    // The rows [firstPosition, endPosition) may be shown, as far as there is room.
    int firstPosition = 0;
    int endPosition = 0;
    // How far the first row is scrolled up out of sight, in chart pixels.
    qreal rowShift = 0;
    // Chart x at the left edge of the time area.
    qreal fromX = 0;
    QString caption;

    // The frame that holds the whole chart, every row and the whole axis.
    static GanttFrame whole(const GanttGeometry& geometry);
};

// The one paint routine of the chart, which the window, the printed pages and the PDF, SVG and PNG
// files all share. Paints the frame with its top left corner at the painter's origin, one chart
// pixel to one unit of the painter's coordinates. Only the rows that are in sight are visited,
// so a scroll step of a chart of any length costs the same.
//
// A bar runs from the early start to the early finish, in red for a critical work (total float
// 0) and in blue otherwise; a work of zero duration is a diamond. The free float follows the bar
// as a thin line, the rest of the total float as a dashed line up to the late finish. A vertical
// line stands at L.
void paintGantt(QPainter& painter, const GanttGeometry& geometry, const GanttFrame& frame);

// The colours of the bars, for those who check a picture.
namespace gantt {
inline constexpr unsigned kCriticalColour = kCriticalRed;
inline constexpr unsigned kWorkColour = 0xff2858c0;
} // namespace gantt
