#include "NetworkDrawing.h"

#include "CheckedArithmetic.h"
#include "NumberFormat.h"
#include "PixelRounding.h"
#include "WorkCells.h"

#include <QHash>

#include <cmath>

namespace {

constexpr int kEndDotRadius = 3;

// The works joining one ordered pair of placed events, top to bottom, and the pen style their
// durations give, worked out when the pair's first arrow is drawn.
struct PairWorks
{
    std::vector<int> rows;
    bool styleKnown = false;
    Qt::PenStyle style = Qt::SolidLine;
};

struct Node
{
    QPoint centre;
    int pathPosition;
};

quint64 pairKey(int from, int to)
{
    return (static_cast<quint64>(static_cast<quint32>(from)) << 32) | static_cast<quint32>(to);
}

// Every work between the two events reads its duration and sets the pen style as it goes; the last
// one decides, and one that does not read as a number stops the drawing with the style the works
// before it set (the pen keeps it for the next drawing, as any pen setting does).
void setArrowStyle(GraphPicture::Canvas& canvas, PairWorks& works, const WorkCells& table,
                   const NumberFormat& numbers)
{
    if (!works.styleKnown) {
        for (int row : works.rows) {
            const long double duration = numbers.parse(table.cellView(WorkColumn::Duration, row));
            works.style = duration == 0 ? Qt::DashDotDotLine : Qt::SolidLine;
            canvas.setPenStyle(works.style);
        }
        works.styleKnown = true;
    }
    canvas.setPenStyle(works.style);
}

void drawArrow(GraphPicture::Canvas& canvas, const Node& a, const Node& b, PairWorks& works,
               const WorkCells& table, const NumberFormat& numbers)
{
    const ArrowPlace place = arrowPlace(a.centre, b.centre);
    const QString label =
        QStringLiteral("L=") + table.cell(WorkColumn::Duration, works.rows.back());
    const bool critical =
        a.pathPosition >= 0 && b.pathPosition >= 0 && b.pathPosition == a.pathPosition + 1;
    canvas.setPenWidth(critical ? 2 : 1);
    setArrowStyle(canvas, works, table, numbers);
    canvas.line(place.from, place.end);

    canvas.setPenWidth(1);
    canvas.setBold(false);
    canvas.text(place.label, label);
    // The arrow's head: a small white dot on the rim of B's circle, in the arrow's own style.
    const QPoint dotReach(kEndDotRadius, kEndDotRadius);
    canvas.ellipse(place.end - dotReach, place.end + dotReach);
}

void drawNode(GraphPicture::Canvas& canvas, const Node& node, const QString& caption)
{
    const bool onPath = node.pathPosition >= 0;
    canvas.setPenWidth(onPath ? 2 : 1);
    canvas.setBold(onPath);
    canvas.setPenStyle(Qt::SolidLine);
    const QPoint reach(kNodeRadius, kNodeRadius);
    canvas.ellipse(node.centre - reach, node.centre + reach);
    canvas.text(node.centre + QPoint(kNodeRadius, -2 * kNodeRadius),
                QLatin1Char('"') + caption + QLatin1Char('"'));
}

} // namespace

ArrowPlace arrowPlace(QPoint a, QPoint b)
{
    const int ax = a.x();
    const int ay = a.y();
    const int bx = b.x();
    const int by = b.y();
    // y grows downwards in the picture; dy is positive when B lies higher.
    const long double dx = bx - ax;
    const long double dy = ay - by;
    const long double d = std::sqrt(dx * dx + dy * dy);
    // Coinciding centres give 0 / 0: no direction, an invalid operation.
    const long double s = checked::divide(dy, d);
    const long double c = checked::divide(dx, d);
    return {QPoint(roundToPixel(ax + kNodeRadius * c), roundToPixel(ay - kNodeRadius * s)),
            QPoint(roundToPixel(bx - kNodeRadius * c), roundToPixel(by + kNodeRadius * s)),
            QPoint(roundToPixel((ax + bx) / 2.0L), roundToPixel((ay + by) / 2.0L))};
}

QPoint nodeCentre(const QRect& marker)
{
    return QPoint(roundToPixel(marker.left() + marker.width() * 0.5L),
                  roundToPixel(marker.top() + marker.height() * 0.5L) + kToolBandHeight);
}

void drawNetwork(GraphPicture::Canvas& canvas, const std::vector<PlacedEvent>& events,
                 const WorkCells& table, const NumberFormat& numbers)
{
    const int eventCount = static_cast<int>(events.size());
    // Captions are distinct: an event gets at most one marker.
    QHash<QString, int> eventByCaption;
    eventByCaption.reserve(eventCount);
    std::vector<Node> nodes;
    nodes.reserve(events.size());
    for (int i = 0; i < eventCount; ++i) {
        const PlacedEvent& event = events[static_cast<std::size_t>(i)];
        eventByCaption.insert(event.caption, i);
        nodes.push_back({nodeCentre(event.marker), event.pathPosition});
    }

    // For each event, the targets of its outgoing works to placed events, one per work in table
    // order; for each pair of events, the works joining them. Works touching an unplaced event
    // draw nothing.
    std::vector<std::vector<int>> outgoing(events.size());
    QHash<quint64, PairWorks> pairs;
    const int rows = table.rowCount();
    for (int row = 0; row < rows; ++row) {
        const auto from = eventByCaption.constFind(table.cell(WorkColumn::StartEvent, row));
        if (from == eventByCaption.cend())
            continue;
        const auto to = eventByCaption.constFind(table.cell(WorkColumn::EndEvent, row));
        if (to == eventByCaption.cend())
            continue;
        outgoing[static_cast<std::size_t>(*from)].push_back(*to);
        pairs[pairKey(*from, *to)].rows.push_back(row);
    }

    for (int a = 0; a < eventCount; ++a) {
        const Node& node = nodes[static_cast<std::size_t>(a)];
        for (const int b : outgoing[static_cast<std::size_t>(a)])
            drawArrow(canvas, node, nodes[static_cast<std::size_t>(b)], pairs[pairKey(a, b)], table,
                      numbers);
        drawNode(canvas, node, events[static_cast<std::size_t>(a)].caption);
    }
}
