#include "GanttPainter.h"

#include "GanttChart.h"
#include "GanttGeometry.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace gantt;

namespace {

const QColor kStripe(0xf4, 0xf5, 0xfa);
// Days off of the working calendar: a shade the stripes and bars stay readable over.
const QColor kDayOff(0x90, 0x90, 0xa0, 0x38);
const QColor kHeaderFill(0xec, 0xec, 0xec);
const QColor kUnitRule(0xe2, 0xe2, 0xe2);
const QColor kUpperRule(0xb4, 0xb4, 0xb4);
const QColor kFrameLine(0x90, 0x90, 0x90);
const QColor kText(0x10, 0x10, 0x10);
const QColor kBarOutline(0x30, 0x30, 0x30);
const QColor kFreeFloat(0x30, 0x30, 0x30);
const QColor kTotalFloat(0x60, 0x60, 0x60);
const QColor kCriticalLine(0x7c, 0x00, 0x00);

constexpr int kFontPixels = 11;
constexpr qreal kTextPad = 4;

QFont chartFont(bool bold = false)
{
    // Arial as the reports ask for it: a metric-compatible face stands in where it is missing.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kFontPixels);
    font.setBold(bold);
    return font;
}

// The rows in sight and where the first of them stands.
struct RowsInSight
{
    int first = 0;
    int end = 0;
    qreal firstTop = 0; // frame y of the first row's top edge
};

RowsInSight rowsInSight(const GanttFrame& frame, int workCount, qreal bodyTop)
{
    RowsInSight rows;
    rows.first = std::clamp(frame.firstPosition, 0, workCount);
    const qreal room = frame.size.height() - bodyTop + frame.rowShift;
    const int fitting = room > 0 ? int(std::ceil(room / kRowHeight)) : 0;
    rows.end = std::min({frame.endPosition, workCount, rows.first + fitting});
    rows.firstTop = bodyTop - frame.rowShift;
    return rows;
}

void paintBars(QPainter& painter, const GanttGeometry& geometry, const RowsInSight& rows)
{
    const GanttChart& chart = geometry.chart();
    QPen freePen(kFreeFloat, 1.5, Qt::SolidLine, Qt::FlatCap);
    QPen totalPen(kTotalFloat, 1.0, Qt::DashLine, Qt::FlatCap);
    const QPen outline(kBarOutline, 0.8);
    const QColor critical = QColor::fromRgba(kCriticalColour);
    const QColor normal = QColor::fromRgba(kWorkColour);
    for (int position = rows.first; position < rows.end; ++position) {
        const QLineF free = geometry.freeFloatLine(position);
        if (!free.isNull()) {
            painter.setPen(freePen);
            painter.drawLine(free);
        }
        const QLineF total = geometry.totalFloatLine(position);
        if (!total.isNull()) {
            painter.setPen(totalPen);
            painter.drawLine(total);
        }
        painter.setPen(outline);
        painter.setBrush(chart.work(position).isCritical() ? critical : normal);
        if (chart.work(position).isMilestone())
            painter.drawPolygon(geometry.diamond(position));
        else
            painter.drawRect(geometry.barRect(position));
    }
}

void paintBody(QPainter& painter, const GanttGeometry& geometry, const GanttFrame& frame,
               const QRectF& body, const RowsInSight& rows)
{
    painter.save();
    painter.setClipRect(body, Qt::IntersectClip);
    for (int position = rows.first; position < rows.end; ++position) {
        if (position % 2 == 1)
            painter.fillRect(QRectF(body.left(),
                                    rows.firstTop + (position - rows.first) * kRowHeight,
                                    body.width(), kRowHeight),
                             kStripe);
    }
    const qreal toX = frame.fromX + body.width();
    const auto frameX = [&](qreal chartX) {
        return body.left() + chartX - frame.fromX;
    };
    for (const auto& [left, right] : geometry.daysOff(frame.fromX, toX))
        painter.fillRect(QRectF(frameX(left), body.top(), right - left, body.height()), kDayOff);
    painter.setPen(QPen(kUnitRule, 1.0));
    for (const AxisCell& cell : geometry.lowerCells(frame.fromX, toX))
        painter.drawLine(QPointF(frameX(cell.left), body.top()),
                         QPointF(frameX(cell.left), body.bottom()));
    painter.setPen(QPen(kUpperRule, 1.0));
    for (const AxisCell& cell : geometry.upperCells(frame.fromX, toX))
        painter.drawLine(QPointF(frameX(cell.left), body.top()),
                         QPointF(frameX(cell.left), body.bottom()));

    painter.save();
    painter.translate(body.left() - frame.fromX, rows.firstTop - rows.first * kRowHeight);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintBars(painter, geometry, rows);
    painter.restore();

    const qreal lineX = frameX(geometry.criticalLineX());
    painter.setPen(QPen(kCriticalLine, 1.5));
    painter.drawLine(QPointF(lineX, body.top()), QPointF(lineX, body.bottom()));
    painter.restore();
}

void paintWorkColumn(QPainter& painter, const GanttGeometry& geometry, const QRectF& column,
                     const RowsInSight& rows)
{
    const GanttChart& chart = geometry.chart();
    painter.save();
    painter.setClipRect(column, Qt::IntersectClip);
    const QFont font = chartFont();
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    for (int position = rows.first; position < rows.end; ++position) {
        const qreal top = rows.firstTop + (position - rows.first) * kRowHeight;
        if (position % 2 == 1)
            painter.fillRect(QRectF(column.left(), top, column.width(), kRowHeight), kStripe);
        painter.setPen(kText);
        const int row = chart.work(position).row;
        painter.drawText(QRectF(0, top, kNumberWidth - kTextPad, kRowHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(row + 1));
        const qreal labelRoom = kLabelWidth - 2 * kTextPad;
        painter.drawText(QRectF(kNumberWidth + kTextPad, top, labelRoom, kRowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(chart.label(position), Qt::ElideRight, labelRoom));
        if (geometry.nameWidth() > 0) {
            const qreal nameRoom = geometry.nameWidth() - 2 * kTextPad;
            painter.drawText(QRectF(geometry.nameLeft() + kTextPad, top, nameRoom, kRowHeight),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             metrics.elidedText(chart.name(position), Qt::ElideRight, nameRoom));
        }
        const qreal durationRoom = kDurationWidth - 2 * kTextPad;
        painter.drawText(QRectF(geometry.durationLeft() + kTextPad, top, durationRoom, kRowHeight),
                         Qt::AlignRight | Qt::AlignVCenter,
                         metrics.elidedText(chart.durationText(position).trimmed(), Qt::ElideRight,
                                            durationRoom));
    }
    painter.restore();
}

void paintAxis(QPainter& painter, const GanttGeometry& geometry, const GanttFrame& frame,
               const QRectF& axis)
{
    painter.save();
    painter.fillRect(axis, kHeaderFill);
    painter.setClipRect(axis, Qt::IntersectClip);
    painter.setFont(chartFont());
    const QFontMetricsF metrics(painter.font());
    const qreal toX = frame.fromX + axis.width();
    const auto frameX = [&](qreal chartX) {
        return axis.left() + chartX - frame.fromX;
    };
    const qreal middle = axis.top() + kAxisLineHeight;
    for (const AxisCell& cell : geometry.upperCells(frame.fromX, toX)) {
        const qreal left = frameX(std::max(cell.left, frame.fromX));
        const qreal right = frameX(cell.right);
        painter.setPen(kText);
        // A month cut short by the page or the view keeps what fits of its name.
        const qreal room = right - left - 2 * kTextPad;
        painter.drawText(QRectF(left + kTextPad, axis.top(), room, kAxisLineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(cell.label, Qt::ElideRight, room));
        painter.setPen(QPen(kFrameLine, 1.0));
        painter.drawLine(QPointF(frameX(cell.left), axis.top()),
                         QPointF(frameX(cell.left), axis.bottom()));
    }
    for (const AxisCell& cell : geometry.lowerCells(frame.fromX, toX)) {
        const QRectF box(frameX(cell.left), middle, cell.right - cell.left, kAxisLineHeight);
        painter.setPen(kText);
        painter.drawText(box, Qt::AlignCenter, cell.label);
        painter.setPen(QPen(kFrameLine, 1.0));
        painter.drawLine(box.topLeft(), box.bottomLeft());
    }
    painter.setPen(QPen(kFrameLine, 1.0));
    painter.drawLine(QPointF(axis.left(), middle), QPointF(axis.right(), middle));

    // L, on a white tag beside its line: to its right, or to its left where the axis or the page
    // ends first.
    const QString length = QStringLiteral("L = ") + geometry.chart().criticalLengthText();
    painter.setFont(chartFont(true));
    const qreal tagWidth = QFontMetricsF(painter.font()).horizontalAdvance(length) + 2 * kTextPad;
    const qreal lineX = frameX(geometry.criticalLineX());
    const qreal axisEnd = std::min(frameX(geometry.width()), axis.right());
    const qreal tagLeft = lineX + 2 + tagWidth > axisEnd && lineX - 2 - tagWidth >= axis.left()
                              ? lineX - 2 - tagWidth
                              : lineX + 2;
    const QRectF tag(tagLeft, axis.top() + 1, tagWidth, kAxisLineHeight - 2);
    painter.fillRect(tag, Qt::white);
    painter.setPen(kCriticalLine);
    painter.drawText(tag, Qt::AlignCenter, length);
    painter.restore();
}

void paintColumnHeader(QPainter& painter, const GanttGeometry& geometry, const QRectF& header)
{
    painter.save();
    painter.fillRect(header, kHeaderFill);
    painter.setFont(chartFont(true));
    painter.setPen(kText);
    const struct
    {
        qreal left;
        qreal width;
        const char16_t* text;
    } headings[] = {{0, kNumberWidth, u"№"},
                    {kNumberWidth, kLabelWidth, u"Работа"},
                    {geometry.nameLeft(), geometry.nameWidth(), u"Наименование"},
                    {geometry.durationLeft(), kDurationWidth, u"Продолжит."}};
    for (const auto& heading : headings)
        if (heading.width > 0)
            painter.drawText(
                QRectF(header.left() + heading.left, header.top(), heading.width, header.height()),
                Qt::AlignCenter, QString::fromUtf16(heading.text));
    painter.restore();
}

} // namespace

GanttFrame GanttFrame::whole(const GanttGeometry& geometry)
{
    GanttFrame frame;
    frame.size =
        QSizeF(geometry.columnsWidth() + geometry.width(), kAxisHeight + geometry.height());
    frame.firstPosition = 0;
    frame.endPosition = geometry.chart().workCount();
    return frame;
}

void paintGantt(QPainter& painter, const GanttGeometry& geometry, const GanttFrame& frame)
{
    painter.save();
    const QRectF area(QPointF(0, 0), frame.size);
    painter.setClipRect(area, Qt::IntersectClip);
    painter.fillRect(area, Qt::white);

    const qreal axisTop = frame.caption.isEmpty() ? 0 : kCaptionHeight;
    const qreal bodyTop = axisTop + kAxisHeight;
    const qreal columns = geometry.columnsWidth();
    const qreal timeWidth = std::max(frame.size.width() - columns, qreal(0));
    const RowsInSight rows = rowsInSight(frame, geometry.chart().workCount(), bodyTop);
    // The body ends under the last row in sight.
    const qreal rowsBottom =
        std::min(frame.size.height(), rows.firstTop + (rows.end - rows.first) * kRowHeight);
    const qreal bodyHeight = std::max(rowsBottom - bodyTop, qreal(0));

    paintBody(painter, geometry, frame, QRectF(columns, bodyTop, timeWidth, bodyHeight), rows);
    paintWorkColumn(painter, geometry, QRectF(0, bodyTop, columns, bodyHeight), rows);
    paintAxis(painter, geometry, frame, QRectF(columns, axisTop, timeWidth, kAxisHeight));
    paintColumnHeader(painter, geometry, QRectF(0, axisTop, columns, kAxisHeight));

    // The rules between the parts.
    painter.setPen(QPen(kFrameLine, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(0, bodyTop), QPointF(frame.size.width(), bodyTop));
    QList<qreal> rules{kNumberWidth, geometry.nameLeft(), columns};
    // Without names the name column has no width and no rule of its own.
    if (geometry.nameWidth() > 0)
        rules.insert(2, geometry.durationLeft());
    for (const qreal x : rules)
        painter.drawLine(QPointF(x, axisTop), QPointF(x, bodyTop + bodyHeight));
    painter.drawRect(QRectF(0, axisTop, frame.size.width(), bodyTop + bodyHeight - axisTop)
                         .adjusted(0, 0, -0.5, -0.5));

    if (!frame.caption.isEmpty()) {
        painter.setFont(chartFont(true));
        painter.setPen(kText);
        painter.drawText(QRectF(0, 0, frame.size.width(), kCaptionHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, frame.caption);
    }
    painter.restore();
}
