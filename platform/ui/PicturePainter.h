#pragma once

#include "DrawingUnits.h"

#include <QPoint>
#include <QPolygonF>
#include <QRgb>

#include <initializer_list>
#include <limits>

class QPainter;

// The few flat colours every picture is made of.
namespace Palette {
constexpr QRgb outline = 0xff202020;
constexpr QRgb white = 0xffffffff;
constexpr QRgb paperShade = 0xffd0d0d0;
constexpr QRgb textLine = 0xff8c8c8c;
// The pictures' red is the critical path's.
constexpr QRgb red = kCriticalRed;
constexpr QRgb darkRed = 0xff7c0000;
constexpr QRgb yellow = 0xfff8d020;
constexpr QRgb label = 0xfff8ec98;
constexpr QRgb silver = 0xffc4c4c4;
constexpr QRgb lightSilver = 0xffe4e4e4;
constexpr QRgb grey = 0xff808080;
constexpr QRgb darkGrey = 0xff4c4c4c;
constexpr QRgb blue = 0xff2858c0;
constexpr QRgb darkBlue = 0xff102c78;
constexpr QRgb green = 0xff18a018;
constexpr QRgb glass = 0xffd4eeff;
constexpr QRgb wood = 0xffb06828;
constexpr QRgb darkWood = 0xff5c3010;
constexpr QRgb skin = 0xfff8d8a8;
} // namespace Palette

// Drawing helpers in the pixel grid of a picture's design. Cell (x, y) is the unit square whose
// top-left corner is (x, y). Outlines are one unit wide and lie on the outermost cells of their
// shape, so at 1x they cover whole pixels and stay crisp, and at 2x or 3x they cover whole
// device pixels too. Points passed as QPoint name cells and are drawn through the cell centres.
class PicturePainter
{
public:
    explicit PicturePainter(QPainter& painter);

    QPainter& painter() { return m_painter; }

    void fill(int x, int y, int w, int h, QRgb colour);
    void box(int x, int y, int w, int h, QRgb fill, QRgb line = Palette::outline);
    // A closed shape through the centres of the given cells (fractional cells allowed).
    void polygon(const QPolygonF& cells, QRgb fill, QRgb line = Palette::outline);
    // A line through the centres of two cells.
    void line(QPointF from, QPointF to, QRgb colour, qreal width = 1.0);
    // Centre and radius are in design units, not cells.
    void circle(QPointF centre, qreal radius, QRgb fill, QRgb line = Palette::outline);
    // A small bitmap: '#' marks a cell of the colour, anything else is left alone.
    void bitmap(int x, int y, std::initializer_list<const char*> rows, QRgb colour);

    // A white page with a folded top-right corner and at most textLines grey lines of text.
    void sheet(int x, int y, int w, int h, int textLines = std::numeric_limits<int>::max());
    // A 3.5-inch diskette filling a side x side square.
    void diskette(int x, int y, int side);
    // A printer whose body fills the given cells; paper enters above it when paperAbove > 0.
    void printer(int x, int y, int w, int h, int paperAbove);
    // A block arrow from the tail cell to the tip cell along a row or column: the shaft is
    // 2 * shaft + 1 cells thick and the head 2 * head + 1 cells wide.
    void arrow(QPoint tail, QPoint tip, int shaft, int head, QRgb fill = Palette::red,
               QRgb line = Palette::darkRed);
    // A magnifying glass: lens centre and radius in design units, handle pointing down-right.
    void magnifier(QPointF centre, qreal radius, qreal handle);
    // A doorway with the door swung open and a red arrow leaving through it.
    void doorOut();
    // A red circle crossed by a bar, on the whole picture.
    void prohibition();
    // A pin: a round head on a stick whose foot stands on the given cell.
    void marker(QPoint foot, int height, qreal headRadius);

private:
    QPainter& m_painter;
};
