#include "CostChartOutput.h"

#include "DrawingPages.h"
#include "DrawingUnits.h"
#include "NumberFormat.h"
#include "PictureFile.h"
#include "ReportPageHeader.h"

#include <QPainter>

#include <algorithm>

namespace costchart {

namespace {

// Millimetres of the caption line above the chart.
constexpr qreal kCaptionHeight = 8;

PaintDrawing paintWhole(const CostChart& chart, const NumberFormat& numbers)
{
    return [&chart, &numbers](QPainter& painter) {
        paintCostChart(painter, chart, kCostChartSize, numbers);
    };
}

} // namespace

std::unique_ptr<report::DrawingPages> pages(const CostChart& chart, const QString& caption,
                                            const NumberFormat& numbers)
{
    auto print =
        std::make_unique<report::DrawingPages>(layoutWithPageHeader(PageHeaderCaption::PageNumber),
                                               report::Paper::A4Landscape, kCaptionHeight);
    const QSizeF room = print->room();
    // The page keeps its own copy of the chart: the layout may outlive the window.
    print->setPages({caption}, [chart, numbers, room](QPainter& painter, int, qreal dotsPerMm) {
        // The chart's proportions at the page's width, or at its height when that is tighter.
        const qreal scale = std::min(room.width() / kCostChartSize.width(),
                                     room.height() / kCostChartSize.height());
        painter.scale(dotsPerMm * scale, dotsPerMm * scale);
        paintCostChart(painter, chart, kCostChartSize, numbers);
    });
    return print;
}

void writeSvg(const CostChart& chart, const NumberFormat& numbers, const QString& path)
{
    ::writeSvg(path, kCostChartSize, QStringLiteral("Время и стоимость"),
               paintWhole(chart, numbers));
}

void writePng(const CostChart& chart, const NumberFormat& numbers, const QString& path)
{
    // The chart has a fixed size, far inside the limits; the words are there all the same.
    const auto tooLarge = [](QSize size) {
        return QStringLiteral("График слишком велик для рисунка PNG (%1 × %2 точек): "
                              "сохраните его в PDF или SVG")
            .arg(size.width())
            .arg(size.height());
    };
    ::writePng(path, kCostChartSize, kScreenPixelsPerInch, tooLarge, paintWhole(chart, numbers));
}

} // namespace costchart
