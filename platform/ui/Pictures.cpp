#include "Pictures.h"

#include "PicturePainter.h"
#include "VectorIconEngine.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <cmath>

namespace {

using namespace Palette;

void newLine(PicturePainter& p)
{
    p.sheet(6, 0, 9, 16);
    p.arrow(QPoint(0, 8), QPoint(8, 8), 1, 3);
}

void openBook(PicturePainter& p)
{
    QPainter& painter = p.painter();
    // The cover shows under both pages.
    p.polygon({QPointF(0, 4), QPointF(15, 4), QPointF(15, 14), QPointF(9, 14), QPointF(8, 15),
               QPointF(7, 15), QPointF(6, 14), QPointF(0, 14)},
              blue, darkBlue);
    for (int side = 0; side < 2; ++side) {
        const qreal edge = side == 0 ? 1.5 : 14.5;
        const qreal spine = 8.0;
        QPainterPath page;
        page.moveTo(edge, 3.5);
        page.quadTo((edge + spine) / 2, 1.5, spine, 4.0);
        page.lineTo(spine, 14.5);
        page.quadTo((edge + spine) / 2, 11.5, edge, 12.5);
        page.closeSubpath();
        painter.setPen(QPen(QColor::fromRgba(outline), 1.0));
        painter.setBrush(Qt::white);
        painter.drawPath(page);
        // Text lines follow the page's curve loosely: straight lines are enough at this size.
        const int from = side == 0 ? 3 : 10;
        for (int row = 5; row <= 10; row += 2)
            p.fill(from, row, 3, 1, textLine);
    }
}

void wasteBin(PicturePainter& p)
{
    p.polygon({QPointF(3, 4), QPointF(12, 4), QPointF(11, 15), QPointF(4, 15)}, silver);
    for (int x : {6, 9})
        p.fill(x, 6, 1, 8, grey);
    p.box(6, 0, 4, 3, silver);
    p.box(1, 2, 14, 3, lightSilver);
}

void calculator(PicturePainter& p)
{
    p.box(2, 0, 12, 16, 0xff607080);
    p.box(4, 2, 8, 4, 0xffb4dca4);
    p.bitmap(6, 3, {"#.##", "#.##"}, darkGrey);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const bool equals = row == 2 && column == 2;
            p.fill(4 + 3 * column, 7 + 3 * row, 2, 2, equals ? red : white);
        }
    }
}

void calendar(PicturePainter& p)
{
    p.box(1, 2, 14, 14, white);
    p.fill(2, 3, 12, 3, red);
    for (int x : {4, 10})
        p.box(x, 0, 2, 5, silver, outline);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            const bool today = row == 1 && column == 2;
            p.fill(3 + 3 * column, 8 + 2 * row, 2, 1, today ? blue : textLine);
        }
    }
    p.fill(9, 11, 2, 3, blue);
}

void workdays(PicturePainter& p)
{
    p.box(0, 1, 16, 15, white);
    p.fill(1, 2, 14, 2, blue);
    // Seven columns of days, Monday first: the weekend's two are shaded, one weekday is a holiday.
    p.fill(11, 4, 4, 11, paperShade);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 7; ++column) {
            const bool holiday = row == 1 && column == 2;
            const QRgb day = holiday ? red : column >= 5 ? darkGrey : textLine;
            p.fill(1 + 2 * column, 5 + 3 * row, holiday ? 2 : 1, holiday ? 2 : 1, day);
        }
    }
}

void loadTemp(PicturePainter& p)
{
    p.diskette(0, 0, 9);
    p.arrow(QPoint(12, 0), QPoint(12, 7), 1, 3);
    p.sheet(6, 8, 10, 8, 2);
}

void saveTemp(PicturePainter& p)
{
    p.sheet(0, 0, 8, 10, 3);
    p.arrow(QPoint(12, 0), QPoint(12, 6), 1, 3);
    p.diskette(7, 7, 9);
}

void saveBase(PicturePainter& p)
{
    p.sheet(0, 0, 9, 16);
    p.arrow(QPoint(6, 8), QPoint(15, 8), 1, 3);
}

void sheetAbovePrinter(PicturePainter& p)
{
    p.sheet(3, 0, 10, 10, 3);
    p.printer(0, 8, 16, 8, 0);
}

void printerOnly(PicturePainter& p)
{
    p.printer(0, 5, 16, 11, 3);
}

