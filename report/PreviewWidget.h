#pragma once

#include <QAbstractScrollArea>
#include <QImage>

#include <memory>

namespace report {

class ReportDocument;

// Shows one page of a report document at a time, centred on a grey desk, with scroll bars when
// the page is larger than the view. Zoom is one factor: 1.0 shows the paper at its true size on
// the screen; the two fit modes recompute it whenever the view is resized. The document may grow
// while it is shown (call `pagesAdded`). Page Up and Page Down turn the pages.
class PreviewWidget : public QAbstractScrollArea
{
    Q_OBJECT

public:
    enum class ZoomMode { FitPage, FitWidth, Fixed };

    explicit PreviewWidget(QWidget* parent = nullptr);
    ~PreviewWidget() override;

    void setDocument(std::shared_ptr<const ReportDocument> document);
    const ReportDocument* document() const { return m_document.get(); }
    // Tells the view that pages were appended to its document.
    void pagesAdded();

    int pageCount() const;
    // From 0; -1 while there is no page.
    int currentPage() const { return m_page; }
    void setCurrentPage(int page);

    void setZoomMode(ZoomMode mode);
    // Switches to a fixed zoom.
    void setZoomFactor(qreal factor);
    // The factor in force, the fit modes included.
    qreal zoomFactor() const;

    // The page as shown, in device pixels (for tests and thumbnails).
    QImage renderPage(int page, qreal zoom) const;

signals:
    void currentPageChanged(int page);
    void pageCountChanged(int count);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QSizeF pagePixels(qreal zoom) const;
    void relayout();

    std::shared_ptr<const ReportDocument> m_document;
    int m_page = -1;
    ZoomMode m_zoomMode = ZoomMode::FitPage;
    qreal m_fixedZoom = 1.0;
    qreal m_zoom = 1.0;
    // The last rendered page: rendering is redone only for another page or zoom.
    QImage m_cache;
    int m_cachePage = -1;
    qreal m_cacheZoom = 0;
};

} // namespace report
