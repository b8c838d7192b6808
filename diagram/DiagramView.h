#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QPointF>

class DiagramScene;

// Shows a diagram scene in a zoomable, scrolled view. The wheel zooms about the point under the
// pointer, dragging with the left button moves the drawing, the scroll bars and the keys scroll.
// Every paint goes through paintDiagram with the part in sight only, so a network of thousands
// of events zooms and scrolls alike; the view paints as vectors at the screen's own pixel ratio.
// Pointing at an event shows its name and times.
class DiagramView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr double kLargestZoom = 8;
    static constexpr double kWheelStep = 1.25; // per notch of the wheel

    explicit DiagramView(QWidget* parent = nullptr);

    // The scene must outlive the view or be replaced first; null shows nothing. A new scene of
    // the same network keeps the zoom and the point in the middle of the view.
    void setScene(const DiagramScene* scene);

    // Diagram pixels to screen pixels; 1 is 100 %.
    double zoom() const { return m_zoom; }
    // The zoom at which the whole drawing is in sight (never above 100 %).
    double fittingZoom() const;
    // The least zoom: the fitting one, or a twentieth of 100 % for a small drawing.
    double smallestZoom() const;
    // Zooms keeping the diagram point under `anchor` (viewport pixels) in its place.
    void setZoom(double zoom, const QPointF& anchor);
    void setZoom(double zoom);
    void zoomToFit();

    // Between viewport pixels and diagram pixels.
    QPointF diagramPoint(const QPointF& viewportPoint) const;
    QPointF viewportPoint(const QPointF& diagramPoint) const;

signals:
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void updateScrollBars();
    // Where the drawing's origin stands in the viewport: centred while it is smaller.
    QPointF origin() const;

    const DiagramScene* m_scene = nullptr;
    double m_zoom = 1;
    bool m_fitting = true;
    bool m_dragging = false;
    QPoint m_dragFrom;
    QPoint m_scrollFrom;
};
