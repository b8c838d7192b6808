#include "RiskChart.h"

#include "NumberFormat.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Room for the axes' texts around the plot, in drawing pixels.
constexpr qreal kLeft = 56;
constexpr qreal kRight = 56;
constexpr qreal kTop = 28;
constexpr qreal kBottom = 36;
constexpr qreal kTick = 4;
constexpr int kTargetTicks = 6;

// A step of 1, 2 or 5 times a power of ten that cuts the span into about kTargetTicks parts.
double niceStep(double span)
{
    if (!(span > 0))
        return 1;
    const double rough = span / kTargetTicks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10 * power;
}

} // namespace

void paintRiskChart(QPainter& painter, const RiskChartData& data, QSizeF size,
                    const NumberFormat& numbers)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(), size), Qt::white);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    const QFontMetricsF metrics(font);

    if (data.bars.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(
            QRectF(QPointF(), size), Qt::AlignCenter,
            QStringLiteral("Нажмите «Моделировать», чтобы увидеть распределение срока"));
        painter.restore();
        return;
    }

    const QRectF plot(kLeft, kTop, std::max(size.width() - kLeft - kRight, 1.0),
                      std::max(size.height() - kTop - kBottom, 1.0));
    double from = data.bars.front().from;
    double to = data.bars.back().to;
    if (data.directive) {
        from = std::min(from, *data.directive);
        to = std::max(to, *data.directive);
    }
    if (!(to > from))
        to = from + 1;
    qint64 total = 0;
    qint64 tallest = 0;
    for (const risk::HistogramBar& bar : data.bars) {
        total += bar.runs;
        tallest = std::max(tallest, bar.runs);
    }
    const double topShare = total > 0 ? double(tallest) / double(total) : 1;
    const double shareStep = niceStep(topShare * 100) / 100;
    const double shareTop = std::max(shareStep, std::ceil(topShare / shareStep) * shareStep);

    const auto xOf = [&](double days) {
        return plot.left() + (days - from) / (to - from) * plot.width();
    };
    const auto yOfShare = [&](double share, double top) {
        return plot.bottom() - share / top * plot.height();
    };

    // Bars: the share of runs in each.
    painter.setPen(QPen(QColor::fromRgba(0xff4a70b0), 0.5));
    painter.setBrush(QColor::fromRgba(riskchart::kBarColour));
    for (const risk::HistogramBar& bar : data.bars) {
        const double share = total > 0 ? double(bar.runs) / double(total) : 0;
        const QRectF box(QPointF(xOf(bar.from), yOfShare(share, shareTop)),
                         QPointF(std::max(xOf(bar.to), xOf(bar.from) + 1), plot.bottom()));
        painter.drawRect(box);
    }

    // The cumulative curve, from nothing before the first bar to all runs after the last.
    QPainterPath curve(QPointF(xOf(data.bars.front().from), plot.bottom()));
    for (const risk::HistogramBar& bar : data.bars)
        curve.lineTo(xOf(bar.to), yOfShare(bar.cumulativeShare, 1));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor::fromRgba(riskchart::kCurveColour), 2));
    painter.drawPath(curve);

    // Axes, ticks and their numbers.
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawLine(plot.bottomRight(), plot.topRight());
    const double dayStep = niceStep(to - from);
    for (double day = std::ceil(from / dayStep) * dayStep; day <= to + dayStep * 1e-9;
         day += dayStep) {
        const qreal x = xOf(day);
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + kTick));
        painter.drawText(QRectF(x - 40, plot.bottom() + kTick, 80, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop,
                         numbers.format(std::round(day * 1e6) / 1e6));
    }
    for (double share = 0; share <= shareTop + shareStep * 1e-9; share += shareStep) {
        const qreal y = yOfShare(share, shareTop);
        painter.drawLine(QPointF(plot.left() - kTick, y), QPointF(plot.left(), y));
        painter.drawText(QRectF(0, y - metrics.height() / 2, kLeft - kTick - 2, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter,
                         numbers.format(std::round(share * 1e6) / 1e4) + QStringLiteral(" %"));
    }
    for (int percent = 0; percent <= 100; percent += 20) {
        const qreal y = yOfShare(percent / 100.0, 1);
        painter.drawLine(QPointF(plot.right(), y), QPointF(plot.right() + kTick, y));
        painter.drawText(
            QRectF(plot.right() + kTick + 2, y - metrics.height() / 2, kRight, metrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter, QString::number(percent) + QStringLiteral(" %"));
    }
    painter.drawText(QRectF(plot.left(), plot.bottom() + kTick + metrics.height(), plot.width(),
                            metrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Срок, дней"));
    painter.drawText(QRectF(plot.left(), 0, plot.width(), kTop - 4),
                     Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Доля прогонов"));
    painter.setPen(QColor::fromRgba(riskchart::kCurveColour));
    painter.drawText(QRectF(plot.left(), 0, plot.width(), kTop - 4),
                     Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Накопленная вероятность"));

    // The directive, over everything else.
    if (data.directive) {
        const qreal x = xOf(*data.directive);
        painter.setPen(QPen(QColor::fromRgba(riskchart::kDirectiveColour), 2, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(QColor::fromRgba(riskchart::kDirectiveColour));
        const qreal width = metrics.horizontalAdvance(data.directiveLabel) + 4;
        const qreal left = std::clamp(x + 3, plot.left(), plot.right() - width);
        painter.drawText(QRectF(left, plot.top() + 2, width, metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop, data.directiveLabel);
    }
    painter.restore();
}
