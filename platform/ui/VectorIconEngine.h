#pragma once

#include <QIconEngine>
#include <QImage>
#include <QString>

#include <functional>

class QPainter;

// An icon engine that owns no bitmaps: it keeps a drawing made in a square design grid (16 or
// 32 units) and paints it afresh at each requested size and device pixel ratio. The disabled
// mode is derived from the same drawing by greying it, so a single drawing serves every state.
class VectorIconEngine : public QIconEngine
{
public:
    // Draws the picture into a painter already scaled so that one unit is one design pixel.
    using Drawing = std::function<void(QPainter&)>;

    // cacheKey must be unique per drawing; it keys the rendered pixmaps in QPixmapCache.
    VectorIconEngine(Drawing drawing, int designSize, QList<int> sizes, QString cacheKey);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QIconEngine* clone() const override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString key() const override;
    bool isNull() override;

    // The drawing at exactly side x side device pixels, device pixel ratio 1. Uses QImage only.
    QImage render(int side, QIcon::Mode mode) const;

private:
    QPixmap cachedPixmap(int side, QIcon::Mode mode, qreal ratio) const;

    Drawing m_drawing;
    int m_designSize;
    QList<int> m_sizes;
    QString m_cacheKey;
};
