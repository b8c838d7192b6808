#include "GanttPrint.h"

#include "DateFormat.h"
#include "GanttChart.h"
#include "MemoryDataSet.h"
#include "ReportDocument.h"
#include "ReportLayout.h"
#include "ReportPageHeader.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace gantt;

namespace {

// Millimetres, as every measure of a report layout.
constexpr qreal kMargin = 10;
const QString kPageField = QStringLiteral("PAGE");

} // namespace

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
        const qreal timeRoom = std::max(room.width() - kWorkColumnWidth, qreal(1));
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
        frame.size = QSizeF(kWorkColumnWidth + toX - frame.fromX,
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
    report::MemoryDataSet pages{QStringList{kPageField}};
};

GanttPrint::GanttPrint(const GanttChart& chart, GanttScale scale, GanttPaper paper,
                       const DateFormat& dates)
{
    auto state = std::make_shared<State>(chart, scale, dates);

    m_layout =
        std::make_unique<report::ReportLayout>(layoutWithPageHeader(PageHeaderCaption::PageNumber));
    report::ReportLayout& layout = *m_layout;
    layout.paper = report::paperSize(paper);
    layout.margins = QMarginsF(kMargin, kMargin, kMargin, kMargin);
    const qreal pageHeaderHeight = layout.bands.back().height;

    const QSizeF body(layout.bandWidth(), layout.paper.height() - 2 * kMargin - pageHeaderHeight);
    state->split(body / kMillimetresPerPixel);
    const int count = state->rowBlocks * state->timeSlices();
    state->pages.reserve(count);
    for (int page = 0; page < count; ++page)
        state->pages.appendRecord({QString::number(page)});

    // The band fills the body, so every record begins a page of its own.
    report::ReportBand& detail = layout.addBand(report::BandKind::Detail, body.height());
    // The drawing keeps the figures alive for as long as any copy of the layout lives.
    const std::shared_ptr<const State> pieces = state;
    detail.add(report::ReportElement::drawing(
        QRectF(QPointF(0, 0), body), kPageField,
        [pieces](QPainter& painter, const QRectF& box, qreal dotsPerMm, const QString& value) {
            bool isNumber = false;
            const int page = value.toInt(&isNumber);
            if (!isNumber || page < 0 || page >= pieces->rowBlocks * pieces->timeSlices())
                return;
            painter.translate(box.topLeft());
            painter.scale(dotsPerMm * kMillimetresPerPixel, dotsPerMm * kMillimetresPerPixel);
            paintGantt(painter, pieces->geometry, pieces->frame(page));
        }));
    m_state = std::move(state);
}

GanttPrint::~GanttPrint() = default;

const report::DataSet& GanttPrint::pages() const
{
    return m_state->pages;
}

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

std::unique_ptr<report::ReportDocument> GanttPrint::makeDocument() const
{
    return report::makeDocument(layout(), &pages());
}
