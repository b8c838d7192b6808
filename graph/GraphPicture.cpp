#include "GraphPicture.h"

#include "AtomicFile.h"
#include "ClassicFonts.h"
#include "FileErrorText.h"
#include "IoError.h"
#include "PictureFile.h"

#include <QFontMetrics>
#include <QPen>

#include <algorithm>
#include <cerrno>

namespace {

QFont canvasFont(bool bold)
{
    QFont font = classicWindowFont();
    font.setBold(bold);
    // Glyphs in pure black: the picture stays two-coloured, like every other part of the drawing.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The box from corner1 to corner2 as Qt outlines it. An aliased one-pixel outline of
// QRectF(x, y, w, h) covers the pixels x..x+w, so a box covering x1..x2-1 is x2 - x1 - 1 wide.
// (Integer QRects are rounded differently for ellipses of odd size; the float form keeps even and
// odd sizes symmetric.) Empty for a box without area.
QRectF outlineBox(QPoint corner1, QPoint corner2)
{
    const int left = std::min(corner1.x(), corner2.x());
    const int top = std::min(corner1.y(), corner2.y());
    const int right = std::max(corner1.x(), corner2.x());
    const int bottom = std::max(corner1.y(), corner2.y());
    if (right - left < 2 || bottom - top < 2)
        return {};
    return QRectF(left, top, right - left - 1, bottom - top - 1);
}

// The classic words, with the classic runtime's reason ("Disk full", "File access denied", ...):
// "Cannot create file" where the file cannot be made, the folder named where the folder takes no
// new file, "Stream write error" where writing it failed.
QString bmpFailureMessage(const AtomicFile::Failure& failure)
{
    const QString reason = ioerror::message(ioerror::codeForErrno(failure.error, failure.target));
    switch (failure.stage) {
    case AtomicFile::Failure::Stage::Target:
        return cannotCreateFileText(failure.target, reason);
    case AtomicFile::Failure::Stage::Folder:
        if (failure.error == ENOENT || failure.error == ENOTDIR)
            return cannotCreateFileText(failure.target, reason);
        return AtomicFile::defaultMessage(failure);
    case AtomicFile::Failure::Stage::Write:
        break;
    }
    return QStringLiteral("Stream write error: %1 (%2)").arg(reason, failure.target);
}

int ascentOn(const QFont& font, const QImage& device)
{
    return QFontMetrics(font, &device).ascent();
}

} // namespace

GraphPicture::GraphPicture() : m_regularFont(canvasFont(false)), m_boldFont(canvasFont(true))
{
    // Metrics at the picture's own resolution (images default to 96 pixels per inch).
    const QImage reference(1, 1, QImage::Format_RGB32);
    m_regularAscent = ascentOn(m_regularFont, reference);
    m_boldAscent = ascentOn(m_boldFont, reference);
}

void GraphPicture::resize(int width, int height)
{
    m_image = QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
}

void GraphPicture::clear(QPoint corner)
{
    Canvas canvas(*this);
    canvas.rectangle(QPoint(0, 0), corner);
}

void GraphPicture::saveAsBmp(const QString& path) const
{
    writePicture(m_image, path, "bmp", bmpFailureMessage);
}

GraphPicture::Canvas::Canvas(GraphPicture& picture)
    : m_picture(picture), m_active(!picture.m_image.isNull())
{
    // Painting on an empty picture (a drawing area shrunk to nothing) draws nothing at all.
    if (!m_active)
        return;
    m_painter.begin(&picture.m_image);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, false);
    m_painter.setBrush(Qt::white);
    m_painter.setBackground(Qt::white);
    m_painter.setFont(picture.m_bold ? picture.m_boldFont : picture.m_regularFont);
    applyPen();
}

void GraphPicture::Canvas::applyPen()
{
    QPen pen(Qt::black);
    pen.setWidth(m_picture.m_penWidth);
    pen.setStyle(m_picture.m_penStyle);
    // Flat ends: a line stops short of its end point, and a width-2 line does not overshoot it.
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(pen);
}

void GraphPicture::Canvas::setPenWidth(int width)
{
    if (m_picture.m_penWidth == width)
        return;
    m_picture.m_penWidth = width;
    if (m_active)
        applyPen();
}

void GraphPicture::Canvas::setPenStyle(Qt::PenStyle style)
{
    if (m_picture.m_penStyle == style)
        return;
    m_picture.m_penStyle = style;
    if (m_active)
        applyPen();
}

void GraphPicture::Canvas::setBold(bool bold)
{
    if (m_picture.m_bold == bold)
        return;
    m_picture.m_bold = bold;
    if (m_active)
        m_painter.setFont(bold ? m_picture.m_boldFont : m_picture.m_regularFont);
}

void GraphPicture::Canvas::line(QPoint from, QPoint to)
{
    if (m_active)
        m_painter.drawLine(from, to);
}

void GraphPicture::Canvas::ellipse(QPoint corner1, QPoint corner2)
{
    const QRectF box = outlineBox(corner1, corner2);
    if (m_active && box.isValid())
        m_painter.drawEllipse(box);
}

void GraphPicture::Canvas::rectangle(QPoint corner1, QPoint corner2)
{
    const QRectF box = outlineBox(corner1, corner2);
    if (m_active && box.isValid())
        m_painter.drawRect(box);
}

void GraphPicture::Canvas::text(QPoint topLeft, const QString& text)
{
    if (!m_active)
        return;
    const int ascent = m_picture.m_bold ? m_picture.m_boldAscent : m_picture.m_regularAscent;
    // Only text is opaque. Opaque mode would also paint the gaps of dash-dot-dot lines, and
    // under it Qt rasterises ellipses one pixel short of their box.
    m_painter.setBackgroundMode(Qt::OpaqueMode);
    m_painter.drawText(topLeft + QPoint(0, ascent), text);
    m_painter.setBackgroundMode(Qt::TransparentMode);
}
