#include "GanttExport.h"

#include "DrawingUnits.h"
#include "GanttGeometry.h"
#include "GanttPainter.h"
#include "PictureFile.h"

namespace ganttexport {

namespace {

PaintDrawing paintWhole(const GanttGeometry& geometry, const GanttFrame& frame)
{
    return [&geometry, frame](QPainter& painter) {
        paintGantt(painter, geometry, frame);
    };
}

} // namespace

void writeSvg(const GanttGeometry& geometry, const QString& path)
{
    const GanttFrame frame = GanttFrame::whole(geometry);
    ::writeSvg(path, frame.size, QStringLiteral("Диаграмма Ганта"), paintWhole(geometry, frame));
}

void writePng(const GanttGeometry& geometry, const QString& path)
{
    const GanttFrame frame = GanttFrame::whole(geometry);
    const auto tooLarge = [](QSize size) {
        return QStringLiteral("Диаграмма слишком велика для рисунка PNG (%1 × %2 точек): "
                              "сохраните её в PDF или SVG")
            .arg(size.width())
            .arg(size.height());
    };
    ::writePng(path, frame.size, kScreenPixelsPerInch, tooLarge, paintWhole(geometry, frame));
}

} // namespace ganttexport
