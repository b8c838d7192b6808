#pragma once

#include "AtomicFile.h"
#include "FileChoice.h"

#include <QImage>
#include <QSize>
#include <QtGlobal>

#include <functional>

class QPainter;
class QString;

// The kinds of file a drawing is saved as: the printed pages as a PDF, or the whole drawing as
// an SVG drawing or a PNG picture.
enum class PictureFormat { Pdf, Svg, Png };

// The file type a file choice offers for the format.
FileType fileTypeOf(PictureFormat format);

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

// Paints the whole drawing, one unit a drawing pixel, the origin at its top left corner.
using PaintDrawing = std::function<void(QPainter& painter)>;

// The drawing of `size` drawing pixels as an SVG drawing of one unit a pixel, all or nothing.
void writeSvg(const QString& path, QSizeF size, const QString& title, const PaintDrawing& paint);

// The drawing as a PNG picture of dotsPerInch / kScreenPixelsPerInch picture pixels a drawing
// pixel, on white, marked with its resolution; all or nothing. A picture beyond the PNG limits is
// refused before anything is written, with the words tooLarge gives for its size in pixels.
void writePng(const QString& path, QSizeF size, int dotsPerInch,
              const std::function<QString(QSize)>& tooLarge, const PaintDrawing& paint);
