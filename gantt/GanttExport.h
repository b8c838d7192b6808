#pragma once

#include <QString>

class GanttGeometry;

// The whole chart as a picture file, every row and the whole axis, written all or nothing by the
// program's picture writers (PictureFile): an SVG drawing, or a PNG image of one pixel per chart
// pixel. The PDF is the print (GanttPrint through report::exportPdf). Failures raise KestrinError
// in the writer's words.
namespace ganttexport {

void writeSvg(const GanttGeometry& geometry, const QString& path);
// A PNG larger than the limits (PictureFile.h) is refused before anything is written: "Диаграмма
// слишком велика для рисунка PNG (W × H точек): сохраните её в PDF или SVG".
void writePng(const GanttGeometry& geometry, const QString& path);

} // namespace ganttexport
