#include "FileTestSupport.h"
#include "GanttChart.h"
#include "GanttExport.h"
#include "GanttGeometry.h"
#include "GanttPainter.h"
#include "GanttPrint.h"
#include "GanttTestSupport.h"
#include "PageOutput.h"
#include "PopplerTestSupport.h"
#include "ReportDocument.h"
#include "ReportFonts.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

using namespace gantttest;

namespace {

// A chart of `works` parallel works "Sk → Fk" (k from 1) with early starts spread over 40 days,
// all finishing by day 50, filled in as a recalculation would leave them.
void fillParallelWorks(WorkTable& table, int works)
{
    const WorkTable::Batch batch(table);
    table.setRowCount(works);
    const long double lateFinish = 50;
    for (int row = 0; row < works; ++row) {
        const long double duration = 1 + row % 7;
        const long double earlyStart = (row * 3) % 40;
        const long double totalFloat = lateFinish - duration - earlyStart;
        const auto number = [&](WorkColumn column, long double value) {
            table.setCell(column, row, numbers().format(value));
        };
        table.setCell(WorkColumn::StartEvent, row, QStringLiteral("S%1").arg(row + 1));
        table.setCell(WorkColumn::EndEvent, row, QStringLiteral("F%1").arg(row + 1));
        number(WorkColumn::Duration, duration);
        number(WorkColumn::PrecedingWorks, 0);
        number(WorkColumn::EarlyStart, earlyStart);
        number(WorkColumn::EarlyFinish, earlyStart + duration);
        number(WorkColumn::LateStart, lateFinish - duration);
        number(WorkColumn::LateFinish, lateFinish);
        number(WorkColumn::TotalFloat, totalFloat);
        number(WorkColumn::FreeFloat, std::min(totalFloat, 2.0L));
        table.setCell(WorkColumn::BeginDate, row,
                      dates().formatDate(startDate() + double(earlyStart)));
    }
}

QDate dayOf(const QString& text)
{
    return QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
}

} // namespace

class TestGanttOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        report::installReportFontSubstitutes();
        QVERIFY(m_dir.isValid());
    }

    void printedThousandWorksPageByPage();
    void filesHoldTheWholeChart_data();
    void filesHoldTheWholeChart();
    void tooLargePictureIsRefusedBeforeWriting();

private:
    QTemporaryDir m_dir;
};

// The printed chart of 1,000 works, read back from the PDF with pdftotext: every page has the
// shared page header with its own number, the axis and work column headings and a caption naming
// its rows and dates; the pages of one stretch of time list every work exactly once, on the rows
// their captions name; and the stretches of time follow each other day after day.
void TestGanttOutput::printedThousandWorksPageByPage()
{
    constexpr int kWorks = 1000;
    WorkTable table;
    fillParallelWorks(table, kWorks);
    const GanttChart chart(table, numbers(), startDate());
    QVERIFY(chart.isReady());
    const GanttPrint print(chart, GanttScale::Days, GanttPaper::A4Portrait, dates());
    const int slices = print.timeSlices();
    QVERIFY2(slices >= 2 && print.rowBlocks() >= 2, "the chart should span pages both ways");

    const QString pdf = m_dir.filePath(QStringLiteral("thousand.pdf"));
    QVERIFY(report::exportPdf(*print.makeDocument(), pdf));
    POPPLER(info, "pdfinfo", pdf);
    QVERIFY2(
        info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(print.pageCount()))),
        qPrintable(info));
    QVERIFY2(info.contains(QLatin1String("(A4)")), qPrintable(info));

    POPPLER(text, "pdftotext", QStringLiteral("-layout"), pdf, QStringLiteral("-"));
    QStringList pages = text.split(QLatin1Char('\f'));
    if (pages.constLast().trimmed().isEmpty())
        pages.removeLast();
    QCOMPARE(pages.size(), print.pageCount());

    const QRegularExpression caption(QStringLiteral(
        "Диаграмма Ганта: строки (\\d+)–(\\d+) из 1000; с (\\d\\d\\.\\d\\d\\.\\d{4}) по "
        "(\\d\\d\\.\\d\\d\\.\\d{4})"));
    const QRegularExpression pageNumber(QStringLiteral("Страница :\\s+(\\d+)"));
    const QRegularExpression workRow(QStringLiteral("(?m)^\\s*(\\d+)\\s+S(\\d+) → F(\\d+)\\s"));
    // For each stretch of time: how often each row was seen, and its first and last day.
    QList<QList<int>> seen(slices, QList<int>(kWorks + 1, 0));
    QList<QDate> firstDay(slices);
    QList<QDate> lastDay(slices);
    for (int page = 0; page < pages.size(); ++page) {
        const QString& content = pages[page];
        const QString where = QStringLiteral("page %1:\n").arg(page + 1) + content.left(1500);
        for (const char* heading :
             {"Расчёт сетевых графиков", "Дата печати :", "Работа", "Продолжит."})
            QVERIFY2(content.contains(QString::fromUtf8(heading)), qPrintable(where));
        QCOMPARE(pageNumber.match(content).captured(1).toInt(), page + 1);
        const QRegularExpressionMatch named = caption.match(content);
        QVERIFY2(named.hasMatch(), qPrintable(where));
        const int slice = page % slices;
        // L stands in the last stretch of time only.
        QCOMPARE(content.contains(QStringLiteral("L = 50")), slice == slices - 1);
        firstDay[slice] = dayOf(named.captured(3));
        lastDay[slice] = dayOf(named.captured(4));

        QList<int> rows;
        for (const QRegularExpressionMatch& line : workRow.globalMatch(content)) {
            const int row = line.captured(1).toInt();
            QVERIFY2(line.captured(2).toInt() == row && line.captured(3).toInt() == row,
                     qPrintable(line.captured(0)));
            rows.append(row);
            ++seen[slice][row];
        }
        QList<int> namedRows;
        for (int row = named.captured(1).toInt(); row <= named.captured(2).toInt(); ++row)
            namedRows.append(row);
        QCOMPARE(rows, namedRows);
    }
    for (int slice = 0; slice < slices; ++slice) {
        for (int row = 1; row <= kWorks; ++row)
            QVERIFY2(seen[slice][row] == 1,
                     qPrintable(QStringLiteral("row %1 seen %2 times in stretch %3")
                                    .arg(row)
                                    .arg(seen[slice][row])
                                    .arg(slice + 1)));
        if (slice > 0)
            QCOMPARE(firstDay[slice], lastDay[slice - 1].addDays(1));
    }
    QCOMPARE(firstDay[0], QDate(2027, 3, 1));
    // The last stretch reaches past L, day 50 after the start.
    QVERIFY(lastDay[slices - 1] >= QDate(2027, 3, 1).addDays(50));
}

