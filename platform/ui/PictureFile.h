#pragma once

#include "AtomicFile.h"

#include <QImage>
#include <QSize>
#include <QtGlobal>

class QString;

// The largest PNG pictures the program writes: a side of at most this many pixels and at most
// this many pixels in all (a picture is made in memory first, 4 bytes a pixel). Larger ones are
// refused before anything is written, in words that point to PDF or SVG.
inline constexpr int kMaxPngSide = 32767;
inline constexpr qint64 kMaxPngPixels = 64LL * 1024 * 1024;

// Whether a picture of this size is within the PNG limits above.
bool fitsPng(QSize size);

// A white picture of this size to paint into; raises std::bad_alloc where memory lacks for it.
QImage blankPicture(QSize size);

// Writes the picture in the format ("png", "bmp") all or nothing (AtomicFile): a failure raises
// the program's error in the given words and leaves any earlier file as it was.
void writePicture(const QImage& image, const QString& path, const char* format,
                  AtomicFile::Messages messages = AtomicFile::defaultMessage);
