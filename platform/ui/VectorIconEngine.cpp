#include "VectorIconEngine.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Disabled pictures keep their shape but lose all colour: every pixel becomes a light grey
// of the same lightness order, and the whole is a little transparent, so a disabled button
// reads as "not now" on any background, like the classic greyed tool-bar picture.
QImage greyed(const QImage& source)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const int grey = 112 + qGray(pixel) * 143 / 255;
            // Rounded up so faint antialiased edges do not vanish.
            line[x] = qRgba(grey, grey, grey, (qAlpha(pixel) * 3 + 3) / 4);
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Scale of a painter's world transform; icons painted into a zoomed report page must be drawn
// for the pixels they will finally cover.
qreal transformScale(const QPainter& painter)
{
    const QTransform& t = painter.worldTransform();
    return std::max<qreal>(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
}

} // namespace

VectorIconEngine::VectorIconEngine(Drawing drawing, int designSize, QList<int> sizes,
                                   QString cacheKey)
    : m_drawing(std::move(drawing)), m_designSize(designSize), m_sizes(std::move(sizes)),
      m_cacheKey(std::move(cacheKey))
{
}

QImage VectorIconEngine::render(int side, QIcon::Mode mode) const
{
    QImage image(std::max(side, 0), std::max(side, 0), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(qreal(side) / m_designSize, qreal(side) / m_designSize);
        m_drawing(painter);
    }
    return mode == QIcon::Disabled ? greyed(image) : image;
}

QPixmap VectorIconEngine::cachedPixmap(int side, QIcon::Mode mode, qreal ratio) const
{
    if (side <= 0)
        return {};
    // Selected and active pictures look like normal ones; only disabled differs.
    const bool disabled = mode == QIcon::Disabled;
    const QString key = QStringLiteral("kestrin:%1:%2:%3:%4")
                            .arg(m_cacheKey)
                            .arg(side)
                            .arg(ratio)
                            .arg(disabled ? QLatin1Char('d') : QLatin1Char('n'));
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(render(side, mode));
        pixmap.setDevicePixelRatio(ratio);
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

void VectorIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State)
{
    const int side = std::min(rect.width(), rect.height());
    if (side <= 0)
        return;
    const qreal ratio = painter->device()->devicePixelRatio() * transformScale(*painter);
    const QPixmap pixmap = cachedPixmap(qRound(side * ratio), mode, ratio);
    const QRect target(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2,
                       side, side);
    painter->drawPixmap(target, pixmap);
}

QSize VectorIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State)
{
    const int side = std::min(size.width(), size.height());
    return {side, side};
}

QPixmap VectorIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State)
{
    return cachedPixmap(std::min(size.width(), size.height()), mode, 1.0);
}

QPixmap VectorIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State,
                                       qreal scale)
{
    // QIcon::pixmap() passes the size in device pixels up to Qt 6.7 and in device-independent
    // pixels from Qt 6.8 on; either way the result covers the logical size at the given ratio.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    const int side = qRound(std::min(size.width(), size.height()) * scale);
#else
    const int side = std::min(size.width(), size.height());
#endif
    return cachedPixmap(side, mode, scale);
}

QIconEngine* VectorIconEngine::clone() const
{
    return new VectorIconEngine(*this);
}

QList<QSize> VectorIconEngine::availableSizes(QIcon::Mode, QIcon::State)
{
    QList<QSize> sizes;
    for (int side : m_sizes)
        sizes.append(QSize(side, side));
    return sizes;
}

QString VectorIconEngine::key() const
{
    return QStringLiteral("VectorIconEngine");
}

bool VectorIconEngine::isNull()
{
    return !m_drawing;
}
