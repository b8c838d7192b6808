#include "LoadChartPainter.h"

#include "NumberFormat.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFontPixels = 11;
constexpr qreal kCaptionHeight = 20;
constexpr qreal kTimeAxisHeight = 22;
// Ticks at least this far apart, in drawing pixels.
constexpr qreal kTimeTickSpacing = 60;
constexpr qreal kAmountTickSpacing = 28;

QFont chartFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kFontPixels);
    return font;
}

// The step of 1, 2 or 5 times a power of ten that keeps ticks at least `spacing` pixels apart.
double tickStep(double span, qreal pixels, qreal spacing)
{
    const double wanted = span * spacing / std::max(pixels, qreal(1));
    double power = std::pow(10.0, std::floor(std::log10(std::max(wanted, 1e-9))));
    for (;;) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            if (factor * power >= wanted)
                return factor * power;
        }
        power *= 10;
    }
}

struct Column
{
    qreal left = 0;
    qreal right = 0;
    double demand = 0;
};

// The columns to fill: the steps themselves while they are fewer than the pixels, else the
// largest demand within each pixel column.
std::vector<Column> columnsOf(const ResourceLoad& load, qreal width, double daysPerPixel)
{
    const double origin = load.from;
    std::vector<Column> columns;
    const std::size_t pixels = std::size_t(std::ceil(std::max(width, qreal(1))));
    if (load.steps.size() <= pixels) {
        for (const ResourceLoad::Step& step : load.steps)
            if (step.demand > 0)
                columns.push_back({(step.from - origin) / daysPerPixel,
                                   (step.to - origin) / daysPerPixel, step.demand});
        return columns;
    }
    std::vector<double> highest(pixels, 0);
    for (const ResourceLoad::Step& step : load.steps) {
        if (step.demand <= 0 || step.to <= origin || step.from >= load.length)
            continue;
        const auto first =
            std::size_t(std::clamp((step.from - origin) / daysPerPixel, 0.0, double(pixels - 1)));
        const auto last = std::size_t(std::clamp(std::ceil((step.to - origin) / daysPerPixel) - 1,
                                                 double(first), double(pixels - 1)));
        for (std::size_t x = first; x <= last; ++x)
            highest[x] = std::max(highest[x], step.demand);
    }
    for (std::size_t x = 0; x < pixels; ++x) {
        if (highest[x] <= 0)
            continue;
        if (!columns.empty() && columns.back().right == qreal(x) &&
            columns.back().demand == highest[x])
            columns.back().right = qreal(x + 1);
        else
            columns.push_back({qreal(x), qreal(x + 1), highest[x]});
    }
    return columns;
}

} // namespace

void paintLoadChart(QPainter& painter, const ResourceLoad& load, QSizeF size,
                    const QString& caption, const NumberFormat& numbers, qreal axisWidth)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFont font = chartFont();
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, size.width(), kCaptionHeight), Qt::AlignCenter, caption);

    const QRectF plot(axisWidth, kCaptionHeight,
                      std::max(size.width() - axisWidth - loadchart::kRightMargin, qreal(1)),
                      std::max(size.height() - kCaptionHeight - kTimeAxisHeight, qreal(1)));
    double highest = load.available.value_or(0);
    for (const ResourceLoad::Step& step : load.steps)
        highest = std::max(highest, step.demand);
    highest = highest > 0 ? highest * 1.1 : 1;
    const double span = load.length > load.from ? load.length - load.from : 1;
    const double daysPerPixel = span / plot.width();
    const double amountPerPixel = highest / plot.height();
    const auto yOf = [&](double amount) {
        return plot.bottom() - amount / amountPerPixel;
    };

    // The columns, split at the amount available into what fits and what does not.
    const double limit = load.available.value_or(highest * 2);
    for (const Column& column : columnsOf(load, plot.width(), daysPerPixel)) {
        // Only what lies within the time axis.
        const qreal from = std::max(column.left, qreal(0));
        const qreal to = std::min(column.right, plot.width());
        if (to <= from)
            continue;
        const qreal left = plot.left() + from;
        const qreal width = std::max(to - from, qreal(0.5));
        const double within = std::min(column.demand, limit);
        painter.fillRect(QRectF(left, yOf(within), width, plot.bottom() - yOf(within)),
                         QColor::fromRgba(loadchart::kDemandColour));
        if (column.demand > limit)
            painter.fillRect(
                QRectF(left, yOf(column.demand), width, yOf(limit) - yOf(column.demand)),
                QColor::fromRgba(loadchart::kOverloadColour));
    }

    // The axes with their numbers.
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    const double timeStep = tickStep(span, plot.width(), kTimeTickSpacing);
    for (double t = std::ceil(load.from / timeStep) * timeStep;
         t <= load.from + span + timeStep * 1e-9; t += timeStep) {
        const qreal x = plot.left() + (t - load.from) / daysPerPixel;
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
        painter.drawText(QRectF(x - 40, plot.bottom() + 4, 80, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop, numbers.format(t));
    }
    const double amountStep = tickStep(highest, plot.height(), kAmountTickSpacing);
    for (double a = 0; a <= highest + amountStep * 1e-9; a += amountStep) {
        const qreal y = yOf(a);
        painter.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));
        painter.drawText(QRectF(0, y - metrics.height() / 2, plot.left() - 6, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, numbers.format(a));
    }

    if (load.available) {
        const qreal y = yOf(*load.available);
        painter.setPen(QPen(QColor::fromRgba(loadchart::kAvailableColour), 2));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.drawText(
            QRectF(plot.left() + 4, y - metrics.height() - 1, plot.width() - 8, metrics.height()),
            Qt::AlignRight | Qt::AlignBottom,
            QStringLiteral("Доступно: %1").arg(numbers.format(*load.available)));
    }
    painter.restore();
}
