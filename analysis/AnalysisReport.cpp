#include "AnalysisReport.h"

#include "AnalysisDataSet.h"
#include "NetworkAnalysis.h"
#include "ReportPageHeader.h"

using namespace report;

namespace {

// Millimetres, as every measure of the layout.
constexpr qreal kTitleHeight = 14;
constexpr qreal kLineHeight = 4.6;
constexpr qreal kTextHeight = 4.2;
constexpr qreal kCellPadding = 1.2;
constexpr qreal kPointSize = 9;

QFont font(qreal points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A field that prints its text on one line, clipped to its box, over whatever is beneath it.
ReportElement field(const QRectF& box, const QString& name, Qt::Alignment alignment)
{
    ReportElement element = ReportElement::dataField(box, name, alignment);
    element.wordWrap = false;
    element.whiteBackground = false;
    return element;
}

} // namespace

ReportLayout analysisReportLayout(const NetworkAnalysis& analysis)
{
    ReportLayout layout;
    layout.font = font(kPointSize, false);
    addReportPageHeader(layout, PageHeaderCaption::PageNumber);

    ReportBand& title = layout.addBand(BandKind::Title, kTitleHeight);
    title.add(ReportElement::label({0, 1, 0, 6}, QStringLiteral("Анализ сетевого графика"))
                  .fits()
                  .withFont(font(12, true)));
    title.add(
        field({0, 7.5, layout.bandWidth(), 5}, AnalysisDataSet::summaryField(), Qt::AlignLeft));

    ReportBand& line = layout.addBand(BandKind::Detail, kLineHeight);
    line.add(field({0, 0.2, layout.bandWidth(), kTextHeight}, AnalysisDataSet::headingField(),
                   Qt::AlignLeft))
        .withFont(font(10, true));
    const std::vector<AnalysisPage>& pages = analysis.pages();
    for (int page = 0; page < int(pages.size()); ++page) {
        qreal x = 0;
        for (int column = 0; column < pages[std::size_t(page)].columnCount(); ++column) {
            const AnalysisColumn& look = pages[std::size_t(page)].columns()[column];
            if (look.printWidth <= 0)
                continue;
            const QRectF box(x + kCellPadding, 0.2, look.printWidth - 2 * kCellPadding,
                             kTextHeight);
            const Qt::Alignment alignment = look.numeric ? Qt::AlignRight : Qt::AlignLeft;
            line.add(field(box, AnalysisDataSet::textField(page, column), alignment));
            line.add(field(box, AnalysisDataSet::captionField(page, column), alignment))
                .withFont(font(kPointSize, true));
            x += look.printWidth;
        }
    }
    return layout;
}