void TestGanttOutput::filesHoldTheWholeChart_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "house.png";
    QTest::newRow("svg") << "house.svg";
    QTest::newRow("pdf, landscape A4") << "house.pdf";
}

// Each file replaces an older one and holds the whole chart of the guide's example: the PNG is one
// pixel per chart pixel with the critical bars red, the SVG is a drawing of the same size with
// the works as text, the PDF is the printed page on landscape A4 with its text.
void TestGanttOutput::filesHoldTheWholeChart()
{
    QFETCH(QString, name);
    WorkTable table;
    loadHouse(table);
    const GanttChart chart(table, numbers(), startDate());
    const GanttGeometry geometry(chart, GanttScale::Days);
    const GanttFrame whole = GanttFrame::whole(geometry);
    const QString path = m_dir.filePath(name);
    testsupport::writeAll(path, "an older file");

    const QString suffix = QFileInfo(path).suffix();
    if (suffix == u"png") {
        ganttexport::writePng(geometry, path);
        const QImage image(path);
        QCOMPARE(image.size(), whole.size.toSize());
        for (int position = 0; position < chart.workCount(); ++position) {
            const QPointF centre = geometry.barRect(position).center() +
                                   QPointF(gantt::kWorkColumnWidth, gantt::kAxisHeight);
            const QRgb expected =
                chart.work(position).isCritical() ? gantt::kCriticalColour : gantt::kWorkColour;
            QCOMPARE(image.pixel(centre.toPoint()) & 0xffffff, expected & 0xffffff);
        }
    } else if (suffix == u"svg") {
        ganttexport::writeSvg(geometry, path);
        const QSvgRenderer renderer(path);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBoxF(), QRectF(QPointF(0, 0), whole.size));
        const QString svg = QString::fromUtf8(testsupport::readAll(path));
        for (const char* text : {"1 → 2", "9 → 10", "2,5", "L = 21", "март 2027"})
            QVERIFY2(svg.contains(QString::fromUtf8(text)), text);
    } else {
        const GanttPrint print(chart, GanttScale::Days, GanttPaper::A4Landscape, dates());
        QCOMPARE(print.pageCount(), 1);
        QVERIFY(report::exportPdf(*print.makeDocument(), path));
        POPPLER(info, "pdfinfo", path);
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))),
                 qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(
                     QStringLiteral("Page size:\\s+84[12][.\\d]* x 595[.\\d]* pts"))),
                 qPrintable(info));
        POPPLER(text, "pdftotext", QStringLiteral("-layout"), path, QStringLiteral("-"));
        // pdftotext may close up the blanks around the arrow of a short label.
        for (const char* expected :
             {"Страница :", "строки 1–12 из 12", "3\\s*→\\s*5\\s+2,5", "L = 21"})
            QVERIFY2(text.contains(QRegularExpression(QString::fromUtf8(expected))),
                     qPrintable(text));
    }
}

// A PNG of 2,000 rows would be taller than a picture may be: it is refused in words that point
// to the formats that can hold it, and the file that was there stays as it was.
void TestGanttOutput::tooLargePictureIsRefusedBeforeWriting()
{
    WorkTable table;
    fillParallelWorks(table, 2000);
    const GanttChart chart(table, numbers(), startDate());
    const GanttGeometry geometry(chart, GanttScale::Days);
    const QString path = m_dir.filePath(QStringLiteral("large.png"));
    testsupport::writeAll(path, "keep me");
    const QString message = testsupport::messageOf([&] { ganttexport::writePng(geometry, path); });
    QVERIFY2(message.startsWith(QStringLiteral("Диаграмма слишком велика для рисунка PNG")),
             qPrintable(message));
    QVERIFY(message.endsWith(QStringLiteral("сохраните её в PDF или SVG")));
    QCOMPARE(testsupport::readAll(path), QByteArray("keep me"));
}

QTEST_MAIN(TestGanttOutput)
#include "tst_ganttoutput.moc"
