#pragma once

#include "DrawingUnits.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <deque>
#include <functional>
#include <optional>

class QPainter;

// A band report layout. All lengths are millimetres; an element's box is given from the top left
// corner of its band, x to the right and y downwards, and may reach outside the band (a rule
// drawn just above a detail row, say).
namespace report {

enum class BandKind {
    PageHeader, // at the top of every page (of the first one too when the options say so)
    Title,      // once, at the start of the report
    Detail,     // once per record
    Summary,    // once, after the last record
    PageFooter, // at the foot of every page (of the last one too when the options say so)
};

enum class ElementKind { Label, DataField, Shape, Image, SystemData, Drawing };

enum class ShapeKind {
    Rectangle,         // the outline of the box
    HorizontalLine,    // across the box through its vertical middle
    VerticalLine,      // down the box through its horizontal middle
    LeftAndRightLines, // the two vertical sides of the box
};

// Texts that only exist when a page is made; they are filled in when the page is painted.
enum class SystemField {
    PrintDateTime, // when the page was made: short date, a blank, long time (no time at midnight)
    PageNumber,    // decimal, counted from 1
};

enum class ImageFit {
    // Scaled to fill the box.
    Stretch,
    // At its own size, one picture pixel per screen pixel (kMillimetresPerPicturePixel), centred in
    // the box and
    // clipped to it.
    Centre,
    // The box takes the picture's own size at the element's top left corner; a picture that would
    // reach beyond the band's right or bottom edge is scaled down, keeping its proportions, to end
    // there. Never stretched.
    AutoSize,
};

// Paints a drawing element: `box` is the element's box in the painter's device units (the
// painter is clipped to it), `dotsPerMm` the device units to the millimetre, and `value` the text
// of the element's data field in the band as printed. Called on the thread that paints the page;
// the painter's state is restored afterwards.
using DrawingPaint = std::function<void(QPainter& painter, const QRectF& box, qreal dotsPerMm,
                                        const QString& value)>;

// One picture pixel on paper, in millimetres: a pixel of a 96-per-inch screen.
inline constexpr qreal kMillimetresPerPicturePixel = kMillimetresPerInch / kScreenPixelsPerInch;

struct ReportElement
{
    ElementKind kind = ElementKind::Label;
    // Optional; lets the owner find the element again (to load a picture into it, say).
    QString name;
    QRectF box;
    // Labels and system data: the width is that of the text, left-aligned at box.x(); the given
    // width is ignored.
    bool fitsText = false;
    // The label's text, or the data field's field name.
    QString text;
    SystemField system = SystemField::PageNumber;
    // The layout's font when empty.
    std::optional<QFont> font;
    QColor colour = Qt::black;
    // Horizontal alignment within the box; text always starts at the top of the box.
    Qt::Alignment alignment = Qt::AlignLeft;
    bool wordWrap = true;
    // A text without a blank that is wider than its box is condensed to fit instead of being
    // cut off at the box's edge (a date in a narrow column, say).
    bool shrinkToFit = false;
    bool whiteBackground = true;
    ShapeKind shape = ShapeKind::Rectangle;
    qreal penWidth = 0.2;
    QImage image;
    ImageFit imageFit = ImageFit::Stretch;
    // Drawing elements: what paints the box. Their `text` names a data field as a data field's
    // does, and its text tells the painter what to paint.
    DrawingPaint paint;

    static ReportElement label(const QRectF& box, const QString& text);
    static ReportElement dataField(const QRectF& box, const QString& field,
                                   Qt::Alignment alignment = Qt::AlignLeft);
    static ReportElement systemData(const QRectF& box, SystemField field,
                                    Qt::Alignment alignment = Qt::AlignLeft);
    static ReportElement shapeBox(const QRectF& box, ShapeKind shape);
    static ReportElement picture(const QRectF& box, const QImage& image, ImageFit fit);
    static ReportElement drawing(const QRectF& box, const QString& field, DrawingPaint paint);

    ReportElement& fits()
    {
        fitsText = true;
        return *this;
    }
    ReportElement& withFont(const QFont& f)
    {
        font = f;
        return *this;
    }
    ReportElement& withColour(const QColor& c)
    {
        colour = c;
        return *this;
    }
    ReportElement& withName(const QString& n)
    {
        name = n;
        return *this;
    }
};

// Data fields and drawings print a text of the data set.
inline bool readsField(const ReportElement& element)
{
    return element.kind == ElementKind::DataField || element.kind == ElementKind::Drawing;
}

struct ReportBand
{
    BandKind kind = BandKind::Detail;
    qreal height = 0;
    bool enabled = true;
    // Painted in this order, later ones over earlier ones. A deque: the reference add() gives
    // stays good while more elements are added.
    std::deque<ReportElement> elements;

    ReportElement& add(const ReportElement& element)
    {
        elements.push_back(element);
        return elements.back();
    }
};

struct ReportOptions
{
    bool firstPageHeader = true; // the page header stands on page 1 too
    bool lastPageFooter = true;  // the page footer stands on the last page too
    bool printIfEmpty = true;    // a closed or empty data set still gives a report
};

struct ReportLayout
{
    QSizeF paper{210.0, 297.0};
    QMarginsF margins{10.0, 10.0, 10.0, 10.0};
    // Every element without a font of its own uses this one.
    QFont font;
    ReportOptions options;
    // Bands of one kind are printed in this order. A deque: the reference addBand() gives stays
    // good while more bands are added.
    std::deque<ReportBand> bands;

    ReportBand& addBand(BandKind kind, qreal height);
    // Bands span the space between the left and right margins.
    qreal bandWidth() const { return paper.width() - margins.left() - margins.right(); }
    ReportElement* findElement(const QString& name);
    // Drawings are code, not data: pages with one cannot go into a page file.
    bool hasDrawings() const;
};

} // namespace report
