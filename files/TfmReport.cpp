#include "TfmReport.h"

#include "ReportPageHeader.h"

using namespace report;

namespace {

// Millimetres, as every measure of the layout.
constexpr qreal kTitleHeight = 14.29;
constexpr qreal kDetailHeight = 6.35;
constexpr qreal kFooterHeight = 10.58;

struct Heading
{
    const char16_t* text;
    QRectF box;
};

constexpr Heading kHeadings[] = {
    {u"К-во предид. работ", {2.65, 0.79, 12.96, 12.44}},
    {u"Начало работы", {16.14, 5.03, 28.05, 5.82}},
    {u"Конец работы", {44.45, 5.03, 27.78, 5.82}},
    {u"Продолжит.", {73.82, 5.03, 19.58, 5.82}},
    {u"В.Р.Н.", {94.99, 5.03, 11.91, 5.82}},
    {u"В.Р.О.", {107.69, 5.03, 11.91, 5.82}},
    {u"В.П.Н.", {120.65, 5.03, 11.91, 5.82}},
    {u"В.П.О.", {133.09, 5.03, 11.91, 5.82}},
    {u"О.З.В.", {145.79, 5.03, 11.91, 5.82}},
    {u"Ч.З.В.", {158.49, 5.03, 11.91, 5.82}},
    {u"Дата начала", {171.45, 2.91, 16.14, 8.73}},
};

struct Field
{
    const char* name; // as dBASE stores field names
    qreal x;
    qreal width;
    Qt::Alignment alignment;
};

constexpr Field kFields[] = {
    {"PEVJOBS", 2.38, 12.70, Qt::AlignRight},     {"PFROM", 16.67, 28.05, Qt::AlignLeft},
    {"PTO", 46.57, 25.66, Qt::AlignLeft},         {"MLENGTH", 74.08, 19.58, Qt::AlignRight},
    {"FL1", 95.51, 11.91, Qt::AlignRight},        {"FL2", 108.21, 11.38, Qt::AlignRight},
    {"FL3", 120.91, 11.91, Qt::AlignRight},       {"FL4", 133.88, 11.38, Qt::AlignRight},
    {"FL5", 146.31, 11.38, Qt::AlignRight},       {"FL6", 159.01, 10.85, Qt::AlignRight},
    {"BEGINDATE", 170.92, 16.40, Qt::AlignRight},
};

constexpr qreal kColumnRules[] = {14.82,  44.45,  71.97,  93.13,  106.89,
                                  119.06, 132.03, 144.46, 157.16, 169.33};

} // namespace

ReportLayout tableReportLayout()
{
    ReportLayout layout;
    layout.font = QFont(QStringLiteral("Arial"));
    layout.font.setPointSizeF(10);

    addReportPageHeader(layout, PageHeaderCaption::PageNumber);

    ReportBand& title = layout.addBand(BandKind::Title, kTitleHeight);
    title.add(ReportElement::shapeBox({1.59, 0.00, 187.06, 13.49}, ShapeKind::Rectangle));
    title.add(ReportElement::shapeBox({1.85, 14.02, 186.80, 1.06}, ShapeKind::HorizontalLine));
    for (const Heading& heading : kHeadings)
        title.add(ReportElement::label(heading.box, QString::fromUtf16(heading.text))).alignment =
            Qt::AlignHCenter;

    ReportBand& detail = layout.addBand(BandKind::Detail, kDetailHeight);
    detail.add(ReportElement::shapeBox({1.59, 0.00, 186.80, 6.35}, ShapeKind::LeftAndRightLines));
    detail.add(ReportElement::shapeBox({1.85, 5.56, 186.80, 1.06}, ShapeKind::HorizontalLine));
    // The upper edge of the row reaches 0.79 mm above the band, over the rule of the row before.
    detail.add(ReportElement::shapeBox({1.85, -0.79, 186.80, 1.06}, ShapeKind::HorizontalLine));
    for (const qreal x : kColumnRules)
        detail.add(ReportElement::shapeBox({x, 0.00, 2.12, x == 71.97 ? 6.61 : 6.35},
                                           ShapeKind::VerticalLine));
    for (const Field& field : kFields) {
        ReportElement& element = detail.add(ReportElement::dataField(
            {field.x, 1.06, field.width, 4.50}, QLatin1String(field.name), field.alignment));
        if (QLatin1String(field.name) == QLatin1String("BEGINDATE")) {
            QFont italic = layout.font;
            italic.setItalic(true);
            element.font = italic;
            // A date with a four-digit year is a little wider than its column: narrowed, not cut.
            element.shrinkToFit = true;
        }
    }

    layout.addBand(BandKind::PageFooter, kFooterHeight);
    return layout;
}

TfmReport::TfmReport(QObject* parent) : QObject(parent), qrMain(tableReportLayout())
{
    setObjectName(QStringLiteral("fmReport"));
}
