#include "PreviewWidget.h"

#include "DrawingUnits.h"

#include "ReportDocument.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace report {

namespace {

// Grey desk around the page, in logical pixels.
constexpr int kDesk = 12;
constexpr qreal kMinZoom = 0.05;
constexpr qreal kMaxZoom = 8.0;

} // namespace

PreviewWidget::PreviewWidget(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

PreviewWidget::~PreviewWidget() = default;

void PreviewWidget::setDocument(std::shared_ptr<const ReportDocument> document)
{
    m_document = std::move(document);
    m_cachePage = -1;
    m_page = -1;
    pagesAdded();
    if (m_page < 0) {
        emit currentPageChanged(m_page);
        relayout();
    }
}

void PreviewWidget::pagesAdded()
{
    const int count = pageCount();
    if (m_page < 0 && count > 0)
        setCurrentPage(0);
    emit pageCountChanged(count);
}

int PreviewWidget::pageCount() const
{
    return m_document ? m_document->pageCount() : 0;
}

void PreviewWidget::setCurrentPage(int page)
{
    const int count = pageCount();
    page = count == 0 ? -1 : std::clamp(page, 0, count - 1);
    if (page == m_page)
        return;
    m_page = page;
    verticalScrollBar()->setValue(0);
    viewport()->update();
    emit currentPageChanged(m_page);
}

void PreviewWidget::setZoomMode(ZoomMode mode)
{
    m_zoomMode = mode;
    relayout();
}

void PreviewWidget::setZoomFactor(qreal factor)
{
    m_fixedZoom = std::clamp(factor, kMinZoom, kMaxZoom);
    setZoomMode(ZoomMode::Fixed);
}

qreal PreviewWidget::zoomFactor() const
{
    return m_zoom;
}

// The paper at the given zoom, in logical pixels of this screen.
QSizeF PreviewWidget::pagePixels(qreal zoom) const
{
    const QSizeF paper = m_document ? m_document->layout().paper : QSizeF(210, 297);
    return paper * (logicalDpiX() / kMillimetresPerInch * zoom);
}

void PreviewWidget::relayout()
{
    const QSizeF atOne = pagePixels(1.0);
    const QSizeF room = QSizeF(viewport()->size()) - QSizeF(2 * kDesk, 2 * kDesk);
    qreal zoom = m_fixedZoom;
    if (m_zoomMode == ZoomMode::FitPage)
        zoom = std::min(room.width() / atOne.width(), room.height() / atOne.height());
    else if (m_zoomMode == ZoomMode::FitWidth) {
        // The vertical scroll bar will be needed; leave room for it so the width really fits.
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        zoom = (room.width() - (verticalScrollBar()->isVisible() ? 0 : bar)) / atOne.width();
    }
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    m_zoom = zoom;

    const QSize page = pagePixels(m_zoom).toSize();
    const QSize content = page + QSize(2 * kDesk, 2 * kDesk);
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - viewport()->width()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, content.height() - viewport()->height()));
    viewport()->update();
}

QImage PreviewWidget::renderPage(int page, qreal zoom) const
{
    const qreal ratio = devicePixelRatioF();
    const QSizeF logical = pagePixels(zoom);
    QImage image((logical * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    if (m_document && page >= 0 && page < m_document->pageCount()) {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        m_document->paintPage(painter, page, QRectF(QPointF(0, 0), logical));
    }
    return image;
}

void PreviewWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), QColor(0x80, 0x80, 0x80));
    if (m_page < 0)
        return;
    if (m_cachePage != m_page || !qFuzzyCompare(m_cacheZoom, m_zoom) || m_cache.isNull()) {
        m_cache = renderPage(m_page, m_zoom);
        m_cachePage = m_page;
        m_cacheZoom = m_zoom;
    }
    const QSizeF size = m_cache.deviceIndependentSize();
    // Centred when the page is narrower than the view, else scrolled.
    const qreal x = size.width() + 2 * kDesk <= viewport()->width()
                        ? (viewport()->width() - size.width()) / 2
                        : kDesk - horizontalScrollBar()->value();
    const qreal y = size.height() + 2 * kDesk <= viewport()->height()
                        ? (viewport()->height() - size.height()) / 2
                        : kDesk - verticalScrollBar()->value();
    const QRectF page(QPointF(x, y), size);
    painter.fillRect(page.translated(3, 3), QColor(0x40, 0x40, 0x40));
    painter.drawImage(page.topLeft(), m_cache);
    painter.setPen(Qt::black);
    painter.drawRect(page.adjusted(-0.5, -0.5, 0.5, 0.5));
}

void PreviewWidget::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void PreviewWidget::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageDown:
        setCurrentPage(m_page + 1);
        return;
    case Qt::Key_PageUp:
        setCurrentPage(std::max(0, m_page - 1));
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

} // namespace report
