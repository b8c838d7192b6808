#include "LoadChartFiles.h"

#include "LoadChartPainter.h"
#include "PictureFile.h"
#include "ReportPageHeader.h"

#include <QPainter>

LoadChartPrint::LoadChartPrint(const ResourceLoad& load, const QString& caption,
                               const NumberFormat& numbers, report::Paper paper)
    : DrawingPages(layoutWithPageHeader(PageHeaderCaption::PageNumber), paper)
{
    constexpr qreal kMillimetresPerPixel = report::kDrawingMillimetresPerPixel;
    const QSizeF pixels = room() / kMillimetresPerPixel;
    // The painter keeps its own copy, so the pages outlive the window's state.
    setPages({QString()},
             [load, caption, numbers, pixels](QPainter& painter, int, qreal dotsPerMm) {
                 painter.scale(dotsPerMm * kMillimetresPerPixel, dotsPerMm * kMillimetresPerPixel);
                 paintLoadChart(painter, load, pixels, caption, numbers);
             });
}

namespace loadchartfiles {

void writeSvg(const ResourceLoad& load, const QString& caption, const NumberFormat& numbers,
              const QString& path)
{
    ::writeSvg(path, loadchart::kPictureSize, caption, [&](QPainter& painter) {
        paintLoadChart(painter, load, loadchart::kPictureSize, caption, numbers);
    });
}

void writePng(const ResourceLoad& load, const QString& caption, const NumberFormat& numbers,
              const QString& path)
{
    // A picture of fixed size always fits the PNG limits.
    const auto tooLarge = [](QSize) {
        return QString();
    };
    ::writePng(path, loadchart::kPictureSize, kScreenPixelsPerInch, tooLarge,
               [&](QPainter& painter) {
                   paintLoadChart(painter, load, loadchart::kPictureSize, caption, numbers);
               });
}

} // namespace loadchartfiles
