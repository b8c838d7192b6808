#include "ReportPageHeader.h"

#include "Edition.h"
#include "Pictures.h"
#include "ReportLayout.h"

using namespace report;

namespace {

constexpr qreal kPageHeaderHeight = 54.50; // millimetres, as every measure here

QFont reportFont(const char* family, qreal points, bool bold = false, bool italic = false)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace

void addReportPageHeader(ReportLayout& layout, PageHeaderCaption caption)
{
    ReportBand& header = layout.addBand(BandKind::PageHeader, kPageHeaderHeight);
    header.add(ReportElement::picture({42.33, 5.29, 8.47, 8.47}, windowIconPixmap(32).toImage(),
                                      ImageFit::Stretch));
    header.add(
        ReportElement::label({52.12, 6.35, 0, 6.35}, QStringLiteral("Расчёт сетевых графиков"))
            .fits()
            .withFont(reportFont("Courier New", 16, true, true)));
    header.add(ReportElement::label({79.64, 14.02, 0, 6.35}, QStringLiteral("Kestrin"))
                   .fits()
                   .withFont(reportFont("Arial Black", 12, true)));
    // The colour of inactive window captions: grey.
    header.add(ReportElement::label({100.54, 14.82, 0, 5.03}, QStringLiteral("v ") + edition())
                   .fits()
                   .withFont(reportFont("Arial", 12, true, true))
                   .withColour(QColor(0x80, 0x80, 0x80)));
    header.add(ReportElement::shapeBox({97.37, 26.72, 91.28, 0.26}, ShapeKind::Rectangle));
    header.add(
        ReportElement::label({99.48, 27.52, 0, 4.50}, QStringLiteral("Метод критического пути"))
            .fits());
    header.add(
        ReportElement::label({99.48, 31.75, 0, 4.50}, QStringLiteral("Сетевое планирование работ"))
            .fits());
    header.add(ReportElement::shapeBox({97.37, 37.31, 91.28, 0.26}, ShapeKind::Rectangle));
    header.add(
        ReportElement::label({99.48, 38.10, 0, 4.50}, QStringLiteral("Дата печати :")).fits());
    header.add(ReportElement::systemData({160.87, 38.10, 0, 4.50}, SystemField::PrintDateTime)
                   .fits()
                   .withName(QStringLiteral("printDate")));
    if (caption == PageHeaderCaption::PageNumber) {
        header.add(
            ReportElement::label({99.48, 42.33, 0, 4.50}, QStringLiteral("Страница :")).fits());
        header.add(ReportElement::systemData({160.87, 42.33, 27.78, 4.50}, SystemField::PageNumber,
                                             Qt::AlignRight)
                       .withName(QStringLiteral("pageNumber")));
    } else {
        header.add(
            ReportElement::label({99.48, 42.33, 0, 4.50}, QStringLiteral("Сетевой график")).fits());
    }
}

ReportLayout layoutWithPageHeader(PageHeaderCaption caption)
{
    ReportLayout layout;
    layout.font = QFont(QStringLiteral("Arial"));
    layout.font.setPointSizeF(10);
    addReportPageHeader(layout, caption);
    return layout;
}
