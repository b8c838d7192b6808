#include "CostChartPainter.h"

#include "DrawingUnits.h"
#include "NumberFormat.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Room around the plot for the figures and the legend, in drawing pixels.
constexpr qreal kLeft = 84;
constexpr qreal kRight = 24;
constexpr qreal kTop = 40;
constexpr qreal kBottom = 48;
constexpr qreal kCornerRadius = 3;
constexpr qreal kBestRadius = 7;
constexpr int kFontPixels = 12;

const QColor kDirectColour(0x28, 0x58, 0xc0);
const QColor kTotalColour(0x18, 0x80, 0x30);
const QColor kGridColour(0xdc, 0xdc, 0xdc);

struct Range
{
    double from = 0;
    double to = 1;
    double step = 1;
};

// A range widened to whole steps, so that the axis starts and ends on a figure.
Range axisRange(double low, double high, int count)
{
    if (high - low <= 0) {
        const double half = std::max(std::abs(low) * 0.05, 0.5);
        low -= half;
        high += half;
    }
    Range range;
    range.step = costChartStep(high - low, count);
    range.from = std::floor(low / range.step) * range.step;
    range.to = std::ceil(high / range.step) * range.step;
    return range;
}

// A figure on the axis: a multiple of the step, written without the noise of the multiplication.
QString figure(double value, double step, const NumberFormat& numbers)
{
    return numbers.format(std::round(value / step) * step);
}

} // namespace

double costChartStep(double range, int count)
{
    const double raw = (range > 0 ? range : 1) / std::max(count, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw)
            return factor * power;
    }
    return 10 * power;
}

void paintCostChart(QPainter& painter, const CostChart& chart, QSizeF size,
                    const NumberFormat& numbers)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kFontPixels);
    painter.setFont(font);
    const QRectF plot(kLeft, kTop, std::max(size.width() - kLeft - kRight, qreal(1)),
                      std::max(size.height() - kTop - kBottom, qreal(1)));

    double shortest = 0, longest = 0, cheapest = 0, dearest = 0;
    if (!chart.points.empty()) {
        shortest = longest = chart.points.front().length;
        cheapest = dearest = chart.points.front().directCost;
    }
    for (const CostChartPoint& point : chart.points) {
        shortest = std::min(shortest, point.length);
        longest = std::max(longest, point.length);
        cheapest = std::min({cheapest, point.directCost, point.totalCost});
        dearest = std::max({dearest, point.directCost, point.totalCost});
    }
    const Range x = axisRange(shortest, longest, 8);
    const Range y = axisRange(cheapest, dearest, 6);
    const auto at = [&](double length, double cost) {
        return QPointF(plot.left() + (length - x.from) / (x.to - x.from) * plot.width(),
                       plot.bottom() - (cost - y.from) / (y.to - y.from) * plot.height());
    };

    // The grid and the figures of both axes.
    const QFontMetricsF metrics(font);
    for (double value = x.from; value <= x.to + x.step / 2; value += x.step) {
        const qreal px = at(value, y.from).x();
        painter.setPen(kGridColour);
        painter.drawLine(QPointF(px, plot.top()), QPointF(px, plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(px - 40, plot.bottom() + 4, 80, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop, figure(value, x.step, numbers));
    }
    for (double value = y.from; value <= y.to + y.step / 2; value += y.step) {
        const qreal py = at(x.from, value).y();
        painter.setPen(kGridColour);
        painter.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, py - metrics.height() / 2, kLeft - 6, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, figure(value, y.step, numbers));
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    painter.drawText(
        QRectF(plot.left(), plot.bottom() + 4 + metrics.height(), plot.width(), metrics.height()),
        Qt::AlignRight | Qt::AlignTop, QStringLiteral("Срок, дни"));

    const auto curve = [&](const QColor& colour, double CostChartPoint::*cost) {
        QPainterPath path;
        for (std::size_t i = 0; i < chart.points.size(); ++i) {
            const QPointF point = at(chart.points[i].length, chart.points[i].*cost);
            if (i == 0)
                path.moveTo(point);
            else
                path.lineTo(point);
        }
        painter.setPen(QPen(colour, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        painter.setBrush(colour);
        for (const CostChartPoint& point : chart.points)
            painter.drawEllipse(at(point.length, point.*cost), kCornerRadius, kCornerRadius);
    };
    curve(kDirectColour, &CostChartPoint::directCost);
    curve(kTotalColour, &CostChartPoint::totalCost);
    if (chart.best >= 0 && chart.best < int(chart.points.size())) {
        const CostChartPoint& best = chart.points[std::size_t(chart.best)];
        painter.setPen(QPen(QColor::fromRgba(kCriticalRed), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(at(best.length, best.totalCost), kBestRadius, kBestRadius);
    }

    // The legend above the plot.
    qreal legendX = plot.left();
    const auto entry = [&](const QColor& colour, const QString& text, bool ring) {
        const QPointF mark(legendX + 8, kTop / 2);
        if (ring) {
            painter.setPen(QPen(colour, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(mark, kBestRadius, kBestRadius);
        } else {
            painter.setPen(QPen(colour, 2));
            painter.drawLine(mark - QPointF(8, 0), mark + QPointF(8, 0));
        }
        painter.setPen(Qt::black);
        const qreal width = metrics.horizontalAdvance(text);
        painter.drawText(QRectF(legendX + 22, 0, width + 2, kTop), Qt::AlignVCenter, text);
        legendX += 22 + width + 24;
    };
    entry(kDirectColour, QStringLiteral("Прямые затраты"), false);
    entry(kTotalColour, QStringLiteral("Итого"), false);
    entry(QColor::fromRgba(kCriticalRed), QStringLiteral("Наименьшие общие затраты"), true);
    painter.restore();
}
