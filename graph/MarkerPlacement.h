#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <vector>

class NameCollation;
class WorkCells;

// Where "Разместить все события" puts a marker: the entry it shows (an index into the entries)
// and the marker's top-left corner on the drawing area, in pixels.
struct MarkerSpot
{
    int entry = 0;
    QPoint topLeft;
};

struct MarkerPlacement
{
    std::vector<MarkerSpot> placed; // in the order they are to be placed
    int crowded = 0;                // listed events left out: their marker would overlap another
};

// The placement of every listed event at once, widget-free. The network is the table's works
// between the entries (each cell stands for the entry equal to it ignoring letter case; rows
// missing an event are left out), laid out by the layout library with markers as the events and
// pathEntries (the entry of each position of the critical path list, up to the first null) on
// the line. The layout is stretched over the drawing area, across and down each on its own, so
// that the network fills the area whatever its proportions: every marker lies inside `area`
// across, and the circle drawn below it inside `area` down (the picture's height). The line's
// events come first, then layer by layer, top to bottom; an event whose marker would overlap one
// of `taken` or one placed before it is left out and counted as crowded.
//
// listed says, per entry, whether it is still to be placed; `marker` is a marker's size.
MarkerPlacement placeAllMarkers(const WorkCells& table, const NameCollation& names,
                                const QStringList& entries, const QStringList& pathEntries,
                                const std::vector<char>& listed, const std::vector<QRect>& taken,
                                QSize area, QSize marker);
