#include "RiskOutput.h"

#include "AtomicFile.h"
#include "DelimitedText.h"
#include "DrawingUnits.h"
#include "NumberFormat.h"
#include "PictureFile.h"
#include "ReportPageHeader.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <memory>

namespace riskoutput {

namespace {

constexpr QChar kSeparator = u';';
constexpr QStringView kLineEnd = u"\r\n";

void appendLine(QString& text, const QStringList& fields)
{
    for (qsizetype column = 0; column < fields.size(); ++column) {
        if (column > 0)
            text += kSeparator;
        delimitedtext::appendField(text, delimitedtext::formulaGuarded(fields[column]), kSeparator);
    }
    text += kLineEnd;
}

void appendTable(QString& text, const QStringList& captions, const std::vector<QStringList>& rows)
{
    appendLine(text, captions);
    for (const QStringList& row : rows)
        appendLine(text, row);
}

PaintDrawing paintChart(const RiskSheet& sheet, const NumberFormat& numbers)
{
    return [&sheet, &numbers](QPainter& painter) {
        paintRiskChart(painter, sheet.chart, kRiskChartSize, numbers);
    };
}

// Drawing pixels of the printed page's text.
constexpr qreal kLineHeight = 16;
constexpr qreal kGap = 12;

// Paints a table as columns of text from `top`, as many rows as reach `bottom`.
void paintTable(QPainter& painter, QPointF topLeft, qreal bottom, const QList<qreal>& widths,
                const QStringList& captions, const std::vector<QStringList>& rows)
{
    const auto paintRow = [&](const QStringList& fields, qreal y) {
        qreal x = topLeft.x();
        for (qsizetype column = 0; column < fields.size() && column < widths.size(); ++column) {
            painter.drawText(QRectF(x, y, widths[column] - 6, kLineHeight),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, fields[column]);
            x += widths[column];
        }
    };
    QFont bold = painter.font();
    bold.setBold(true);
    const QFont plain = painter.font();
    painter.setFont(bold);
    paintRow(captions, topLeft.y());
    painter.setFont(plain);
    qreal y = topLeft.y() + kLineHeight;
    for (const QStringList& row : rows) {
        if (y + kLineHeight > bottom)
            break;
        paintRow(row, y);
        y += kLineHeight;
    }
}

} // namespace

QByteArray csv(const RiskSheet& sheet)
{
    QString text;
    for (const QString& line : sheet.summary)
        appendLine(text, {line});
    text += kLineEnd;
    appendTable(text, sheet.percentileCaptions, sheet.percentiles);
    text += kLineEnd;
    appendTable(text, sheet.criticalityCaptions, sheet.criticality);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void writeCsv(const QString& path, const RiskSheet& sheet)
{
    AtomicFile file(path);
    file.open();
    file.write(csv(sheet));
    file.commit();
}

void writeSvg(const QString& path, const RiskSheet& sheet, const NumberFormat& numbers)
{
    ::writeSvg(path, kRiskChartSize, QStringLiteral("Распределение срока проекта"),
               paintChart(sheet, numbers));
}

void writePng(const QString& path, const RiskSheet& sheet, const NumberFormat& numbers)
{
    // The chart has a fixed size well inside the PNG limits.
    ::writePng(
        path, kRiskChartSize, kScreenPixelsPerInch, [](QSize) { return QString(); },
        paintChart(sheet, numbers));
}

RiskPrint::RiskPrint(RiskSheet sheet, const NumberFormat& numbers)
    : DrawingPages(layoutWithPageHeader(PageHeaderCaption::PageNumber), report::Paper::A4Landscape)
{
    struct Page
    {
        RiskSheet sheet;
        NumberFormat numbers;
    };
    const auto page = std::make_shared<const Page>(Page{std::move(sheet), numbers});
    const QSizeF room = this->room() / report::kDrawingMillimetresPerPixel;
    setPages({QString()}, [page, room](QPainter& painter, int, qreal dotsPerMm) {
        const qreal scale = dotsPerMm * report::kDrawingMillimetresPerPixel;
        painter.scale(scale, scale);
        QFont font = painter.font();
        font.setPixelSize(12);
        painter.setFont(font);
        qreal y = 0;
        for (const QString& line : page->sheet.summary) {
            painter.drawText(QRectF(0, y, room.width(), kLineHeight),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, line);
            y += kLineHeight;
        }
        y += kGap / 2;
        // The chart at its natural size, or smaller to leave the tables a third of the page.
        const qreal chartRoom = std::max<qreal>(room.height() * 2 / 3 - y, 1);
        const qreal fit = std::min(
            {1.0, room.width() / kRiskChartSize.width(), chartRoom / kRiskChartSize.height()});
        painter.save();
        painter.translate(0, y);
        painter.scale(fit, fit);
        paintRiskChart(painter, page->sheet.chart, kRiskChartSize, page->numbers);
        painter.restore();
        y += kRiskChartSize.height() * fit + kGap;
        paintTable(painter, QPointF(0, y), room.height(), {110, 80, 90},
                   page->sheet.percentileCaptions, page->sheet.percentiles);
        paintTable(painter, QPointF(320, y), room.height(), {90, 300, 140},
                   page->sheet.criticalityCaptions, page->sheet.criticality);
    });
}

} // namespace riskoutput
