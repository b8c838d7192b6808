#include "DiagramPainter.h"

#include "DiagramScene.h"

#include <QPainter>

#include <cmath>
#include <vector>

namespace {

const QColor kText(0x10, 0x10, 0x10);
constexpr double kWorkWidth = 1.2;
constexpr double kCriticalWidth = 2.6;
constexpr double kEventWidth = 1.2;
constexpr double kCriticalEventWidth = 2.2;
constexpr double kSectorLineWidth = 0.8;
// On the screen, texts smaller than this many pixels and circles smaller than this radius are
// not worth their time: nobody reads them.
constexpr double kLegibleTextPixels = 4;
constexpr double kDetailedRadiusPixels = 6;

void paintText(QPainter& painter, const SceneText& text, const QRectF& area)
{
    if (!text.text.isEmpty() && text.box.intersects(area))
        painter.drawText(text.box, Qt::AlignCenter | Qt::TextDontClip, text.text);
}

} // namespace

void paintDiagram(QPainter& painter, const DiagramScene& scene, const QRectF& area,
                  PaintDetail detail)
{
    std::vector<int> events;
    std::vector<int> works;
    scene.itemsIn(area, events, works);

    const QTransform& transform = painter.worldTransform();
    const double scale = std::sqrt(std::abs(transform.determinant()));
    const bool full = detail == PaintDetail::Full;
    const bool texts = full || scale * DiagramSizes::kTextPixels >= kLegibleTextPixels;
    const bool sectorLines = full || scale * scene.radius() >= kDetailedRadiusPixels;

    const QFont textFont = diagramFont();
    const QFont nameFont = diagramFont(true);
    const QColor critical = QColor::fromRgba(diagram::kCriticalColour);
    const QColor normal = QColor::fromRgba(diagram::kWorkColour);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    for (const int index : works) {
        const SceneWork& work = scene.works()[std::size_t(index)];
        const QColor& colour = work.critical ? critical : normal;
        const double width = work.critical ? kCriticalWidth : kWorkWidth;
        QPen pen(colour, width, work.zeroDuration ? Qt::DashLine : Qt::SolidLine, Qt::FlatCap,
                 Qt::RoundJoin);
        painter.setBrush(Qt::NoBrush);
        for (const LinePiece& piece : work.line) {
            if (!piece.bounds.adjusted(-width, -width, width, width).intersects(area))
                continue;
            // The dash pattern is measured in pen widths.
            if (work.zeroDuration)
                pen.setDashOffset(piece.along / width);
            painter.setPen(pen);
            painter.drawPath(piece.path);
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPolygon(work.head);
    }
    if (texts) {
        painter.setFont(textFont);
        painter.setPen(kText);
        for (const int index : works) {
            const SceneWork& work = scene.works()[std::size_t(index)];
            paintText(painter, work.duration, area);
            paintText(painter, work.totalFloat, area);
        }
    }

    const double r = scene.radius();
    const bool sectors = scene.options().style == EventStyle::Sectors;
    const double diagonal = r / std::sqrt(2.0);
    for (const int index : events) {
        const SceneEvent& event = scene.events()[std::size_t(index)];
        painter.setPen(QPen(event.critical ? critical : normal,
                            event.critical ? kCriticalEventWidth : kEventWidth));
        painter.setBrush(Qt::white);
        painter.drawEllipse(event.centre, r, r);
        if (sectors && sectorLines) {
            painter.setPen(QPen(normal, kSectorLineWidth));
            const QPointF c = event.centre;
            painter.drawLine(c + QPointF(-diagonal, -diagonal), c + QPointF(diagonal, diagonal));
            painter.drawLine(c + QPointF(-diagonal, diagonal), c + QPointF(diagonal, -diagonal));
        }
        if (!texts)
            continue;
        painter.setPen(kText);
        painter.setFont(nameFont);
        paintText(painter, event.top, area);
        if (sectors && event.timesKnown) {
            painter.setFont(textFont);
            paintText(painter, event.left, area);
            paintText(painter, event.right, area);
            paintText(painter, event.bottom, area);
        }
    }
}
