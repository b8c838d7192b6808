#include "MarkerPlacement.h"

#include "NameCollation.h"
#include "NetworkDrawing.h"
#include "NetworkLayout.h"
#include "PixelRounding.h"
#include "WorkCells.h"

#include <algorithm>
#include <numeric>

namespace {

// The proportions of a layout for markers: a layer a marker wide, events a marker high.
LayoutMetrics placementMetrics(QSize marker)
{
    LayoutMetrics metrics;
    metrics.eventDiameter = marker.height();
    metrics.layerGap = marker.width() - marker.height();
    metrics.eventGap = marker.height() / 2;
    metrics.bendGap = marker.height() / 4;
    metrics.bowStep = marker.height();
    return metrics;
}

LayoutInput listedNetwork(const WorkCells& table, const NameCollation& collation,
                          const QStringList& entries, const QStringList& pathEntries)
{
    const int rows = table.rowCount();
    const int entryCount = int(entries.size());
    QStringList names = entries;
    names.reserve(entryCount + 2 * rows);
    for (int row = 0; row < rows; ++row) {
        names.append(table.cell(WorkColumn::StartEvent, row));
        names.append(table.cell(WorkColumn::EndEvent, row));
    }
    const std::vector<int> entryOf = collation.firstEqualIndex(names);
    LayoutInput network;
    network.names = entries;
    for (int row = 0; row < rows; ++row) {
        const int cell = entryCount + 2 * row;
        if (names[cell].isEmpty() || names[cell + 1].isEmpty())
            continue;
        network.works.push_back({entryOf[std::size_t(cell)], entryOf[std::size_t(cell) + 1]});
    }
    for (const QString& entry : pathEntries) {
        if (entry.isNull())
            break;
        network.line.push_back(int(entries.indexOf(entry)));
    }
    return network;
}

} // namespace

MarkerPlacement placeAllMarkers(const WorkCells& table, const NameCollation& names,
                                const QStringList& entries, const QStringList& pathEntries,
                                const std::vector<char>& listed, const std::vector<QRect>& taken,
                                QSize area, QSize marker)
{
    const LayoutInput network = listedNetwork(table, names, entries, pathEntries);
    const NetworkLayout layout = layOutNetwork(network, placementMetrics(marker));

    // The layout stretched over the area, each way on its own; the markers keep their size, and
    // each node's circle, drawn below its marker, stays in the picture.
    const int circleBottom = nodeCentre(QRect(QPoint(0, 0), marker)).y() + kNodeRadius + 1;
    const QSize room(area.width() - marker.width(), area.height() - circleBottom);
    double left = 0, right = 0, top = 0, bottom = 0;
    for (std::size_t event = 0; event < layout.centres.size(); ++event) {
        const QPointF& centre = layout.centres[event];
        left = event == 0 ? centre.x() : std::min(left, centre.x());
        right = event == 0 ? centre.x() : std::max(right, centre.x());
        top = event == 0 ? centre.y() : std::min(top, centre.y());
        bottom = event == 0 ? centre.y() : std::max(bottom, centre.y());
    }
    const auto stretch = [](double value, double from, double to, int length) {
        const long double share = to > from ? (value - from) / (to - from) : 0.5L;
        return roundToPixel(share * std::max(0, length));
    };

    // The line first, then layer by layer, top to bottom: where the area is too small, the
    // network's spine is what gets placed.
    std::vector<int> order(layout.centres.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<char> onLine(order.size(), 0);
    for (const int event : network.line)
        onLine[std::size_t(event)] = 1;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (onLine[std::size_t(a)] != onLine[std::size_t(b)])
            return onLine[std::size_t(a)] > onLine[std::size_t(b)];
        if (layout.layers[std::size_t(a)] != layout.layers[std::size_t(b)])
            return layout.layers[std::size_t(a)] < layout.layers[std::size_t(b)];
        return layout.centres[std::size_t(a)].y() < layout.centres[std::size_t(b)].y();
    });

    MarkerPlacement placement;
    std::vector<QRect> occupied = taken;
    occupied.reserve(taken.size() + order.size());
    for (const int event : order) {
        if (!listed[std::size_t(event)])
            continue;
        const QPointF& centre = layout.centres[std::size_t(event)];
        const QRect spot(QPoint(stretch(centre.x(), left, right, room.width()),
                                stretch(centre.y(), top, bottom, room.height())),
                         marker);
        if (std::any_of(occupied.begin(), occupied.end(),
                        [&](const QRect& other) { return other.intersects(spot); })) {
            ++placement.crowded;
            continue;
        }
        occupied.push_back(spot);
        placement.placed.push_back({event, spot.topLeft()});
    }
    return placement;
}
