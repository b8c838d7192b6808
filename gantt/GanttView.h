#pragma once

#include <QAbstractScrollArea>

class GanttGeometry;

// Shows a chart in a scrolled view: the work column and the time axis stay put, the rows and the
// time scroll under them. Every paint goes through paintGantt with the rows in sight only: no
// widget or item per row, so a chart of any length scrolls alike. Pointing at a bar shows all
// eleven cells of its row as the tool tip.
class GanttView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit GanttView(QWidget* parent = nullptr);

    // The chart at its scale; the geometry must outlive the view or be replaced first; null shows
    // nothing.
    void setChart(const GanttGeometry* geometry);
    // After the chart's order changed.
    void chartChanged();

    // Chart x at the left edge of the time area, and a scroll that puts x there.
    qreal shownX() const;
    void scrollToX(qreal x);

    // The work under a point of the viewport; -1 if none.
    int positionAt(const QPoint& viewportPoint) const;
    // The chart point (chart pixels) under a point of the viewport.
    QPointF chartPoint(const QPoint& viewportPoint) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    // Where the time area starts in the viewport.
    qreal columnsWidth() const;
    void updateScrollBars();

    const GanttGeometry* m_geometry = nullptr;
};
