#include "DiagramExport.h"

#include "AtomicFile.h"
#include "DiagramPainter.h"
#include "DiagramScene.h"
#include "KestrinError.h"
#include "PictureFile.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace diagramexport {

namespace {

constexpr int kPdfResolution = 1200;
constexpr double kMarginMm = 10;
constexpr double kLargestMmPerPixel = 0.35;
constexpr double kMmPerInch = 25.4;

// The caption line above the drawing, in diagram pixels.
double captionHeight()
{
    return QFontMetricsF(diagramFont(true)).height() * 2;
}

// The caption and the drawing below it, with the painter's origin at the top left corner and
// one unit per diagram pixel.
void paintWhole(QPainter& painter, const DiagramScene& scene, const QString& caption)
{
    const QRectF bounds = scene.bounds();
    painter.setFont(diagramFont(true));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(DiagramScene::kMargin, 0, bounds.width(), captionHeight()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, caption);
    painter.save();
    painter.translate(0, captionHeight());
    paintDiagram(painter, scene, bounds, PaintDetail::Full);
    painter.restore();
}

QSizeF wholeSize(const DiagramScene& scene)
{
    return scene.bounds().size() + QSizeF(0, captionHeight());
}

} // namespace

void writeSvg(const DiagramScene& scene, const QString& caption, const QString& path)
{
    const QSizeF size = wholeSize(scene);
    AtomicFile file(path);
    file.open();
    {
        QSvgGenerator generator;
        generator.setOutputDevice(file.device());
        generator.setSize(QSize(int(std::ceil(size.width())), int(std::ceil(size.height()))));
        generator.setViewBox(QRectF(QPointF(0, 0), size));
        generator.setResolution(kPixelsPerInch);
        generator.setTitle(caption);
        generator.setDescription(QStringLiteral("Kestrin"));
        QPainter painter;
        if (!painter.begin(&generator))
            file.raise(AtomicFile::Failure::Stage::Write, 0);
        painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
        paintWhole(painter, scene, caption);
        painter.end();
    }
    file.commit();
}

void writePdf(const DiagramScene& scene, const QString& caption, report::Paper paper,
              const QString& path)
{
    const QSizeF paperMm = report::paperSize(paper);
    const QSizeF whole = wholeSize(scene);
    const QSizeF room = paperMm - QSizeF(2 * kMarginMm, 2 * kMarginMm);
    const double mmPerPixel = std::min(
        {room.width() / whole.width(), room.height() / whole.height(), kLargestMmPerPixel});
    AtomicFile file(path);
    file.open();
    {
        QPdfWriter writer(file.device());
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("Kestrin"));
        writer.setTitle(caption);
        writer.setPageLayout(QPageLayout(QPageSize(paperMm, QPageSize::Millimeter),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer))
            file.raise(AtomicFile::Failure::Stage::Write, 0);
        const double dotsPerMm = kPdfResolution / kMmPerInch;
        // Centred across the page, at the top below the margin.
        const double left = (paperMm.width() - whole.width() * mmPerPixel) / 2;
        painter.translate(left * dotsPerMm, kMarginMm * dotsPerMm);
        painter.scale(mmPerPixel * dotsPerMm, mmPerPixel * dotsPerMm);
        paintWhole(painter, scene, caption);
        painter.end();
    }
    file.commit();
}

void writePng(const DiagramScene& scene, const QString& caption, int dotsPerInch,
              const QString& path)
{
    const double scale = double(dotsPerInch) / kPixelsPerInch;
    const QSizeF whole = wholeSize(scene) * scale;
    const QSize size(int(std::ceil(whole.width())), int(std::ceil(whole.height())));
    if (!fitsPng(size))
        throw KestrinError(QStringLiteral("Схема слишком велика для рисунка PNG (%1 × %2 точек): "
                                          "выберите меньшее разрешение или сохраните её в PDF "
                                          "или SVG")
                               .arg(size.width())
                               .arg(size.height()));
    QImage image = blankPicture(size);
    image.setDotsPerMeterX(int(std::lround(dotsPerInch / kMmPerInch * 1000)));
    image.setDotsPerMeterY(image.dotsPerMeterX());
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        paintWhole(painter, scene, caption);
    }
    writePicture(image, path, "png");
}

} // namespace diagramexport
