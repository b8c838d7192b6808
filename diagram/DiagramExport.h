#pragma once

#include <QString>

class DiagramScene;

// The whole diagram as a picture file, written all or nothing by the program's picture writers
// (PictureFile): the caption line above the drawing, as the window shows it whatever the zoom.
// Lines stay vectors and texts stay texts in SVG. The PDF is the print (DiagramPrint through
// report::exportPdf). Failures raise KestrinError in the writer's words.
namespace diagramexport {

// An SVG drawing of one unit per diagram pixel.
void writeSvg(const DiagramScene& scene, const QString& caption, const QString& path);
// A picture of dotsPerInch / kScreenPixelsPerInch pixels per diagram pixel, on white. Refused
// before anything is written beyond the PNG limits: "Схема слишком велика для рисунка PNG (W × H
// точек): выберите меньшее разрешение или сохраните её в PDF или SVG".
void writePng(const DiagramScene& scene, const QString& caption, int dotsPerInch,
              const QString& path);

} // namespace diagramexport
