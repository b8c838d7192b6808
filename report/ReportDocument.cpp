#include "ReportDocument.h"

#include "DrawingUnits.h"

#include "DateFormat.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace report {

namespace {

// The font sized so that its point size holds on paper when one millimetre is `dotsPerMm`
// device units, whatever resolution the device itself reports.
QFont fontForDevice(const QFont& font, const QPaintDevice& device, qreal dotsPerMm)
{
    QFont sized(font);
    const qreal points =
        font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / kScreenPixelsPerInch;
    sized.setPointSizeF(points * dotsPerMm * kMillimetresPerInch / device.logicalDpiY());
    return sized;
}

bool isText(const ReportElement& element)
{
    return element.kind == ElementKind::Label || element.kind == ElementKind::DataField ||
           element.kind == ElementKind::SystemData;
}

QRectF autoSizedBox(const ReportElement& element, const ReportLayout& layout, qreal bandHeight)
{
    const QSizeF natural = QSizeF(element.image.size()) * kMillimetresPerPicturePixel;
    if (natural.isEmpty())
        return QRectF(element.box.topLeft(), QSizeF(0, 0));
    const qreal roomX = layout.bandWidth() - element.box.x();
    const qreal roomY = bandHeight - element.box.y();
    const qreal shrink = std::min({1.0, roomX / natural.width(), roomY / natural.height()});
    return QRectF(element.box.topLeft(), natural * std::max(shrink, 0.0));
}

// Device geometry of one page paint: millimetres to device units.
struct Mapping
{
    qreal scale;
    QPointF origin;

