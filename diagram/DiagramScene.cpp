#include "DiagramScene.h"

#include "DiagramModel.h"
#include "LabelPlacement.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Room around texts, and the least sizes.
constexpr double kTextPad = 2;
constexpr double kLabelPad = 3;
constexpr double kMinSectorRadius = 22;
constexpr double kMinNamedRadius = 14;
constexpr double kMinLabelWidth = 24;
constexpr double kCornerRadius = 14;
constexpr double kLabelRoom = 36;

QPointF unit(const QPointF& from, const QPointF& to)
{
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    return length > 0 ? d / length : QPointF(1, 0);
}

// A sector of a circle of radius r holds a text of width w and height h when r >= w + h + 2 pad:
// centred halfway out, its inner edge is h / 2 from the diagonals.
double sectorRoom(double radius, double height)
{
    return radius - height - 2 * kTextPad;
}

QString fitted(const QFontMetricsF& metrics, const QString& text, double width)
{
    return metrics.horizontalAdvance(text) <= width
               ? text
               : metrics.elidedText(text, Qt::ElideRight, std::max(width, 0.0));
}

SceneText centredText(const QFontMetricsF& metrics, const QString& text, const QPointF& centre,
                      double width)
{
    const QString shown = fitted(metrics, text, width);
    const double w = std::min(metrics.horizontalAdvance(shown), width);
    const double h = metrics.height();
    return {QRectF(centre.x() - w / 2, centre.y() - h / 2, w, h), shown};
}

// The line of a work through its route, its corners rounded, from `start` to `end`, in pieces.
std::vector<LinePiece> routedLine(const std::vector<QPointF>& route, const QPointF& start,
                                  const QPointF& end)
{
    std::vector<LinePiece> pieces;
    double along = 0;
    const auto add = [&](QPainterPath path) {
        const double length = path.length();
        pieces.push_back({path, path.boundingRect(), along});
        along += length;
    };
    QPointF previous = start;
    for (std::size_t i = 1; i + 1 < route.size(); ++i) {
        const QPointF corner = route[i];
        const QPointF next = i + 2 < route.size() ? route[i + 1] : end;
        const double inLength = QLineF(previous, corner).length();
        const double outLength = QLineF(corner, next).length();
        const double round = std::min({kCornerRadius, inLength / 2, outLength / 2});
        const QPointF in = corner - unit(previous, corner) * round;
        const QPointF out = corner + unit(corner, next) * round;
        QPainterPath straight(previous);
        straight.lineTo(in);
        add(straight);
        QPainterPath bend(in);
        bend.quadTo(corner, out);
        add(bend);
        previous = out;
    }
    QPainterPath last(previous);
    last.lineTo(end);
    add(last);
    return pieces;
}

} // namespace