void pie(PicturePainter& p)
{
    QPainter& painter = p.painter();
    const QRectF disc(1.5, 1.5, 13, 13);
    painter.setPen(QPen(QColor::fromRgba(outline), 1.0));
    const struct
    {
        int start;
        int span;
        QRgb colour;
    } slices[] = {{90, 130, yellow}, {220, 90, green}, {310, 65, blue}};
    for (const auto& slice : slices) {
        painter.setBrush(QColor::fromRgba(slice.colour));
        painter.drawPie(disc, slice.start * 16, slice.span * 16);
    }
    // The red slice is pulled out of the pie.
    painter.setBrush(QColor::fromRgba(red));
    painter.drawPie(disc.translated(1, -1), 15 * 16, 75 * 16);
}

void checkedSheet(PicturePainter& p)
{
    p.sheet(1, 0, 11, 15);
    // The mark is drawn over the sheet's lower right corner, in a white halo so it reads on them.
    QPainter& painter = p.painter();
    const QPolygonF mark({QPointF(7.5, 10.5), QPointF(10, 13.5), QPointF(15, 6.5)});
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(mark);
    painter.setPen(QPen(QColor::fromRgba(red), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(mark);
}

void ganttBars(PicturePainter& p)
{
    // The time line with its day ticks, and three bars running later one below the other.
    p.fill(0, 1, 16, 1, outline);
    for (int x : {0, 5, 10, 15})
        p.fill(x, 0, 1, 3, outline);
    p.box(0, 4, 7, 3, blue, darkBlue);
    p.box(5, 8, 9, 3, red, darkRed);
    p.box(3, 12, 6, 3, blue, darkBlue);
    // The float of the last bar, to the line at the end.
    p.fill(9, 13, 5, 1, darkGrey);
    p.fill(15, 3, 1, 13, darkRed);
}

void bellCurve(PicturePainter& p)
{
    // The spread of the project's length: a bell of the normal law over the time line, the part
    // beyond the directive date (the red line) being the risk of finishing late.
    p.fill(0, 14, 16, 1, outline);
    QPainterPath bell(QPointF(0.5, 14));
    for (int step = 0; step <= 30; ++step) {
        const qreal x = 0.5 + step * 0.5;
        const qreal z = (x - 8) / 2.6;
        bell.lineTo(x, 14 - 11.5 * std::exp(-z * z / 2));
    }
    bell.lineTo(15.5, 14);
    QPainter& painter = p.painter();
    painter.setPen(QPen(QColor::fromRgba(darkBlue), 1.0));
    painter.setBrush(QColor::fromRgba(blue));
    painter.drawPath(bell);
    p.fill(11, 1, 1, 14, red);
}

void costCurve(PicturePainter& p)
{
    // The axes, the total cost falling and rising again, its cheapest point in red, and a coin.
    p.fill(1, 0, 1, 15, outline);
    p.fill(1, 14, 15, 1, outline);
    QPainter& painter = p.painter();
    QPainterPath curve;
    curve.moveTo(3, 3);
    curve.quadTo(7, 17, 14, 5);
    painter.setPen(QPen(QColor::fromRgba(blue), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(curve);
    p.circle(QPointF(7.6, 10.2), 1.8, red, darkRed);
    p.circle(QPointF(11.5, 3.5), 3, yellow, darkWood);
}

void loadProfile(PicturePainter& p)
{
    // Columns of demand on a base line; the amount available is a green line across, and the
    // part of the one column that rises above it is red.
    p.fill(0, 15, 16, 1, outline);
    p.box(1, 9, 3, 6, blue, darkBlue);
    p.box(4, 3, 3, 12, blue, darkBlue);
    p.box(4, 1, 3, 5, red, darkRed);
    p.box(7, 7, 3, 8, blue, darkBlue);
    p.box(10, 11, 4, 4, blue, darkBlue);
    p.fill(0, 5, 16, 1, green);
}

void networkDiagram(PicturePainter& p)
{
    // Events in three layers; the critical path runs straight along the middle in red, the other
    // works bend off it and back.
    QPainter& painter = p.painter();
    const QPointF first(2.5, 8);
    const QPointF middle(8, 8);
    const QPointF last(13.5, 8);
    const QPointF upper(8, 2.5);
    painter.setPen(QPen(QColor::fromRgba(darkBlue), 1.0));
    painter.drawLine(first, upper);
    painter.drawLine(upper, last);
    painter.setPen(QPen(QColor::fromRgba(red), 2.0, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(first, last);
    for (const QPointF& node : {first, middle, last, upper})
        p.circle(node, 2.5, white);
    p.fill(0, 14, 16, 1, outline);
    for (int x : {2, 8, 13})
        p.fill(x, 13, 1, 3, outline);
}

void pointingHand(PicturePainter& p)
{
    QPainter& painter = p.painter();
    QPainterPath hand;
    hand.addRoundedRect(QRectF(2.5, 4.5, 7, 10), 2, 2);
    QPainterPath finger;
    finger.addRoundedRect(QRectF(6.5, 4.5, 9, 3), 1.5, 1.5);
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(6.5, 7.5, 5, 2.5), 1.2, 1.2);
    QPainterPath knuckles;
    knuckles.addRoundedRect(QRectF(6.5, 9.5, 4, 2.5), 1.2, 1.2);
    knuckles.addRoundedRect(QRectF(6.5, 11.5, 3.5, 3), 1.2, 1.2);
    painter.setPen(QPen(QColor::fromRgba(outline), 1.0));
    painter.setBrush(QColor::fromRgba(skin));
    painter.drawPath(hand.united(finger).united(thumb).united(knuckles).simplified());
    // Creases between the fingers.
    p.fill(8, 7, 4, 1, outline);
    p.fill(8, 9, 3, 1, outline);
    p.fill(8, 11, 2, 1, outline);
    p.box(0, 5, 3, 9, blue, darkBlue);
}

// A turning arrow: the head points left at the top, the shaft turns down and back under it;
// mirrored for the forward command.
void turnArrow(PicturePainter& p, bool back)
{
    QPainter& painter = p.painter();
    painter.save();
    if (!back) {
        painter.translate(16, 0);
        painter.scale(-1, 1);
    }
    QPainterPath curve;
    curve.moveTo(5, 6.5);
    curve.lineTo(8.5, 6.5);
    curve.cubicTo(15.5, 6.5, 15.5, 14, 8.5, 14);
    curve.lineTo(6, 14);
    QPainterPathStroker stroker;
    stroker.setWidth(3);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath shape = stroker.createStroke(curve);
    QPainterPath head;
    head.addPolygon(QPolygonF({QPointF(0.5, 6.5), QPointF(6, 1), QPointF(6, 12)}));
    head.closeSubpath();
    shape = shape.united(head).simplified();
    painter.setPen(
        QPen(QColor::fromRgba(darkBlue), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(QColor::fromRgba(blue));
    painter.drawPath(shape);
    painter.restore();
}

void twoSheets(PicturePainter& p)
{
    p.sheet(0, 0, 10, 12, 3);
    p.sheet(6, 4, 10, 12, 3);
}

void threeSheets(PicturePainter& p)
{
    p.sheet(0, 0, 9, 10, 2);
    p.sheet(3, 3, 9, 10, 2);
    p.sheet(7, 6, 9, 10, 3);
}

void clipboard(PicturePainter& p)
{
    p.box(0, 2, 12, 14, wood, darkWood);
    p.box(3, 0, 6, 4, silver);
    p.sheet(6, 5, 10, 11, 3);
}

// A small spreadsheet: a green heading row over ruled white cells.
void ruledTable(PicturePainter& p, int x, int y, int side)
{
    p.box(x, y, side, side, white);
    p.fill(x + 1, y + 1, side - 2, 2, green);
    for (int row = y + 4; row < y + side - 1; row += 2)
        p.fill(x + 1, row, side - 2, 1, textLine);
    p.fill(x + side / 2, y + 3, 1, side - 4, textLine);
}

void loadCsv(PicturePainter& p)
{
    ruledTable(p, 0, 0, 9);
    p.arrow(QPoint(12, 0), QPoint(12, 7), 1, 3);
    p.sheet(6, 8, 10, 8, 2);
}

void saveCsv(PicturePainter& p)
{
    p.sheet(0, 0, 8, 10, 3);
    p.arrow(QPoint(12, 0), QPoint(12, 6), 1, 3);
    ruledTable(p, 7, 7, 9);
}

// Three short bars staggered in time: a plan as the task-based planning tools show it.
void taskBars(PicturePainter& p, int x, int y)
{
    p.box(x, y, 5, 2, blue, darkBlue);
    p.box(x + 3, y + 3, 5, 2, red, darkRed);
    p.box(x + 1, y + 6, 4, 2, blue, darkBlue);
}

void importPlan(PicturePainter& p)
{
    taskBars(p, 0, 0);
    p.arrow(QPoint(12, 0), QPoint(12, 7), 1, 3);
    p.sheet(6, 8, 10, 8, 2);
}

void details(PicturePainter& p)
{
    p.sheet(0, 0, 11, 16);
    p.circle(QPointF(11.5, 11.5), 4.0, Palette::blue);
    p.fill(11, 10, 1, 4, Palette::white);
    p.fill(11, 8, 1, 1, Palette::white);
}

// Three events, two of them joined by the critical red, in the upper left 9 x 9 cells.
void smallNetwork(PicturePainter& p)
{
    p.line(QPointF(2, 2), QPointF(7, 2), Palette::red, 1.5);
    p.line(QPointF(2, 2), QPointF(4.5, 7), Palette::outline);
    p.circle(QPointF(2, 2), 1.8, Palette::white);
    p.circle(QPointF(7, 2), 1.8, Palette::white);
    p.circle(QPointF(4.5, 7), 1.8, Palette::white);
}

void loadPlan(PicturePainter& p)
{
    smallNetwork(p);
    p.arrow(QPoint(12, 0), QPoint(12, 7), 1, 3);
    p.sheet(6, 8, 10, 8, 2);
}

void exportPlan(PicturePainter& p)
{
    p.sheet(0, 0, 8, 10, 3);
    p.arrow(QPoint(12, 0), QPoint(12, 6), 1, 3);
    taskBars(p, 7, 8);
}

void savePlan(PicturePainter& p)
{
    smallNetwork(p);
    p.arrow(QPoint(12, 0), QPoint(12, 6), 1, 3);
    p.diskette(7, 7, 9);
}

void pencil(PicturePainter& p)
{
    QPainter& painter = p.painter();
    painter.save();
    painter.translate(8, 8);
    painter.rotate(-45);
    const QPen pen(QColor::fromRgba(outline), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    const qreal half = 2.2;
    painter.setBrush(QColor::fromRgba(0xfff0c890));
    painter.drawPolygon(QPolygonF({QPointF(-9.5, 0), QPointF(-5, -half), QPointF(-5, half)}));
    painter.setBrush(QColor::fromRgba(darkGrey));
    painter.drawPolygon(QPolygonF({QPointF(-9.5, 0), QPointF(-8, -0.75), QPointF(-8, 0.75)}));
    painter.setBrush(QColor::fromRgba(yellow));
    painter.drawRect(QRectF(-5, -half, 10, 2 * half));
    painter.setBrush(QColor::fromRgba(silver));
    painter.drawRect(QRectF(5, -half, 1.8, 2 * half));
    painter.setBrush(QColor::fromRgba(0xfff08888));
    painter.drawRoundedRect(QRectF(6.8, -half, 2.2, 2 * half), 0.8, 0.8);
    painter.setPen(QPen(QColor::fromRgba(0xffb08000), 0.8));
    painter.drawLine(QPointF(-4.5, 0), QPointF(4.5, 0));
    painter.restore();
}

void plus(PicturePainter& p, int x, int y)
{
    p.fill(x, y + 2, 6, 2, green);
    p.fill(x + 2, y, 2, 6, green);
}

void insertPoint(PicturePainter& p)
{
    p.fill(0, 14, 16, 1, outline);
    p.marker(QPoint(10, 13), 8, 3.0);
    plus(p, 0, 1);
}

void autoPlace(PicturePainter& p)
{
    p.arrow(QPoint(0, 12), QPoint(15, 12), 1, 3, blue, darkBlue);
    for (int x : {2, 6, 10})
        p.marker(QPoint(x, 9), 7, 1.8);
}

void twoNodes(PicturePainter& p)
{
    p.circle(QPointF(3, 8), 2.5, yellow);
    p.circle(QPointF(13, 8), 2.5, yellow);
    // The arrow is two pixels thick so it centres on the circles, which sit on a pixel corner.
    QPainter& painter = p.painter();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgba(red));
    painter.drawPolygon(
        QPolygonF({QPointF(5.5, 7), QPointF(7.5, 7), QPointF(7.5, 4.5), QPointF(11, 8),
                   QPointF(7.5, 11.5), QPointF(7.5, 9), QPointF(5.5, 9)}));
}

void zoomFit(PicturePainter& p)
{
    p.sheet(0, 0, 11, 15);
    p.magnifier(QPointF(8.5, 7.5), 4.0, 5.5);
}

void zoom100(PicturePainter& p)
{
    p.magnifier(QPointF(6.5, 6.5), 5.5, 5.0);
    p.bitmap(3, 4, {".#....#", "##.#.##", ".#....#", ".#.#..#", ".#....#"}, outline);
}

void zoomWidth(PicturePainter& p)
{
    p.magnifier(QPointF(8, 6), 3.5, 5.0);
    p.arrow(QPoint(3, 6), QPoint(0, 6), 0, 2, red, darkRed);
    p.arrow(QPoint(12, 6), QPoint(15, 6), 0, 2, red, darkRed);
}

void pageArrow(PicturePainter& p, bool forward, bool toEnd)
{
    // Drawn pointing left, mirrored for the forward commands.
    QPainter& painter = p.painter();
    painter.save();
    if (forward) {
        painter.translate(16, 0);
        painter.scale(-1, 1);
    }
    if (toEnd) {
        p.box(1, 2, 3, 12, blue, darkBlue);
        p.arrow(QPoint(14, 7), QPoint(5, 7), 2, 5, blue, darkBlue);
    } else {
        p.arrow(QPoint(14, 7), QPoint(2, 7), 2, 5, blue, darkBlue);
    }
    painter.restore();
}

void gear(PicturePainter& p, QPointF centre, qreal radius)
{
    QPainterPath shape;
    shape.addEllipse(QPointF(), radius * 0.68, radius * 0.68);
    // Each bar across the wheel makes two opposite teeth.
    for (int i = 0; i < 4; ++i) {
        QPainterPath teeth;
        teeth.addRect(QRectF(-0.9, -radius, 1.8, 2 * radius));
        shape = shape.united(QTransform().rotate(45.0 * i).map(teeth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(), radius * 0.28, radius * 0.28);
    shape = QTransform().translate(centre.x(), centre.y()).map(shape.subtracted(hole));
    QPainter& painter = p.painter();
    painter.setPen(QPen(QColor::fromRgba(outline), 1.0));
    painter.setBrush(QColor::fromRgba(silver));
    painter.drawPath(shape.simplified());
}

void printSetup(PicturePainter& p)
{
    p.printer(0, 6, 16, 10, 3);
    gear(p, QPointF(11.5, 4.5), 4.5);
}

void openFolder(PicturePainter& p)
{
    p.polygon({QPointF(0, 2), QPointF(5, 2), QPointF(6, 3), QPointF(13, 3), QPointF(13, 13),
               QPointF(0, 13)},
              0xffd8a820, darkWood);
    p.polygon({QPointF(0, 13), QPointF(3, 6), QPointF(15, 6), QPointF(12, 13)}, 0xfff8d860,
              darkWood);
}

void pdfSheet(PicturePainter& p)
{
    p.sheet(1, 0, 14, 16, 2);
    p.fill(2, 7, 12, 7, red);
    p.bitmap(3, 8, {"##..##..###", "#.#.#.#.#", "##..#.#.##", "#...#.#.#", "#...##..#"}, white);
}

void drawPicture(QPainter& painter, Picture picture)
{
    PicturePainter p(painter);
    switch (picture) {
    case Picture::NewLine:
        return newLine(p);
    case Picture::Edit:
        return openBook(p);
    case Picture::Delete:
        return wasteBin(p);
    case Picture::Recalc:
        return calculator(p);
    case Picture::Calendar:
        return calendar(p);
    case Picture::Workdays:
        return workdays(p);
    case Picture::LoadTemp:
        return loadTemp(p);
    case Picture::SaveTemp:
        return saveTemp(p);
    case Picture::SaveBase:
        return saveBase(p);
    case Picture::Print:
        return sheetAbovePrinter(p);
    case Picture::Graph:
        return pie(p);
    case Picture::Analysis:
        return checkedSheet(p);
    case Picture::Diagram:
        return networkDiagram(p);
    case Picture::Gantt:
        return ganttBars(p);
    case Picture::Cost:
        return costCurve(p);
    case Picture::Resources:
        return loadProfile(p);
    case Picture::Exit:
    case Picture::Cancel:
        return p.prohibition();
    case Picture::InitBorders:
        return pointingHand(p);
    case Picture::Undo:
        return turnArrow(p, true);
    case Picture::Redo:
        return turnArrow(p, false);
    case Picture::Copy:
        return twoSheets(p);
    case Picture::CopyAll:
        return threeSheets(p);
    case Picture::Paste:
        return clipboard(p);
    case Picture::LoadCsv:
        return loadCsv(p);
    case Picture::SaveCsv:
        return saveCsv(p);
    case Picture::Risk:
        return bellCurve(p);
    case Picture::Import:
        return importPlan(p);
    case Picture::Export:
        return exportPlan(p);
    case Picture::Details:
        return details(p);
    case Picture::LoadPlan:
        return loadPlan(p);
    case Picture::SavePlan:
        return savePlan(p);
    case Picture::Accept:
        return pencil(p);
    case Picture::SaveView:
    case Picture::SavePages:
        return p.diskette(1, 1, 14);
    case Picture::PrintGraph:
    case Picture::PrintNow:
        return printerOnly(p);
    case Picture::CloseGraph:
    case Picture::ClosePreview:
        return p.doorOut();
    case Picture::InsertPoint:
        return insertPoint(p);
    case Picture::AutoPlace:
        return autoPlace(p);
    case Picture::DrawGraph:
        return twoNodes(p);
    case Picture::ZoomFit:
        return zoomFit(p);
    case Picture::Zoom100:
        return zoom100(p);
    case Picture::ZoomWidth:
        return zoomWidth(p);
    case Picture::FirstPage:
        return pageArrow(p, false, true);
    case Picture::PrevPage:
        return pageArrow(p, false, false);
    case Picture::NextPage:
        return pageArrow(p, true, false);
    case Picture::LastPage:
        return pageArrow(p, true, true);
    case Picture::PrintSetup:
        return printSetup(p);
    case Picture::LoadPages:
        return openFolder(p);
    case Picture::ExportPdf:
        return pdfSheet(p);
    }
}

// The window icon in its 32-unit grid. Lines are two units wide so the 16-pixel title-bar
// rendering still has whole one-pixel lines.
void drawWindowIcon(QPainter& painter)
{
    const QPointF nodes[] = {{6, 23}, {16, 7}, {26, 23}};
    const qreal radius = 4.0;
    const qreal reach = radius + 1.0; // to the outer edge of the node's outline
    struct Link
    {
        int from;
        int to;
        bool critical;
    };
    const Link links[] = {{0, 2, false}, {0, 1, true}, {1, 2, true}};
    for (const Link& link : links) {
        const QPointF a = nodes[link.from];
        const QPointF b = nodes[link.to];
        const QPointF unit = (b - a) / QLineF(a, b).length();
        const QPointF normal(-unit.y(), unit.x());
        const QPointF tip = b - unit * reach;
        const QPointF base = tip - unit * 5.0;
        const QColor colour = QColor::fromRgba(link.critical ? Palette::red : Palette::darkBlue);
        // The critical path is drawn bolder so it still reads at 16 pixels.
        const qreal width = link.critical ? 3.0 : 2.0;
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(a + unit * reach, base + unit * 0.5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        const qreal half = width + 1.5;
        painter.drawPolygon(QPolygonF({tip, base + normal * half, base - normal * half}));
    }
    painter.setPen(QPen(QColor::fromRgba(Palette::outline), 2.0));
    painter.setBrush(QColor::fromRgba(Palette::yellow));
    for (const QPointF& node : nodes)
        painter.drawEllipse(node, radius, radius);
}

const QList<int> pictureSizes = {16, 24, 32, 48};
const QList<int> windowIconSizes = {16, 24, 32, 48, 64, 128, 256};

VectorIconEngine windowIconEngine()
{
    return VectorIconEngine(drawWindowIcon, 32, windowIconSizes, QStringLiteral("window"));
}

} // namespace

QIcon pictureIcon(Picture picture)
{
    return QIcon(
        new VectorIconEngine([picture](QPainter& painter) { drawPicture(painter, picture); }, 16,
                             pictureSizes, QStringLiteral("picture%1").arg(int(picture))));
}

QIcon windowIcon()
{
    return QIcon(windowIconEngine().clone());
}

QPixmap windowIconPixmap(int size)
{
    return QPixmap::fromImage(windowIconEngine().render(size, QIcon::Normal));
}
