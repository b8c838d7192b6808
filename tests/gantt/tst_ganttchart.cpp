#include "GanttChart.h"
#include "GanttGeometry.h"
#include "GanttPainter.h"
#include "GanttTestSupport.h"
#include "ReportFonts.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTest>

using namespace gantttest;

namespace {

constexpr double kTolerance = 1e-6; // chart pixels

// The critical path of the guide's example, found by hand in the guide.
const QSet<QString> kCriticalWorks = {
    QStringLiteral("1 → 2"), QStringLiteral("2 → 4"), QStringLiteral("4 → 6"),
    QStringLiteral("6 → 7"), QStringLiteral("7 → 9"), QStringLiteral("9 → 10"),
};

// The whole chart as the one paint routine draws it.
QImage picture(const GanttGeometry& geometry)
{
    const GanttFrame frame = GanttFrame::whole(geometry);
    QImage image(frame.size.toSize() + QSize(1, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintGantt(painter, geometry, frame);
    return image;
}

// The colour the picture has at a chart point.
QRgb colourAt(const QImage& image, const QPointF& chartPoint)
{
    const QPointF at = chartPoint + QPointF(gantt::kWorkColumnWidth, gantt::kAxisHeight);
    return image.pixel(at.toPoint()) & 0xffffff;
}

} // namespace

class TestGanttChart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { report::installReportFontSubstitutes(); }

    void barsStandWhereTheTableSays_data();
    void barsStandWhereTheTableSays();
    void uncalculatedTableShowsNothing_data();
    void uncalculatedTableShowsNothing();
    void barUnderPointerNamesItsRow();
};

void TestGanttChart::barsStandWhereTheTableSays_data()
{
    QTest::addColumn<GanttScale>("scale");
    QTest::addColumn<GanttOrder>("order");
    QTest::addColumn<QString>("firstMonth"); // the upper axis line's first cell
    QTest::addColumn<QString>("firstUnit");  // the lower line's first cell
    // A bar of one day in months is a pixel and a half wide: too thin to tell its fill.
    QTest::addColumn<bool>("probeColours");
    QTest::newRow("days, table order") << GanttScale::Days << GanttOrder::Table << "март 2027"
                                       << "1" << true;
    QTest::newRow("days, by early start")
        << GanttScale::Days << GanttOrder::EarlyStart << "март 2027"
        << "1" << true;
    // 1 March 2027 is a Monday, so the first week begins on the start date.
    QTest::newRow("weeks, by early start")
        << GanttScale::Weeks << GanttOrder::EarlyStart << "март 2027"
        << "1" << true;
    QTest::newRow("months, table order") << GanttScale::Months << GanttOrder::Table << "2027"
                                         << "мар" << false;
}

// Every bar, float line and colour of the guide's example against the table's own figures:
// start and length from the early start and the duration (an input the chart does not draw
// from), the free float from its column, the dashed line ending where early finish plus total
// float put it, red exactly for total float 0, and the line at L = 21.
void TestGanttChart::barsStandWhereTheTableSays()
{
    QFETCH(GanttScale, scale);
    QFETCH(GanttOrder, order);
    QFETCH(QString, firstMonth);
    QFETCH(QString, firstUnit);
    QFETCH(bool, probeColours);

    WorkTable table;
    loadHouse(table);
    GanttChart chart(table, numbers(), startDate());
    QVERIFY(chart.isReady());
    chart.setOrder(order);
    const GanttGeometry geometry(chart, scale);
    const QImage image = picture(geometry);
    QCOMPARE(chart.workCount(), 12);

    const qreal perDay = geometry.pixelsPerDay();
    const qreal origin = geometry.xOf(0);
    // The axis starts with the unit that holds the start date: here exactly at it.
    QCOMPARE(origin, 0.0);
    QCOMPARE(geometry.upperCells(0, 1).value(0).label, firstMonth);
    QCOMPARE(geometry.lowerCells(0, 1).value(0).label, firstUnit);
    QVERIFY(qAbs(geometry.criticalLineX() - origin - 21 * perDay) < kTolerance);

    QSet<QString> red;
    QList<int> rowsShown;
    double previousStart = -1;
    for (int position = 0; position < chart.workCount(); ++position) {
        const int row = chart.work(position).row;
        rowsShown.append(row);
        const auto cell = [&](WorkColumn column) {
            return cellNumber(table, column, row);
        };
        const double earlyStart = cell(WorkColumn::EarlyStart);
        const double duration = cell(WorkColumn::Duration);
        const double totalFloat = cell(WorkColumn::TotalFloat);
        const double freeFloat = cell(WorkColumn::FreeFloat);
        const QString label = table.cell(WorkColumn::StartEvent, row) + QStringLiteral(" → ") +
                              table.cell(WorkColumn::EndEvent, row);
        QCOMPARE(chart.label(position), label);
        if (order == GanttOrder::EarlyStart) {
            QVERIFY2(earlyStart >= previousStart, qPrintable(label));
            previousStart = earlyStart;
        }

        const QRectF bar = geometry.barRect(position);
        QVERIFY2(bar.top() >= position * gantt::kRowHeight &&
                     bar.bottom() <= (position + 1) * gantt::kRowHeight,
                 qPrintable(label));
        qreal finishX = 0;
        if (duration == 0) {
            // The dummy work 3 → 4: a diamond centred on its early start.
            QCOMPARE(label, QStringLiteral("3 → 4"));
            QVERIFY(chart.work(position).isMilestone());
            QVERIFY(qAbs(bar.center().x() - origin - earlyStart * perDay) < kTolerance);
            finishX = bar.center().x();
        } else {
            QVERIFY2(qAbs(bar.left() - origin - earlyStart * perDay) < kTolerance,
                     qPrintable(label));
            QVERIFY2(qAbs(bar.width() - duration * perDay) < kTolerance, qPrintable(label));
            finishX = bar.right();
        }

        const QLineF free = geometry.freeFloatLine(position);
        QCOMPARE(free.isNull(), freeFloat == 0);
        if (freeFloat > 0) {
            QVERIFY2(qAbs(free.x1() - finishX) < kTolerance, qPrintable(label));
            QVERIFY2(qAbs(free.dx() - freeFloat * perDay) < kTolerance, qPrintable(label));
        }
        const QLineF rest = geometry.totalFloatLine(position);
        QCOMPARE(rest.isNull(), totalFloat == freeFloat);
        if (totalFloat > freeFloat) {
            QVERIFY2(qAbs(rest.x1() - finishX - freeFloat * perDay) < kTolerance,
                     qPrintable(label));
            QVERIFY2(qAbs(rest.x2() - finishX - totalFloat * perDay) < kTolerance,
                     qPrintable(label));
        }

        QCOMPARE(chart.work(position).isCritical(), totalFloat == 0);
        if (!probeColours) {
            if (chart.work(position).isCritical())
                red.insert(label);
            continue;
        }
        const QRgb colour = colourAt(image, bar.center());
        QVERIFY2(colour == (gantt::kCriticalColour & 0xffffff) ||
                     colour == (gantt::kWorkColour & 0xffffff),
                 qPrintable(label));
        if (colour == (gantt::kCriticalColour & 0xffffff))
            red.insert(label);
    }
    QCOMPARE(red, kCriticalWorks);
    if (order == GanttOrder::Table)
        QCOMPARE(rowsShown, QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    else // ties keep the table order (1 → 2 before 1 → 3); 8 → 9 starts before 7 → 9
        QCOMPARE(rowsShown, QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11}));
}

