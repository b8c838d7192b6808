#include "PicturePainter.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstring>

namespace {

QPen outlinePen(QRgb colour, qreal width = 1.0)
{
    return QPen(QColor::fromRgba(colour), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

QPointF centreOf(QPointF cell)
{
    return cell + QPointF(0.5, 0.5);
}

} // namespace

PicturePainter::PicturePainter(QPainter& painter) : m_painter(painter) {}

void PicturePainter::fill(int x, int y, int w, int h, QRgb colour)
{
    m_painter.fillRect(QRectF(x, y, w, h), QColor::fromRgba(colour));
}

void PicturePainter::box(int x, int y, int w, int h, QRgb fill, QRgb line)
{
    m_painter.setPen(outlinePen(line));
    m_painter.setBrush(QColor::fromRgba(fill));
    m_painter.drawRect(QRectF(x + 0.5, y + 0.5, w - 1, h - 1));
}

void PicturePainter::polygon(const QPolygonF& cells, QRgb fill, QRgb line)
{
    QPolygonF points;
    for (const QPointF& cell : cells)
        points.append(centreOf(cell));
    m_painter.setPen(outlinePen(line));
    m_painter.setBrush(QColor::fromRgba(fill));
    m_painter.drawPolygon(points);
}

void PicturePainter::line(QPointF from, QPointF to, QRgb colour, qreal width)
{
    m_painter.setPen(outlinePen(colour, width));
    m_painter.drawLine(centreOf(from), centreOf(to));
}

void PicturePainter::circle(QPointF centre, qreal radius, QRgb fill, QRgb line)
{
    m_painter.setPen(outlinePen(line));
    m_painter.setBrush(QColor::fromRgba(fill));
    m_painter.drawEllipse(centre, radius, radius);
}

void PicturePainter::bitmap(int x, int y, std::initializer_list<const char*> rows, QRgb colour)
{
    int row = 0;
    for (const char* cells : rows) {
        const int length = int(std::strlen(cells));
        for (int column = 0; column < length; ++column) {
            if (cells[column] == '#')
                fill(x + column, y + row, 1, 1, colour);
        }
        ++row;
    }
}

void PicturePainter::sheet(int x, int y, int w, int h, int textLines)
{
    const int right = x + w - 1;
    const int bottom = y + h - 1;
    const int fold = std::clamp(w / 3, 2, 4);
    polygon({QPointF(x, y), QPointF(right - fold, y), QPointF(right, y + fold),
             QPointF(right, bottom), QPointF(x, bottom)},
            Palette::white);
    polygon({QPointF(right - fold, y), QPointF(right - fold, y + fold), QPointF(right, y + fold)},
            Palette::paperShade);
    // Lines of text every other row, shortened beside the folded corner.
    int drawn = 0;
    for (int row = y + 2; row <= bottom - 2 && drawn < textLines; row += 2, ++drawn) {
        const int end = row <= y + fold ? right - fold - 2 : right - 2;
        if (end > x + 1)
            fill(x + 2, row, end - x - 1, 1, Palette::textLine);
    }
}

void PicturePainter::diskette(int x, int y, int side)
{
    const int right = x + side - 1;
    const int bottom = y + side - 1;
    const int chamfer = std::max(1, side / 8);
    polygon({QPointF(x, y), QPointF(right - chamfer, y), QPointF(right, y + chamfer),
             QPointF(right, bottom), QPointF(x, bottom)},
            Palette::blue, Palette::darkBlue);
    // The metal shutter at the top, with the window through which the disk shows.
    const int shutterLeft = x + side / 4;
    const int shutterWidth = side / 2;
    const int shutterHeight = std::max(3, side * 3 / 8);
    box(shutterLeft, y, shutterWidth, shutterHeight, Palette::silver, Palette::darkBlue);
    const int window = std::max(1, side / 7);
    fill(shutterLeft + shutterWidth - 1 - window - (side > 10 ? 1 : 0), y + 1, window,
         shutterHeight - 2, Palette::darkBlue);
    // The paper label at the bottom.
    const int labelTop = y + side / 2;
    const int margin = std::max(1, side / 6);
    box(x + margin, labelTop, side - 2 * margin, bottom - labelTop + 1, Palette::label,
        Palette::darkBlue);
    for (int row = labelTop + 2; row < bottom - 1; row += 2)
        fill(x + margin + 2, row, side - 2 * margin - 4, 1, Palette::red);
}

void PicturePainter::printer(int x, int y, int w, int h, int paperAbove)
{
    const int right = x + w - 1;
    const int bottom = y + h - 1;
    if (paperAbove > 0)
        box(x + 3, y - paperAbove, w - 6, paperAbove + 2, Palette::white);
    // Body seen a little from above: a light top face, then the front with the paper slot.
    const int front = y + std::max(2, h / 3);
    polygon({QPointF(x + 2, y), QPointF(right - 2, y), QPointF(right, front), QPointF(x, front)},
            Palette::lightSilver);
    box(x, front, w, bottom - front + 1, Palette::silver);
    fill(x + 3, front + 2, w - 6, 1, Palette::darkGrey);
    fill(right - 2, front + 2, 1, 1, Palette::green);
    // The printed page coming out at the front.
    if (bottom - front >= 5)
        box(x + 3, bottom - 2, w - 6, 3, Palette::white);
}

void PicturePainter::arrow(QPoint tail, QPoint tip, int shaft, int head, QRgb fill, QRgb line)
{
    const QPoint delta = tip - tail;
    const int length = std::max(std::abs(delta.x()), std::abs(delta.y()));
    const QPointF along(delta.x() / qreal(length), delta.y() / qreal(length));
    const QPointF across(-along.y(), along.x());
    auto at = [&](qreal a, qreal c) {
        return QPointF(tail) + along * a + across * c;
    };
    polygon({at(0, -shaft), at(length - head, -shaft), at(length - head, -head), at(length, 0),
             at(length - head, head), at(length - head, shaft), at(0, shaft)},
            fill, line);
}

void PicturePainter::magnifier(QPointF centre, qreal radius, qreal handle)
{
    const qreal diagonal = 0.7071;
    const QPointF rim = centre + QPointF(radius, radius) * diagonal;
    m_painter.setPen(QPen(QColor::fromRgba(Palette::darkWood), 2.5, Qt::SolidLine, Qt::RoundCap));
    m_painter.drawLine(rim, rim + QPointF(handle, handle) * diagonal);
    m_painter.setPen(outlinePen(Palette::outline, 1.5));
    m_painter.setBrush(QColor::fromRgba(Palette::glass));
    m_painter.drawEllipse(centre, radius, radius);
    // A glint in the upper left of the glass.
    m_painter.setPen(QPen(Qt::white, 1.0, Qt::SolidLine, Qt::RoundCap));
    m_painter.setBrush(Qt::NoBrush);
    const qreal r = radius * 0.6;
    m_painter.drawArc(QRectF(centre - QPointF(r, r), QSizeF(2 * r, 2 * r)), 100 * 16, 70 * 16);
}

void PicturePainter::doorOut()
{
    box(1, 0, 9, 16, Palette::darkGrey, Palette::outline);
    // The open door leaf, hinged on the left and swung towards us.
    polygon({QPointF(1, 0), QPointF(5, 2), QPointF(5, 15), QPointF(1, 15)}, Palette::wood,
            Palette::darkWood);
    fill(4, 8, 1, 1, Palette::yellow);
    arrow(QPoint(6, 8), QPoint(15, 8), 1, 3);
}

void PicturePainter::prohibition()
{
    const QPointF centre(8, 8);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(Qt::white);
    m_painter.drawEllipse(centre, 5.0, 5.0);

    QPainterPath outer;
    outer.addEllipse(centre, 7.5, 7.5);
    QPainterPath inner;
    inner.addEllipse(centre, 4.6, 4.6);
    QPainterPath bar;
    bar.addRect(QRectF(-8, -1.4, 16, 2.8));
    bar = QTransform().translate(centre.x(), centre.y()).rotate(45).map(bar);
    const QPainterPath sign = outer.subtracted(inner).united(bar.intersected(outer));

    m_painter.setPen(QPen(QColor::fromRgba(Palette::darkRed), 1.0));
    m_painter.setBrush(QColor::fromRgba(Palette::red));
    m_painter.drawPath(sign.simplified());
}

void PicturePainter::marker(QPoint foot, int height, qreal headRadius)
{
    fill(foot.x(), foot.y() - height + 1, 1, height, Palette::outline);
    circle(QPointF(foot.x() + 0.5, foot.y() - height + 0.5), headRadius, Palette::yellow);
}
