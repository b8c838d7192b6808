#pragma once

#include "NetworkLayout.h"

#include <QFont>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <vector>

class DiagramModel;

enum class EventStyle {
    Sectors, // a circle in four sectors: the name on top, Tр left, Tп right, R at the bottom
    Named,   // a circle with the name
};

// The sizes of a diagram, in diagram pixels (screen pixels at 100 %), measured from its texts:
// the circles of both styles and the room between the layers for the widest label. A text that
// would need more than the largest circle or gap is shortened with "…".
struct DiagramSizes
{
    static constexpr double kTextPixels = 11;
    static constexpr double kMaxRadius = 64;
    static constexpr double kMaxLabelWidth = 200;

    double sectorRadius = 0;
    double namedRadius = 0;
    double labelWidth = 0; // the widest label, within kMaxLabelWidth
    double labelHeight = 0;

    static DiagramSizes measure(const DiagramModel& model);
    // The label of a work's total float: "Rп=" and the float as the table writes it.
    static QString floatLabel(const QString& totalFloat);
    // The room the layout leaves: circles of the larger style, so both styles share one layout.
    LayoutMetrics layoutMetrics() const;
    double radius(EventStyle style) const
    {
        return style == EventStyle::Sectors ? sectorRadius : namedRadius;
    }
};

// The fonts of the diagram: text and labels, and the event names (bold).
QFont diagramFont(bool bold = false);

// A text of the diagram and the box it is centred in.
struct SceneText
{
    QRectF box;
    QString text;
};

struct SceneEvent
{
    QPointF centre;
    bool critical = false;
    bool timesKnown = false;
    // Sectors: name, Tр, Tп, R; named: the name only (in `top`).
    SceneText top;
    SceneText left;
    SceneText right;
    SceneText bottom;
    // The whole name and the times, however long: the view's tool tip.
    QString toolTip;
};

// A stretch of a work's line, straight or a rounded corner. A view paints only the stretches in
// sight: stroking a long line whole would cost as much as the line is long.
struct LinePiece
{
    QPainterPath path;
    QRectF bounds;
    double along = 0; // the length of the line before the piece, so dashes run on across pieces
};

struct SceneWork
{
    // The line from the rim of the start event's circle to the base of the arrowhead, and the
    // head, whose tip touches the end event's circle.
    std::vector<LinePiece> line;
    QPolygonF head;
    QPointF start;
    QPointF tip;
    // The duration above the line, and the total float below it when floats are shown.
    SceneText duration;
    SceneText totalFloat;
    bool critical = false;
    bool zeroDuration = false;
    QRectF bounds;
    // The hint over the arrow: the work's name; empty for a work without one.
    QString toolTip;
};

// What to show: the style of the events and whether the works carry their total float.
struct DiagramOptions
{
    EventStyle style = EventStyle::Sectors;
    bool floats = false;
};

// Everything a painting of the diagram draws, in diagram pixels with the origin at the top left
// corner of the whole drawing: circles, arrows, labels. Labels stand in the room between two
// layers, on the side of their work's line away from it (the duration above, the float below),
// so they never touch a circle or their own line. A grid index tells which things reach into a
// rectangle, so a view paints only what it shows.
class DiagramScene
{
public:
    static constexpr double kMargin = 16;
    static constexpr double kHeadLength = 10;
    static constexpr double kHeadHalfWidth = 4;

    DiagramScene(const DiagramModel& model, const NetworkLayout& layout, const DiagramSizes& sizes,
                 const DiagramOptions& options);

    const DiagramOptions& options() const { return m_options; }
    double radius() const { return m_radius; }
    QRectF bounds() const { return m_bounds; }
    const std::vector<SceneEvent>& events() const { return m_events; }
    const std::vector<SceneWork>& works() const { return m_works; }
    // The y of the critical path's line; meaningful when the model has a critical path.
    double lineY() const { return m_lineY; }

    // The events (circles) and works (lines, heads and labels) that reach into the rectangle, each
    // once, in ascending order.
    void itemsIn(const QRectF& area, std::vector<int>& events, std::vector<int>& works) const;
    // The event whose circle holds the point; -1 if none.
    int eventAt(const QPointF& point) const;
    // The work whose arrow or duration label is at the point (within a few pixels of its line),
    // or -1.
    int workAt(const QPointF& point) const;

private:
    void index();
    template <typename Visit> void forCells(const QRectF& rect, Visit&& visit) const;

    DiagramOptions m_options;
    double m_radius = 0;
    QRectF m_bounds;
    double m_lineY = 0;
    std::vector<SceneEvent> m_events;
    std::vector<SceneWork> m_works;

    // Cells of kCell x kCell diagram pixels, row by row, each listing what reaches into it.
    static constexpr double kCell = 256;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<std::vector<int>> m_cellEvents;
    std::vector<std::vector<int>> m_cellWorks;
};
