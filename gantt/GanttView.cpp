#include "GanttView.h"

#include "GanttChart.h"
#include "GanttGeometry.h"
#include "GanttPainter.h"

#include <QHelpEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>
#include <cmath>

using namespace gantt;

GanttView::GanttView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void GanttView::setChart(const GanttGeometry* geometry)
{
    m_geometry = geometry;
    updateScrollBars();
    viewport()->update();
}

void GanttView::chartChanged()
{
    updateScrollBars();
    viewport()->update();
}

void GanttView::updateScrollBars()
{
    const QSize room = viewport()->size();
    const int bodyWidth = std::max(0, room.width() - int(columnsWidth()));
    const int bodyHeight = std::max(0, room.height() - int(kAxisHeight));
    const int chartWidth = m_geometry ? int(std::ceil(m_geometry->width())) : 0;
    const int chartHeight = m_geometry ? int(std::ceil(m_geometry->height())) : 0;
    horizontalScrollBar()->setRange(0, std::max(0, chartWidth - bodyWidth));
    horizontalScrollBar()->setPageStep(std::max(1, bodyWidth));
    horizontalScrollBar()->setSingleStep(int(kRowHeight));
    verticalScrollBar()->setRange(0, std::max(0, chartHeight - bodyHeight));
    verticalScrollBar()->setPageStep(std::max(1, bodyHeight));
    verticalScrollBar()->setSingleStep(int(kRowHeight));
}

qreal GanttView::columnsWidth() const
{
    return m_geometry ? m_geometry->columnsWidth() : kWorkColumnWidth;
}

qreal GanttView::shownX() const
{
    return horizontalScrollBar()->value();
}

void GanttView::scrollToX(qreal x)
{
    horizontalScrollBar()->setValue(int(std::lround(x)));
}

QPointF GanttView::chartPoint(const QPoint& viewportPoint) const
{
    return QPointF(viewportPoint.x() - columnsWidth() + horizontalScrollBar()->value(),
                   viewportPoint.y() - kAxisHeight + verticalScrollBar()->value());
}

int GanttView::positionAt(const QPoint& viewportPoint) const
{
    if (!m_geometry || viewportPoint.x() < columnsWidth() || viewportPoint.y() < kAxisHeight)
        return -1;
    return m_geometry->positionAt(chartPoint(viewportPoint));
}

void GanttView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    if (!m_geometry) {
        painter.fillRect(viewport()->rect(), palette().base());
        return;
    }
    const int scrolled = verticalScrollBar()->value();
    GanttFrame frame;
    frame.size = QSizeF(viewport()->size());
    frame.firstPosition = int(scrolled / kRowHeight);
    frame.rowShift = scrolled - frame.firstPosition * kRowHeight;
    frame.endPosition = m_geometry->chart().workCount();
    frame.fromX = horizontalScrollBar()->value();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    paintGantt(painter, *m_geometry, frame);
}

void GanttView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

bool GanttView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int position = positionAt(help->pos());
        if (position < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), m_geometry->chart().details(position),
                               viewport());
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}
