#include "GanttExport.h"

#include "AtomicFile.h"
#include "GanttGeometry.h"
#include "GanttPainter.h"
#include "GanttPrint.h"
#include "KestrinError.h"
#include "PageOutput.h"
#include "ReportDocument.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cmath>

namespace ganttexport {

namespace {

QSize pictureSize(const GanttFrame& frame)
{
    return QSize(int(std::ceil(frame.size.width())), int(std::ceil(frame.size.height())));
}

} // namespace

std::optional<Format> formatOfName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    if (suffix == QLatin1String("svg"))
        return Format::Svg;
    if (suffix == QLatin1String("png"))
        return Format::Png;
    return std::nullopt;
}

void writePdf(const GanttPrint& print, const QString& path)
{
    report::exportPdf(*print.makeDocument(), path);
}

void writeSvg(const GanttGeometry& geometry, const QString& path)
{
    const GanttFrame frame = GanttFrame::whole(geometry);
    AtomicFile file(path);
    file.open();
    {
        QSvgGenerator generator;
        generator.setOutputDevice(file.device());
        generator.setSize(pictureSize(frame));
        generator.setViewBox(QRectF(QPointF(0, 0), frame.size));
        generator.setTitle(QStringLiteral("Диаграмма Ганта"));
        generator.setDescription(QStringLiteral("Kestrin"));
        QPainter painter;
        if (!painter.begin(&generator))
            file.raise(AtomicFile::Failure::Stage::Write, 0);
        paintGantt(painter, geometry, frame);
        painter.end();
    }
    file.commit();
}

void writePng(const GanttGeometry& geometry, const QString& path)
{
    const GanttFrame frame = GanttFrame::whole(geometry);
    const QSize size = pictureSize(frame);
    if (!fitsPng(size))
        throw KestrinError(QStringLiteral("Диаграмма слишком велика для рисунка PNG (%1 × %2 "
                                          "точек): сохраните её в PDF или SVG")
                               .arg(size.width())
                               .arg(size.height()));
    QImage image = blankPicture(size);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        paintGantt(painter, geometry, frame);
    }
    writePicture(image, path, "png");
}

} // namespace ganttexport
