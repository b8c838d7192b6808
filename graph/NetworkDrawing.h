#pragma once

#include "GraphPicture.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

class NumberFormat;
class WorkCells;

// One placed event as the drawing sees it: the caption of its marker (the event name), the
// marker's rectangle on the drawing area in pixels, and the event's position in the critical path
// list (first match, names compared ignoring letter case), -1 when it is not on the path.
struct PlacedEvent
{
    QString caption;
    QRect marker;
    int pathPosition = -1;
};

// The height of the tool band across the top of the graph window, above the drawing area.
inline constexpr int kToolBandHeight = 29;

// The radius of a node's circle, in picture pixels.
inline constexpr int kNodeRadius = 10;

// The node centre of a marker, in picture pixels: its own centre, lowered by the height of the
// tool band above the drawing area, which the picture's origin does not include.
QPoint nodeCentre(const QRect& marker);

// Where the arrow between two node centres goes: from the rim of A's circle to the rim of B's
// (10 pixels cut off each end of the straight line between the centres), and where its label's
// top-left corner sits (the midpoint of the centres), all rounded half to even. Raises
// "Invalid floating point operation" when the centres coincide: the line has no direction.
struct ArrowPlace
{
    QPoint from;
    QPoint end;
    QPoint label;
};
ArrowPlace arrowPlace(QPoint a, QPoint b);

// Draws the network of the placed events, in their order, onto the canvas: for each event its
// outgoing arrows (one per work, top to bottom, that runs from it to a placed event; events and
// works matched exactly), then its node, a white circle of radius 10 with the name in straight
// quotes. Arrows carry "L=" and the duration text of the last work between the two events, are
// dash-dot-dot when that work's duration is zero and width 2 between consecutive events of the
// critical path; nodes on the path have width-2 circles and bold names. Later drawing paints over
// earlier drawing.
//
// Stops where it stands on the first failure: a duration text between two placed events that does
// not read as a number raises the conversion error, and an arrow whose two node centres coincide
// raises "Invalid floating point operation". What was drawn until then stays in the picture.
//
// Runs in time linear in events plus works (rows are indexed by their start and end markers).
void drawNetwork(GraphPicture::Canvas& canvas, const std::vector<PlacedEvent>& events,
                 const WorkCells& table, const NumberFormat& numbers);