QFont diagramFont(bool bold)
{
    // Arial as the reports ask for it: a metric-compatible face stands in where it is missing.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(int(DiagramSizes::kTextPixels));
    font.setBold(bold);
    // Unhinted, so that texts measure the same on the screen, on paper and in files.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

DiagramSizes DiagramSizes::measure(const DiagramModel& model)
{
    const QFontMetricsF text(diagramFont());
    const QFontMetricsF name(diagramFont(true));
    const double height = text.height();
    DiagramSizes sizes;
    sizes.labelHeight = height;
    double sector = kMinSectorRadius;
    double named = kMinNamedRadius;
    const auto need = [&](double width) {
        return width + height + 2 * kTextPad;
    };
    for (const DiagramEvent& event : model.events()) {
        const double nameWidth = name.horizontalAdvance(event.name);
        sector = std::max(sector, need(nameWidth));
        named = std::max(named, nameWidth / 2 + 3 * kTextPad);
        if (event.timesKnown)
            for (const QString* time : {&event.early, &event.late, &event.slack})
                sector = std::max(sector, need(text.horizontalAdvance(*time)));
    }
    double label = kMinLabelWidth;
    for (const DiagramWork& work : model.works()) {
        label = std::max(label, text.horizontalAdvance(work.duration));
        if (!work.totalFloat.isEmpty())
            label = std::max(label, text.horizontalAdvance(floatLabel(work.totalFloat)));
    }
    sizes.sectorRadius = std::min(sector, kMaxRadius);
    sizes.namedRadius = std::min(std::max(named, height / 2 + 2 * kTextPad), kMaxRadius);
    sizes.labelWidth = std::min(label, kMaxLabelWidth);
    return sizes;
}

QString DiagramSizes::floatLabel(const QString& totalFloat)
{
    return QStringLiteral("Rп=") + totalFloat;
}

LayoutMetrics DiagramSizes::layoutMetrics() const
{
    LayoutMetrics metrics;
    metrics.eventDiameter = 2 * std::max(sectorRadius, namedRadius);
    // Room for the widest label and for narrower ones to move along their line out of each
    // other's way.
    metrics.layerGap = labelWidth + 2 * (kLabelPad + DiagramScene::kHeadLength) + kLabelRoom;
    metrics.eventGap = 2 * (labelHeight + kLabelPad) + 4;
    metrics.bendGap = 10;
    metrics.bowStep = labelHeight + 2 * kLabelPad + 4;
    return metrics;
}

DiagramScene::DiagramScene(const DiagramModel& model, const NetworkLayout& layout,
                           const DiagramSizes& sizes, const DiagramOptions& options)
    : m_options(options), m_radius(sizes.radius(options.style))
{
    const QFontMetricsF text(diagramFont());
    const QFontMetricsF name(diagramFont(true));
    const double height = text.height();
    const double r = m_radius;

    m_events.resize(model.events().size());
    for (std::size_t i = 0; i < m_events.size(); ++i) {
        const DiagramEvent& event = model.events()[i];
        SceneEvent& shown = m_events[i];
        shown.centre = layout.centres[i];
        shown.critical = event.critical;
        shown.timesKnown = event.timesKnown;
        shown.toolTip = QStringLiteral("Событие «%1»").arg(event.name);
        if (event.timesKnown)
            shown.toolTip += QStringLiteral("\nTр = %1\nTп = %2\nR = %3")
                                 .arg(event.early, event.late, event.slack);
        const QPointF c = shown.centre;
        if (options.style == EventStyle::Named) {
            shown.top = centredText(name, event.name, c, 2 * (r - 2 * kTextPad));
            continue;
        }
        const double room = sectorRoom(r, height);
        shown.top = centredText(name, event.name, c + QPointF(0, -r / 2), room);
        if (event.timesKnown) {
            shown.left = centredText(text, event.early, c + QPointF(-r / 2, 0), room);
            shown.right = centredText(text, event.late, c + QPointF(r / 2, 0), room);
            shown.bottom = centredText(text, event.slack, c + QPointF(0, r / 2), room);
        }
    }

    m_works.resize(model.works().size());
    for (std::size_t i = 0; i < m_works.size(); ++i) {
        const DiagramWork& work = model.works()[i];
        const std::vector<QPointF>& route = layout.routes[i];
        SceneWork& shown = m_works[i];
        shown.toolTip = work.name;
        shown.critical = work.critical;
        shown.zeroDuration = work.zeroDuration;
        const QPointF from = route.front();
        const QPointF to = route.back();
        const QPointF out = unit(from, route[1]);
        const QPointF in = unit(route[route.size() - 2], to);
        shown.start = from + out * r;
        shown.tip = to - in * r;
        const QPointF base = shown.tip - in * kHeadLength;
        const QPointF across(-in.y(), in.x());
        shown.head =
            QPolygonF({shown.tip, base + across * kHeadHalfWidth, base - across * kHeadHalfWidth});
        shown.line = routedLine(route, shown.start, base);
    }

    // Labels: the critical works' first, then the others, in table order.
    LabelPlacement labels(layout, sizes.layoutMetrics().eventDiameter / 2);
    const auto label = [&](int w, const QString& content, bool above) {
        const QString shown = fitted(text, content, sizes.labelWidth);
        const QSizeF size(text.horizontalAdvance(shown), height);
        return SceneText{labels.place(w, size, above), shown};
    };
    for (const bool critical : {true, false}) {
        for (std::size_t i = 0; i < m_works.size(); ++i) {
            const DiagramWork& work = model.works()[i];
            if (work.critical != critical)
                continue;
            SceneWork& shown = m_works[i];
            shown.duration = label(int(i), work.duration, true);
            if (options.floats && !work.totalFloat.isEmpty())
                shown.totalFloat = label(int(i), DiagramSizes::floatLabel(work.totalFloat), false);
            shown.bounds = shown.head.boundingRect() | shown.duration.box;
            for (const LinePiece& piece : shown.line)
                shown.bounds |= piece.bounds.adjusted(-1, -1, 1, 1);
            if (!shown.totalFloat.text.isEmpty())
                shown.bounds |= shown.totalFloat.box;
        }
    }

    // Everything moves so that the drawing starts a margin from the origin.
    QRectF drawn = layout.bounds;
    for (const SceneWork& work : m_works)
        drawn |= work.bounds;
    const QPointF shift = QPointF(kMargin, kMargin) - drawn.topLeft();
    m_bounds = QRectF(QPointF(0, 0), drawn.size() + QSizeF(2 * kMargin, 2 * kMargin));
    m_lineY = shift.y();
    const auto move = [&](SceneText& label) {
        label.box.translate(shift);
    };
    for (SceneEvent& event : m_events) {
        event.centre += shift;
        for (SceneText* label : {&event.top, &event.left, &event.right, &event.bottom})
            move(*label);
    }
    for (SceneWork& work : m_works) {
        for (LinePiece& piece : work.line) {
            piece.path.translate(shift);
            piece.bounds.translate(shift);
        }
        work.head.translate(shift);
        work.start += shift;
        work.tip += shift;
        move(work.duration);
        move(work.totalFloat);
        work.bounds.translate(shift);
    }
    index();
}

template <typename Visit> void DiagramScene::forCells(const QRectF& rect, Visit&& visit) const
{
    const auto cellOf = [](double at, int count) {
        return std::clamp(int(std::floor(at / kCell)), 0, count - 1);
    };
    const int left = cellOf(rect.left(), m_columns);
    const int right = cellOf(rect.right(), m_columns);
    const int top = cellOf(rect.top(), m_rows);
    const int bottom = cellOf(rect.bottom(), m_rows);
    for (int row = top; row <= bottom; ++row)
        for (int column = left; column <= right; ++column)
            visit(std::size_t(row) * std::size_t(m_columns) + std::size_t(column));
}

void DiagramScene::index()
{
    m_columns = std::max(1, int(std::ceil(m_bounds.width() / kCell)));
    m_rows = std::max(1, int(std::ceil(m_bounds.height() / kCell)));
    m_cellEvents.assign(std::size_t(m_columns) * std::size_t(m_rows), {});
    m_cellWorks.assign(m_cellEvents.size(), {});
    const QPointF corner(m_radius, m_radius);
    for (std::size_t i = 0; i < m_events.size(); ++i) {
        const QRectF circle(m_events[i].centre - corner, m_events[i].centre + corner);
        forCells(circle, [&](std::size_t cell) { m_cellEvents[cell].push_back(int(i)); });
    }
    for (std::size_t i = 0; i < m_works.size(); ++i)
        forCells(m_works[i].bounds, [&](std::size_t cell) { m_cellWorks[cell].push_back(int(i)); });
}

void DiagramScene::itemsIn(const QRectF& area, std::vector<int>& events,
                           std::vector<int>& works) const
{
    events.clear();
    works.clear();
    const QRectF shown = area.intersected(m_bounds);
    if (shown.isEmpty())
        return;
    forCells(shown, [&](std::size_t cell) {
        events.insert(events.end(), m_cellEvents[cell].begin(), m_cellEvents[cell].end());
        works.insert(works.end(), m_cellWorks[cell].begin(), m_cellWorks[cell].end());
    });
    for (std::vector<int>* items : {&events, &works}) {
        std::sort(items->begin(), items->end());
        items->erase(std::unique(items->begin(), items->end()), items->end());
    }
    // A cell reaches further than the area: keep only what the area itself reaches.
    const QPointF corner(m_radius, m_radius);
    std::erase_if(events, [&](int event) {
        const QPointF centre = m_events[std::size_t(event)].centre;
        return !QRectF(centre - corner, centre + corner).intersects(shown);
    });
    std::erase_if(works,
                  [&](int work) { return !m_works[std::size_t(work)].bounds.intersects(shown); });
}

int DiagramScene::workAt(const QPointF& point) const
{
    if (!m_bounds.contains(point))
        return -1;
    // A hand's width around the line: a one-pixel line is hard to point at exactly.
    constexpr qreal kReach = 4;
    const QRectF near(point - QPointF(kReach, kReach), point + QPointF(kReach, kReach));
    int found = -1;
    forCells(near, [&](std::size_t cell) {
        for (const int work : m_cellWorks[cell]) {
            const SceneWork& shown = m_works[std::size_t(work)];
            if (found == work || !shown.bounds.intersects(near))
                continue;
            bool hit = shown.duration.box.contains(point) ||
                       shown.head.containsPoint(point, Qt::OddEvenFill);
            for (const LinePiece& piece : shown.line) {
                if (hit)
                    break;
                // Not intersects(): a straight level or upright piece has bounds of no height or
                // width, which intersect nothing.
                if (!piece.bounds.adjusted(-kReach, -kReach, kReach, kReach).contains(point))
                    continue;
                QPainterPathStroker stroker;
                stroker.setWidth(2 * kReach);
                hit = stroker.createStroke(piece.path).contains(point);
            }
            if (hit)
                found = work;
        }
    });
    return found;
}

int DiagramScene::eventAt(const QPointF& point) const
{
    if (!m_bounds.contains(point))
        return -1;
    int found = -1;
    forCells(QRectF(point, point), [&](std::size_t cell) {
        for (const int event : m_cellEvents[cell])
            if (QLineF(m_events[std::size_t(event)].centre, point).length() <= m_radius)
                found = event;
    });
    return found;
}
