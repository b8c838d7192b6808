#pragma once

#include "Paper.h"

#include <QString>

class DiagramScene;

// The diagram in files, each written all or nothing (AtomicFile): an existing file is replaced
// only by a complete new one. Failures raise KestrinError in the writer's words. Each file holds
// the whole drawing under its caption line; lines stay vectors and texts stay texts in SVG and PDF.
namespace diagramexport {

// Diagram pixels are screen pixels at 100 %: this many to the inch.
inline constexpr int kPixelsPerInch = 96;

// An SVG drawing of one unit per diagram pixel.
void writeSvg(const DiagramScene& scene, const QString& caption, const QString& path);
// One page of the paper, the drawing fitted within 10 mm margins below the caption (never
// enlarged beyond 0.35 mm per diagram pixel, so a small network keeps its proportions).
void writePdf(const DiagramScene& scene, const QString& caption, report::Paper paper,
              const QString& path);
// A picture of dotsPerInch / 96 pixels per diagram pixel, on white. Refused before anything is
// written beyond the PNG limits: "Схема слишком велика для рисунка PNG (W × H точек): выберите
// меньшее разрешение или сохраните её в PDF или SVG".
void writePng(const DiagramScene& scene, const QString& caption, int dotsPerInch,
              const QString& path);

} // namespace diagramexport
