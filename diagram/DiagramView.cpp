#include "DiagramView.h"

#include "DiagramPainter.h"
#include "DiagramScene.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSmallestOwnZoom = 0.05;
constexpr int kScrollStep = 20;

} // namespace

DiagramView::DiagramView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::OpenHandCursor);
    horizontalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setSingleStep(kScrollStep);
}

void DiagramView::setScene(const DiagramScene* scene)
{
    const bool first = m_scene == nullptr;
    const QPointF middle = diagramPoint(QRectF(viewport()->rect()).center());
    m_scene = scene;
    if (first || m_fitting) {
        zoomToFit();
    } else {
        updateScrollBars();
        // The point that was in the middle stays there.
        const QPointF now = viewportPoint(middle) - QRectF(viewport()->rect()).center();
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + int(std::lround(now.x())));
        verticalScrollBar()->setValue(verticalScrollBar()->value() + int(std::lround(now.y())));
    }
    viewport()->update();
}

double DiagramView::fittingZoom() const
{
    if (!m_scene)
        return 1;
    const QSizeF drawing = m_scene->bounds().size();
    const QSizeF room = viewport()->size();
    return std::min({1.0, room.width() / drawing.width(), room.height() / drawing.height()});
}

double DiagramView::smallestZoom() const
{
    return std::min(fittingZoom(), kSmallestOwnZoom);
}

void DiagramView::setZoom(double zoom)
{
    setZoom(zoom, QRectF(viewport()->rect()).center());
}

void DiagramView::setZoom(double zoom, const QPointF& anchor)
{
    m_fitting = false;
    const QPointF held = diagramPoint(anchor);
    m_zoom = std::clamp(zoom, smallestZoom(), kLargestZoom);
    updateScrollBars();
    const QPointF moved = viewportPoint(held) - anchor;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + int(std::lround(moved.x())));
    verticalScrollBar()->setValue(verticalScrollBar()->value() + int(std::lround(moved.y())));
    viewport()->update();
    emit zoomChanged(m_zoom);
}

void DiagramView::zoomToFit()
{
    m_fitting = true;
    m_zoom = fittingZoom();
    updateScrollBars();
    viewport()->update();
    emit zoomChanged(m_zoom);
}

void DiagramView::updateScrollBars()
{
    const QSize room = viewport()->size();
    const QSizeF drawing = m_scene ? m_scene->bounds().size() * m_zoom : QSizeF();
    const int width = int(std::ceil(drawing.width()));
    const int height = int(std::ceil(drawing.height()));
    horizontalScrollBar()->setRange(0, std::max(0, width - room.width()));
    horizontalScrollBar()->setPageStep(std::max(1, room.width()));
    verticalScrollBar()->setRange(0, std::max(0, height - room.height()));
    verticalScrollBar()->setPageStep(std::max(1, room.height()));
}

QPointF DiagramView::origin() const
{
    const QSizeF room = viewport()->size();
    const QSizeF drawing = m_scene ? m_scene->bounds().size() * m_zoom : QSizeF();
    const double x = drawing.width() < room.width() ? (room.width() - drawing.width()) / 2
                                                    : -horizontalScrollBar()->value();
    const double y = drawing.height() < room.height() ? (room.height() - drawing.height()) / 2
                                                      : -verticalScrollBar()->value();
    return QPointF(x, y);
}

QPointF DiagramView::diagramPoint(const QPointF& viewportPoint) const
{
    return (viewportPoint - origin()) / m_zoom;
}

QPointF DiagramView::viewportPoint(const QPointF& diagramPoint) const
{
    return diagramPoint * m_zoom + origin();
}

void DiagramView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
    if (!m_scene)
        return;
    painter.translate(origin());
    painter.scale(m_zoom, m_zoom);
    const QRectF exposed(diagramPoint(event->rect().topLeft()),
                         diagramPoint(QPointF(event->rect().bottomRight()) + QPointF(1, 1)));
    paintDiagram(painter, *m_scene, exposed, PaintDetail::Adaptive);
}

void DiagramView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_fitting)
        zoomToFit();
    else
        updateScrollBars();
}

void DiagramView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    setZoom(m_zoom * std::pow(kWheelStep, notches), event->position());
    event->accept();
}

void DiagramView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_dragFrom = event->position().toPoint();
    m_scrollFrom = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    viewport()->setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void DiagramView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    const QPoint moved = event->position().toPoint() - m_dragFrom;
    horizontalScrollBar()->setValue(m_scrollFrom.x() - moved.x());
    verticalScrollBar()->setValue(m_scrollFrom.y() - moved.y());
    event->accept();
}

void DiagramView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        viewport()->setCursor(Qt::OpenHandCursor);
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

bool DiagramView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && m_scene) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QPointF at = diagramPoint(help->pos());
        const int index = m_scene->eventAt(at);
        // An event's hint first; else the name of the work under the pointer, where it has one.
        QString tip;
        if (index >= 0)
            tip = m_scene->events()[std::size_t(index)].toolTip;
        else if (const int work = m_scene->workAt(at); work >= 0)
            tip = m_scene->works()[std::size_t(work)].toolTip;
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, viewport());
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}