    QRectF rect(const QRectF& mm) const
    {
        return QRectF(origin + mm.topLeft() * scale, mm.size() * scale);
    }
    QPointF point(qreal x, qreal y) const { return origin + QPointF(x, y) * scale; }
};

void paintShape(QPainter& painter, const Mapping& map, const ReportElement& e, const QRectF& box)
{
    QPen pen(e.colour, e.penWidth * map.scale, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    switch (e.shape) {
    case ShapeKind::Rectangle:
        painter.drawRect(map.rect(box));
        break;
    case ShapeKind::HorizontalLine: {
        const qreal y = box.center().y();
        painter.drawLine(map.point(box.left(), y), map.point(box.right(), y));
        break;
    }
    case ShapeKind::VerticalLine: {
        const qreal x = box.center().x();
        painter.drawLine(map.point(x, box.top()), map.point(x, box.bottom()));
        break;
    }
    case ShapeKind::LeftAndRightLines:
        painter.drawLine(map.point(box.left(), box.top()), map.point(box.left(), box.bottom()));
        painter.drawLine(map.point(box.right(), box.top()), map.point(box.right(), box.bottom()));
        break;
    }
}

void paintImage(QPainter& painter, const Mapping& map, const ReportElement& e, const QRectF& box)
{
    if (e.image.isNull())
        return;
    const QRectF target = map.rect(box);
    if (e.imageFit != ImageFit::Centre) {
        painter.drawImage(target, e.image);
        return;
    }
    const QSizeF natural = QSizeF(e.image.size()) * kMillimetresPerPicturePixel * map.scale;
    QRectF picture(QPointF(0, 0), natural);
    picture.moveCenter(target.center());
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.drawImage(picture, e.image);
    painter.restore();
}

} // namespace

QString systemText(SystemField field, const MadePage& page)
{
    switch (field) {
    case SystemField::PageNumber:
        return QString::number(page.number);
    case SystemField::PrintDateTime: {
        // Whole seconds: the long time format shows no fraction.
        const QTime time = page.madeAt.time();
        const int seconds = time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
        return DateFormat::system().formatDateTime(DateFormat::daysOf(page.madeAt.date()) +
                                                   seconds / 86'400.0);
    }
    }
    return QString();
}

ReportDocument::ReportDocument(std::shared_ptr<const ReportLayout> layout)
    : m_layout(std::move(layout))
{
}

void ReportDocument::appendPages(QList<MadePage> pages)
{
    if (m_pages.isEmpty())
        m_pages = std::move(pages);
    else
        m_pages.append(std::move(pages));
}

QList<PlacedElement> ReportDocument::pageElements(int index, const QPaintDevice& device,
                                                  qreal dotsPerMm) const
{
    const ReportLayout& layout = *m_layout;
    const MadePage& page = m_pages.at(index);
    QList<PlacedElement> placed;
    for (const PlacedBand& band : page.bands) {
        const ReportBand& b = layout.bands.at(band.band);
        const QPointF bandOrigin(layout.margins.left(), band.top);
        int field = 0;
        for (const ReportElement& e : b.elements) {
            PlacedElement p;
            p.element = &e;
            p.box = e.box.translated(bandOrigin);
            switch (e.kind) {
            case ElementKind::Label:
                p.text = e.text;
                break;
            case ElementKind::DataField:
            case ElementKind::Drawing:
                p.text = band.values.value(field++);
                break;
            case ElementKind::SystemData:
                p.text = systemText(e.system, page);
                break;
            case ElementKind::Image:
                if (e.imageFit == ImageFit::AutoSize)
                    p.box = autoSizedBox(e, layout, b.height).translated(bandOrigin);
                break;
            case ElementKind::Shape:
                break;
            }
            if (isText(e)) {
                p.font = e.font.value_or(layout.font);
                if (e.fitsText) {
                    const QFont sized = fontForDevice(p.font, device, dotsPerMm);
                    const qreal width =
                        QFontMetricsF(sized, &device).horizontalAdvance(p.text) / dotsPerMm;
                    p.box.setWidth(width);
                }
            }
            placed.append(std::move(p));
        }
    }
    return placed;
}

void ReportDocument::paintPage(QPainter& painter, int index, const QRectF& target) const
{
    const QSizeF paper = m_layout->paper;
    const qreal scale = std::min(target.width() / paper.width(), target.height() / paper.height());
    const Mapping map{scale, target.center() - QPointF(paper.width(), paper.height()) * scale / 2};
    QPaintDevice& device = *painter.device();

    painter.save();
    QHash<const ReportElement*, QFont> fonts;
    for (const PlacedElement& p : pageElements(index, device, scale)) {
        const ReportElement& e = *p.element;
        switch (e.kind) {
        case ElementKind::Shape:
            paintShape(painter, map, e, p.box);
            break;
        case ElementKind::Image:
            paintImage(painter, map, e, p.box);
            break;
        case ElementKind::Drawing:
            if (e.paint) {
                const QRectF box = map.rect(p.box);
                painter.save();
                painter.setClipRect(box, Qt::IntersectClip);
                e.paint(painter, box, scale, p.text);
                painter.restore();
            }
            break;
        case ElementKind::Label:
        case ElementKind::DataField:
        case ElementKind::SystemData: {
            const QRectF box = map.rect(p.box);
            if (e.whiteBackground)
                painter.fillRect(box, Qt::white);
            auto font = fonts.constFind(&e);
            if (font == fonts.cend())
                font = fonts.insert(&e, fontForDevice(p.font, device, scale));
            painter.setFont(*font);
            painter.setPen(e.colour);
            int flags = int(e.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
            // A "fits" box is exactly as wide as its text; wrapping or clipping it could only
            // lose the last letter to rounding.
            if (e.fitsText)
                flags |= Qt::TextSingleLine | Qt::TextDontClip;
            else if (e.wordWrap)
                flags |= Qt::TextWordWrap;
            if (e.shrinkToFit && !p.text.contains(QLatin1Char(' '))) {
                const qreal natural = QFontMetricsF(*font, &device).horizontalAdvance(p.text);
                if (natural > box.width()) {
                    // Condensed by a transform, so the PDF keeps it as one run of real text.
                    painter.save();
                    painter.translate(box.left(), 0);
                    painter.scale(box.width() / natural, 1);
                    painter.drawText(QRectF(0, box.top(), natural, box.height()),
                                     flags | Qt::TextSingleLine, p.text);
                    painter.restore();
                    break;
                }
            }
            painter.drawText(box, flags, p.text);
            break;
        }
        }
    }
    painter.restore();
}

std::unique_ptr<ReportDocument> makeDocument(const ReportLayout& layout, const DataSet* data)
{
    auto document = std::make_unique<ReportDocument>(std::make_shared<const ReportLayout>(layout));
    QList<MadePage> made;
    PageMaker maker(document->layout(), data, bindFields(document->layout(), data));
    maker.run([&made](MadePage&& page) { made.append(std::move(page)); });
    document->appendPages(std::move(made));
    document->setComplete(true);
    return document;
}

} // namespace report
