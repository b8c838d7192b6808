#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>

// A paint device of A4 paper at 1200 dots per inch that keeps what is drawn on it, in
// millimetres, so tests can check where a page puts its elements.
class RecordingEngine : public QPaintEngine
{
public:
    struct Item
    {
        enum Kind { Fill, Outline, Line, Text, Image } kind;
        QRectF rect; // mm; for text, from the top of the first line to the bottom of the last
        QLineF line; // mm
        QString text;
        QColor colour;
    };

    static constexpr qreal kDotsPerMm = 1200 / 25.4;

    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & DirtyPen)
            m_pen = state.pen();
        if (state.state() & DirtyBrush)
            m_brush = state.brush();
        if (state.state() & DirtyTransform)
            m_transform = state.transform();
    }
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const bool filled = m_brush.style() != Qt::NoBrush;
            items.append({filled ? Item::Fill : Item::Outline,
                          mm(rects[i]),
                          {},
                          {},
                          filled ? m_brush.color() : m_pen.color()});
        }
    }
    void drawLines(const QLineF* lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            items.append({Item::Line,
                          {},
                          QLineF(m_transform.map(lines[i].p1()) / kDotsPerMm,
                                 m_transform.map(lines[i].p2()) / kDotsPerMm),
                          {},
                          m_pen.color()});
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        const QRectF box(p.x(), p.y() - item.ascent(), item.width(),
                         item.ascent() + item.descent());
        items.append({Item::Text, mm(box), {}, item.text(), m_pen.color()});
    }
    void drawPixmap(const QRectF& r, const QPixmap&, const QRectF&) override
    {
        items.append({Item::Image, mm(r), {}, {}, {}});
    }
    void drawImage(const QRectF& r, const QImage&, const QRectF&, Qt::ImageConversionFlags) override
    {
        items.append({Item::Image, mm(r), {}, {}, {}});
    }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}

    QList<Item> items;

private:
    QRectF mm(const QRectF& r) const
    {
        const QRectF mapped = m_transform.mapRect(r);
        return QRectF(mapped.topLeft() / kDotsPerMm, mapped.size() / kDotsPerMm);
    }

    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
};

class RecordingDevice : public QPaintDevice
{
public:
    QPaintEngine* paintEngine() const override { return &m_engine; }
    QList<RecordingEngine::Item>& items() { return m_engine.items; }
    QRectF paper() const
    {
        return QRectF(0, 0, 210 * RecordingEngine::kDotsPerMm, 297 * RecordingEngine::kDotsPerMm);
    }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return qRound(210 * RecordingEngine::kDotsPerMm);
        case PdmHeight:
            return qRound(297 * RecordingEngine::kDotsPerMm);
        case PdmWidthMM:
            return 210;
        case PdmHeightMM:
            return 297;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 1200;
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    mutable RecordingEngine m_engine;
};
