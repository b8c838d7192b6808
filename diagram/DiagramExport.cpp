#include "DiagramExport.h"

#include "DiagramPainter.h"
#include "DiagramScene.h"
#include "PictureFile.h"

#include <QFontMetricsF>
#include <QPainter>

namespace diagramexport {

namespace {

// The caption line above the drawing, in diagram pixels.
double captionHeight()
{
    return QFontMetricsF(diagramFont(true)).height() * 2;
}

QSizeF wholeSize(const DiagramScene& scene)
{
    return scene.bounds().size() + QSizeF(0, captionHeight());
}

// The caption and the drawing below it, with the painter's origin at the top left corner and
// one unit per diagram pixel.
PaintDrawing paintWhole(const DiagramScene& scene, const QString& caption)
{
    return [&scene, caption](QPainter& painter) {
        const QRectF bounds = scene.bounds();
        painter.setFont(diagramFont(true));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(DiagramScene::kMargin, 0, bounds.width(), captionHeight()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, caption);
        painter.save();
        painter.translate(0, captionHeight());
        paintDiagram(painter, scene, bounds, PaintDetail::Full);
        painter.restore();
    };
}

} // namespace

void writeSvg(const DiagramScene& scene, const QString& caption, const QString& path)
{
    ::writeSvg(path, wholeSize(scene), caption, paintWhole(scene, caption));
}

void writePng(const DiagramScene& scene, const QString& caption, int dotsPerInch,
              const QString& path)
{
    const auto tooLarge = [](QSize size) {
        return QStringLiteral("Схема слишком велика для рисунка PNG (%1 × %2 точек): выберите "
                              "меньшее разрешение или сохраните её в PDF или SVG")
            .arg(size.width())
            .arg(size.height());
    };
    ::writePng(path, wholeSize(scene), dotsPerInch, tooLarge, paintWhole(scene, caption));
}

} // namespace diagramexport
