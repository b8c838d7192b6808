#include "GanttPrint.h"

#include "DateFormat.h"
#include "GanttChart.h"
#include "ReportDocument.h"
#include "ReportPageHeader.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace gantt;

struct GanttPrint::State
{
    State(const GanttChart& source, GanttScale scale, const DateFormat& dateFormat)
        : chart(source), geometry(chart, scale), dates(dateFormat)
    {
    }

    // Splits the chart for a page body of `room` chart pixels.
    void split(const QSizeF& room)
    {
        const qreal rowRoom = room.height() - kCaptionHeight - kAxisHeight;
        rowsPerPage = std::max(1, int(std::floor(rowRoom / kRowHeight)));
        rowBlocks = std::max(1, (chart.workCount() + rowsPerPage - 1) / rowsPerPage);

        // Cut the axis where a unit ends, as late as the page allows; a unit wider than a whole
        // page (none of the scales has one on these papers) is cut where the page ends.
        const qreal timeRoom = std::max(room.width() - geometry.columnsWidth(), qreal(1));
        cuts = {0};
        qreal sliceStart = 0;
        qreal lastFit = 0;
        for (const AxisCell& cell : geometry.lowerCells(0, geometry.width())) {
            if (cell.right - sliceStart > timeRoom) {
                if (lastFit > sliceStart) {
                    cuts.append(lastFit);
                    sliceStart = lastFit;
                }
                while (cell.right - sliceStart > timeRoom) {
                    sliceStart += timeRoom;
                    cuts.append(sliceStart);
                }
            }
            lastFit = cell.right;
        }
        if (lastFit > sliceStart)
            cuts.append(lastFit);
    }

    int timeSlices() const { return int(cuts.size()) - 1; }

    GanttFrame frame(int page) const
    {
        const int block = page / timeSlices();
        const int slice = page % timeSlices();
        GanttFrame frame;
        frame.firstPosition = block * rowsPerPage;
        frame.endPosition = std::min(frame.firstPosition + rowsPerPage, chart.workCount());
        frame.fromX = cuts[slice];
        const qreal toX = cuts[slice + 1];
        frame.size = QSizeF(geometry.columnsWidth() + toX - frame.fromX,
                            kCaptionHeight + kAxisHeight +
                                (frame.endPosition - frame.firstPosition) * kRowHeight);
        // The stretch of time as calendar days: cuts lie on day boundaries, so the last day
        // shown is the one before the cut.
        const double firstDay = geometry.timeOf(frame.fromX) + chart.startDate();
        const double lastDay = std::ceil(geometry.timeOf(toX) + chart.startDate()) - 1;
        frame.caption =
            QStringLiteral("Диаграмма Ганта: строки %1–%2 из %3; с %4 по %5")
                .arg(frame.firstPosition + 1)
                .arg(frame.endPosition)
                .arg(chart.workCount())
                .arg(dates.formatDate(firstDay), dates.formatDate(std::max(lastDay, firstDay)));
        return frame;
    }

    const GanttChart chart;
    const GanttGeometry geometry;
    const DateFormat dates;
    int rowsPerPage = 1;
    int rowBlocks = 1;
    QList<qreal> cuts;
};

GanttPrint::GanttPrint(const GanttChart& chart, GanttScale scale, GanttPaper paper,
                       const DateFormat& dates)
    : DrawingPages(layoutWithPageHeader(PageHeaderCaption::PageNumber), paper)
{
    auto state = std::make_shared<State>(chart, scale, dates);
    state->split(room() / kMillimetresPerPixel);
    // Each page paints its own caption within the chart's frame.
    const QStringList captions(state->rowBlocks * state->timeSlices(), QString());
    // The painter keeps the figures alive for as long as any copy of the layout lives.
    const std::shared_ptr<const State> pieces = state;
    setPages(captions, [pieces](QPainter& painter, int page, qreal dotsPerMm) {
        painter.scale(dotsPerMm * kMillimetresPerPixel, dotsPerMm * kMillimetresPerPixel);
        paintGantt(painter, pieces->geometry, pieces->frame(page));
    });
    m_state = std::move(state);
}

GanttPrint::~GanttPrint() = default;

int GanttPrint::rowBlocks() const
{
    return m_state->rowBlocks;
}

int GanttPrint::timeSlices() const
{
    return m_state->timeSlices();
}

GanttFrame GanttPrint::frame(int page) const
{
    return m_state->frame(page);
}
