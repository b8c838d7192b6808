#include "PictureFile.h"

#include "DrawingUnits.h"
#include "KestrinError.h"

#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

#include <cmath>
#include <new>

FileType fileTypeOf(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Pdf:
        return filetypes::pdf();
    case PictureFormat::Svg:
        return filetypes::svg();
    case PictureFormat::Png:
        break;
    }
    return filetypes::png();
}

bool fitsPng(QSize size)
{
    return size.width() <= kMaxPngSide && size.height() <= kMaxPngSide &&
           qint64(size.width()) * size.height() <= kMaxPngPixels;
}

QImage blankPicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        throw std::bad_alloc();
    image.fill(Qt::white);
    return image;
}

void writePicture(const QImage& image, const QString& path, const char* format,
                  AtomicFile::Messages messages)
{
    AtomicFile file(path, std::move(messages));
    file.open();
    QImageWriter writer(file.device(), format);
    if (!writer.write(image))
        file.raise(AtomicFile::Failure::Stage::Write, 0);
    file.commit();
}

void writeSvg(const QString& path, QSizeF size, const QString& title, const PaintDrawing& paint)
{
    AtomicFile file(path);
    file.open();
    {
        QSvgGenerator generator;
        generator.setOutputDevice(file.device());
        generator.setSize(QSize(int(std::ceil(size.width())), int(std::ceil(size.height()))));
        generator.setViewBox(QRectF(QPointF(0, 0), size));
        generator.setResolution(kScreenPixelsPerInch);
        generator.setTitle(title);
        generator.setDescription(QStringLiteral("Kestrin"));
        QPainter painter;
        if (!painter.begin(&generator))
            file.raise(AtomicFile::Failure::Stage::Write, 0);
        painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
        paint(painter);
        painter.end();
    }
    file.commit();
}

void writePng(const QString& path, QSizeF size, int dotsPerInch,
              const std::function<QString(QSize)>& tooLarge, const PaintDrawing& paint)
{
    const double scale = double(dotsPerInch) / kScreenPixelsPerInch;
    const QSize pixels(int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale)));
    if (!fitsPng(pixels))
        throw KestrinError(tooLarge(pixels));
    QImage image = blankPicture(pixels);
    image.setDotsPerMeterX(int(std::lround(dotsPerInch / kMillimetresPerInch * 1000)));
    image.setDotsPerMeterY(image.dotsPerMeterX());
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.scale(scale, scale);
        paint(painter);
    }
    writePicture(image, path, "png");
}
