#pragma once

#include "DrawingUnits.h"

#include <QRectF>

class DiagramScene;
class QPainter;

enum class PaintDetail {
    Full,     // everything, however small: files and paper
    Adaptive, // texts and sector lines left out where they would be too small to read: the view
};

// The one paint routine of the diagram, shared by the view, the printed pages and the SVG, PDF
// and PNG files. Paints what of the scene reaches into `area` (diagram pixels), one diagram pixel
// to one unit of the painter's coordinates; the caller sets the transform and the background.
// Works first (line, arrowhead, labels), then the events over them: white circles, in four
// sectors with Tр, Tп and R or with the name. Critical works and the circles of critical events
// are red, critical works thicker; works of zero duration are dashed.
void paintDiagram(QPainter& painter, const DiagramScene& scene, const QRectF& area,
                  PaintDetail detail = PaintDetail::Full);

// The colours of the drawing, for those who check a picture.
namespace diagram {
inline constexpr unsigned kCriticalColour = kCriticalRed;
inline constexpr unsigned kWorkColour = 0xff202020;
} // namespace diagram
