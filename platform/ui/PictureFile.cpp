#include "PictureFile.h"

#include <QImageWriter>

#include <new>

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
