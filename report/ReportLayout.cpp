#include "ReportLayout.h"

namespace report {

ReportElement ReportElement::label(const QRectF& box, const QString& text)
{
    ReportElement e;
    e.kind = ElementKind::Label;
    e.box = box;
    e.text = text;
    return e;
}

ReportElement ReportElement::dataField(const QRectF& box, const QString& field,
                                       Qt::Alignment alignment)
{
    ReportElement e;
    e.kind = ElementKind::DataField;
    e.box = box;
    e.text = field;
    e.alignment = alignment;
    return e;
}

ReportElement ReportElement::systemData(const QRectF& box, SystemField field,
                                        Qt::Alignment alignment)
{
    ReportElement e;
    e.kind = ElementKind::SystemData;
    e.box = box;
    e.system = field;
    e.alignment = alignment;
    return e;
}

ReportElement ReportElement::shapeBox(const QRectF& box, ShapeKind shape)
{
    ReportElement e;
    e.kind = ElementKind::Shape;
    e.box = box;
    e.shape = shape;
    e.whiteBackground = false;
    return e;
}

ReportElement ReportElement::picture(const QRectF& box, const QImage& image, ImageFit fit)
{
    ReportElement e;
    e.kind = ElementKind::Image;
    e.box = box;
    e.image = image;
    e.imageFit = fit;
    e.whiteBackground = false;
    return e;
}

ReportElement ReportElement::drawing(const QRectF& box, const QString& field, DrawingPaint paint)
{
    ReportElement e;
    e.kind = ElementKind::Drawing;
    e.box = box;
    e.text = field;
    e.paint = std::move(paint);
    e.whiteBackground = false;
    return e;
}

ReportBand& ReportLayout::addBand(BandKind kind, qreal height)
{
    ReportBand band;
    band.kind = kind;
    band.height = height;
    bands.push_back(band);
    return bands.back();
}

ReportElement* ReportLayout::findElement(const QString& name)
{
    for (ReportBand& band : bands)
        for (ReportElement& element : band.elements)
            if (element.name == name)
                return &element;
    return nullptr;
}

bool ReportLayout::hasDrawings() const
{
    for (const ReportBand& band : bands)
        for (const ReportElement& element : band.elements)
            if (element.kind == ElementKind::Drawing)
                return true;
    return false;
}

} // namespace report
