#pragma once

#include "PictureFile.h"

#include <QString>

#include <optional>

class GanttGeometry;
class GanttPrint;

// The chart in files, each written all or nothing (AtomicFile): an existing file is replaced only
// by a complete new one. Failures raise KestrinError in the writer's words.
namespace ganttexport {

enum class Format { Pdf, Svg, Png };

// The format a file name asks for by its extension (letter case ignored); none for another one.
std::optional<Format> formatOfName(const QString& path);

// The printed pages as one PDF: the paper of the print, vector lines and real text.
void writePdf(const GanttPrint& print, const QString& path);
// The whole chart as one picture, every row and the whole axis: an SVG drawing, or a PNG image of
// one pixel per chart pixel. A PNG larger than the limits (PictureFile.h) is refused before
// anything is written: "Диаграмма слишком велика для рисунка PNG (W × H точек): сохраните её в PDF
// или SVG".
void writeSvg(const GanttGeometry& geometry, const QString& path);
void writePng(const GanttGeometry& geometry, const QString& path);

} // namespace ganttexport