void TestGanttChart::uncalculatedTableShowsNothing_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("ready");
    QTest::newRow("read, not recalculated") << "uncalculated" << false;
    QTest::newRow("a float that is no number") << "text" << false;
    QTest::newRow("an empty late finish") << "empty" << false;
    QTest::newRow("a count beyond double range") << "huge" << false;
    QTest::newRow("the empty table") << "empty table" << false;
    QTest::newRow("a blank row is no work") << "blank row" << true;
}

// When the computed columns are empty or do not read as numbers, the chart has nothing to show.
void TestGanttChart::uncalculatedTableShowsNothing()
{
    QFETCH(QString, damage);
    QFETCH(bool, ready);
    WorkTable table;
    if (damage != QLatin1String("empty table"))
        loadHouse(table, damage != QLatin1String("uncalculated"));
    if (damage == QLatin1String("text"))
        table.setCell(WorkColumn::FreeFloat, 7, QStringLiteral("abc"));
    else if (damage == QLatin1String("empty"))
        table.setCell(WorkColumn::LateFinish, 11, QString());
    else if (damage == QLatin1String("huge"))
        table.setCell(WorkColumn::PrecedingWorks, 0, QStringLiteral("1E400"));
    else if (damage == QLatin1String("blank row"))
        table.setRowCount(table.rowCount() + 1);
    const GanttChart chart(table, numbers(), startDate());
    QCOMPARE(chart.isReady(), ready);
    QCOMPARE(chart.workCount(), ready ? 12 : 0);
}

// The tool tip of a bar lists the eleven cells of its own row; pointing beside a bar, at its
// float, finds nothing.
void TestGanttChart::barUnderPointerNamesItsRow()
{
    WorkTable table;
    loadHouse(table);
    GanttChart chart(table, numbers(), startDate());
    chart.setOrder(GanttOrder::EarlyStart);
    const GanttGeometry geometry(chart, GanttScale::Days);
    for (int position = 0; position < chart.workCount(); ++position) {
        QCOMPARE(geometry.positionAt(geometry.barRect(position).center()), position);
        const QStringList lines = chart.details(position).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 11);
        for (int column = 0; column < 11; ++column)
            QVERIFY2(
                lines[column].endsWith(QStringLiteral(": ") +
                                       table.cell(WorkColumn(column), chart.work(position).row)),
                qPrintable(lines[column]));
    }
    // Work 5 → 6 (row 6) starts at 7,5 with 4,5 days of free float after its one-day bar.
    int position = 0;
    while (chart.work(position).row != 6)
        ++position;
    QVERIFY(chart.details(position).contains(QStringLiteral("Раннее начало: 7,5")));
    QVERIFY(chart.details(position).contains(QStringLiteral("Дата начала: 08.03.2027")));
    const QLineF free = geometry.freeFloatLine(position);
    QCOMPARE(geometry.positionAt(free.center()), -1);
    QCOMPARE(geometry.positionAt(QPointF(-5, -5)), -1);
}

QTEST_MAIN(TestGanttChart)
#include "tst_ganttchart.moc"
