#pragma once

#include <QLineF>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <utility>

class GanttChart;

enum class GanttScale { Days, Weeks, Months };

// Sizes of the chart's parts, in chart pixels: screen pixels on the screen, a fixed fraction of a
// millimetre on paper.
namespace gantt {
inline constexpr qreal kRowHeight = 18;
inline constexpr qreal kBarHeight = 10;
inline constexpr qreal kAxisLineHeight = 18; // the axis has two lines
inline constexpr qreal kAxisHeight = 2 * kAxisLineHeight;
inline constexpr qreal kNumberWidth = 44; // the work column: the row number, the work, duration
inline constexpr qreal kLabelWidth = 124;
inline constexpr qreal kDurationWidth = 72;
inline constexpr qreal kNameWidth = 160; // the names' column, between the work and its duration
// The columns left of the time area of a chart whose works have no names.
inline constexpr qreal kWorkColumnWidth = kNumberWidth + kLabelWidth + kDurationWidth;
} // namespace gantt

// One labelled stretch of the time axis, in chart x.
struct AxisCell
{
    qreal left = 0;
    qreal right = 0;
    QString label;
};

// Where everything of a chart stands at one scale, in chart coordinates: x from the left edge of
// the time axis, y from the top of the first row (row `position` spans position * kRowHeight to
// the next). The axis runs in calendar days from the start of the calendar unit (day, week from
// Monday, month) that holds the earliest time of the chart to the end of the one that holds its
// latest; time t of the chart (days from the start of the project) is the calendar moment
// start date + t, so a fractional duration takes its share of a day. Counting working days, the
// works' times go through the working calendar instead (ScheduleDates' positions): a bar starts
// in its working day and stretches over the days off it spans, which are shaded, while the axis
// stays in calendar days. Nothing is kept per work: every figure is worked out when asked, in the
// chart's current order.
class GanttGeometry
{
public:
    // Raises "Invalid argument to date encode" when the axis would reach beyond the years 1 to
    // 9999. The chart must outlive the geometry.
    GanttGeometry(const GanttChart& chart, GanttScale scale);

    const GanttChart& chart() const { return *m_chart; }
    GanttScale scale() const { return m_scale; }
    qreal pixelsPerDay() const { return m_pixelsPerDay; }

    // The columns left of the time area, in frame x: the number, the work, the name (only when
    // some work has one, else of width 0) and the duration.
    qreal nameLeft() const { return gantt::kNumberWidth + gantt::kLabelWidth; }
    qreal nameWidth() const { return m_nameWidth; }
    qreal durationLeft() const { return nameLeft() + m_nameWidth; }
    qreal columnsWidth() const { return gantt::kWorkColumnWidth + m_nameWidth; }

    // The whole chart: the axis from end to end, and every row.
    qreal width() const;
    qreal height() const;

    // Chart x of the calendar moment start date + t, and back: the axis's own measure, for
    // scrolling and cutting pages.
    qreal xOf(double time) const;
    double timeOf(qreal x) const;
    // Chart x where a work that starts (finishes) at time t of the schedule starts (finishes).
    qreal startX(double time) const;
    qreal finishX(double time) const;

    // The bar from early start to early finish, kBarHeight high in the middle of its row; for a
    // work of zero duration, the square that holds its diamond.
    QRectF barRect(int position) const;
    QPolygonF diamond(int position) const;
    // The free float, from the early finish on, through the middle of the row; a null line when
    // the work has none.
    QLineF freeFloatLine(int position) const;
    // The rest of the total float, from the end of the free float to the late finish; a null
    // line when nothing is left.
    QLineF totalFloatLine(int position) const;
    // The vertical line at L.
    qreal criticalLineX() const { return finishX(criticalLength()); }

    // The work whose bar or diamond is under the point (a pixel of slack around it); -1 if none.
    int positionAt(const QPointF& point) const;

    // The axis cells that reach into [fromX, toX): the lower line holds days, weeks (labelled
    // with the day of their Monday) or months; the upper line the months (of days and weeks) or
    // the years (of months).
    QList<AxisCell> lowerCells(qreal fromX, qreal toX) const;
    QList<AxisCell> upperCells(qreal fromX, qreal toX) const;
    // The runs of days off of the working calendar that reach into [fromX, toX), each as its
    // left and right chart x; none when calendar days are counted.
    QList<std::pair<qreal, qreal>> daysOff(qreal fromX, qreal toX) const;

private:
    double criticalLength() const;
    // The calendar day count of a work's start or finish at time t.
    double positionOf(double time, bool finish) const;
    QList<AxisCell> cells(qreal fromX, qreal toX, bool upper) const;

    const GanttChart* m_chart;
    GanttScale m_scale;
    qreal m_pixelsPerDay;
    qreal m_nameWidth = 0;
    // Day counts from 30 December 1899: the two ends of the axis.
    double m_axisStart = 0;
    double m_axisEnd = 1;
};
