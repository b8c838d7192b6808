#include "TfmReport.h"

#include "ReportPageHeader.h"
#include "ScheduleTable.h"

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

// Where each column's field of the schedule table prints, in column order.
struct Field
{
    qreal x;
    qreal width;
    Qt::Alignment alignment;
};

constexpr Field kFields[kWorkColumnCount] = {
    {2.38, 12.70, Qt::AlignRight},   {16.67, 28.05, Qt::AlignLeft},
    {46.57, 25.66, Qt::AlignLeft},   {74.08, 19.58, Qt::AlignRight},
    {95.51, 11.91, Qt::AlignRight},  {108.21, 11.38, Qt::AlignRight},
    {120.91, 11.91, Qt::AlignRight}, {133.88, 11.38, Qt::AlignRight},
    {146.31, 11.38, Qt::AlignRight}, {159.01, 10.85, Qt::AlignRight},
    {170.92, 16.40, Qt::AlignRight},
};

// The rules between the columns. The one after the end events reaches a little lower.
struct Rule
{
    qreal x;
    qreal height;
};

constexpr qreal kRuleHeight = 6.35;
constexpr Rule kColumnRules[] = {
    {14.82, kRuleHeight},  {44.45, kRuleHeight},  {71.97, 6.61},         {93.13, kRuleHeight},
    {106.89, kRuleHeight}, {119.06, kRuleHeight}, {132.03, kRuleHeight}, {144.46, kRuleHeight},
    {157.16, kRuleHeight}, {169.33, kRuleHeight},
};

} // namespace

ReportLayout tableReportLayout()
{
    ReportLayout layout = layoutWithPageHeader(PageHeaderCaption::PageNumber);

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
    for (const Rule& rule : kColumnRules)
        detail.add(
            ReportElement::shapeBox({rule.x, 0.00, 2.12, rule.height}, ShapeKind::VerticalLine));
    for (int column = 0; column < kWorkColumnCount; ++column) {
        const Field& field = kFields[column];
        ReportElement& element = detail.add(ReportElement::dataField(
            {field.x, 1.06, field.width, 4.50},
            scheduletable::fieldName(WorkColumn(column)).toUpper(), field.alignment));
        if (WorkColumn(column) == WorkColumn::BeginDate) {
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
