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

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace gantttest;

namespace {

// The whole chart as one image, one pixel per chart pixel.
QImage paintWhole(const GanttGeometry& geometry)
{
    const GanttFrame frame = GanttFrame::whole(geometry);
    QImage image(frame.size.toSize(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintGantt(painter, geometry, frame);
    return image;
}

// Whether a part of the image holds a dark (text) pixel.
bool hasInk(const QImage& image, const QRect& strip)
{
    for (int y = strip.top(); y <= strip.bottom(); ++y)
        for (int x = strip.left(); x <= strip.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return true;
    return false;
}

const QString kLongName = QStringLiteral(
    "Устройство ленточного фундамента с гидроизоляцией и утеплением по всему периметру дома");

} // namespace

class TestGanttNames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        report::installReportFontSubstitutes();
        QVERIFY(m_dir.isValid());
    }

    void namedChartInsertsOneColumnAndKeepsTheRest();
    void namesReachTheFilesAndThePrint();

private:
    // The guide's example with a short name on the first work, a long one on the third, and the
    // others unnamed.
    void nameWorks(WorkTable& table)
    {
        WorkDetails details = table.details(0);
        details.name = QStringLiteral("Фундамент");
        table.setDetails(0, details);
        details = table.details(2);
        details.name = kLongName;
        table.setDetails(2, details);
    }

    QTemporaryDir m_dir;
};

// The same chart painted before and after its works get names: the named one is wider by the
// name column exactly, everything left of the column and everything right of it is the unnamed
// picture pixel for pixel (so the work labels keep no trace of the names), and in the column
// there is ink on the named rows only.
void TestGanttNames::namedChartInsertsOneColumnAndKeepsTheRest()
{
    WorkTable table;
    loadHouse(table);
    const GanttChart plain(table, numbers(), startDate());
    const GanttGeometry plainGeometry(plain, GanttScale::Days);
    QVERIFY(!plain.hasNames());
    QCOMPARE(plainGeometry.nameWidth(), 0.0);
    QCOMPARE(plainGeometry.columnsWidth(), gantt::kWorkColumnWidth);
    const QImage before = paintWhole(plainGeometry);

    nameWorks(table);
    const GanttChart named(table, numbers(), startDate());
    const GanttGeometry geometry(named, GanttScale::Days);
    QVERIFY(named.hasNames());
    const QImage after = paintWhole(geometry);
    const int column = int(geometry.nameWidth());
    const int nameLeft = int(geometry.nameLeft());
    QVERIFY(column > 0);
    QCOMPARE(geometry.durationLeft(), geometry.nameLeft() + geometry.nameWidth());
    QCOMPARE(after.size(), before.size() + QSize(column, 0));

    // Up to the rule before the names, and from the rule after them on.
    QCOMPARE(after.copy(0, 0, nameLeft, after.height()),
             before.copy(0, 0, nameLeft, before.height()));
    const int restWidth = before.width() - nameLeft - 1;
    QCOMPARE(after.copy(nameLeft + column + 1, 0, restWidth, after.height()),
             before.copy(nameLeft + 1, 0, restWidth, before.height()));

    const int bodyTop = int(gantt::kAxisHeight);
    const int rowHeight = int(gantt::kRowHeight);
    QVERIFY2(hasInk(after, QRect(nameLeft + 2, 2, column - 4, bodyTop - 4)), "the heading");
    for (int position = 0; position < named.workCount(); ++position) {
        const QString name = named.name(position);
        QCOMPARE(name, table.details(named.work(position).row).name);
        QVERIFY(!named.label(position).contains(QStringLiteral("Фундамент")));
        const QRect cell(nameLeft + 2, bodyTop + position * rowHeight + 2, column - 4,
                         rowHeight - 4);
        QVERIFY2(hasInk(after, cell) == !name.isEmpty(), qPrintable(QString::number(position)));
    }
}

// The SVG holds the heading and the short name as text, and the long name cut short with an
// ellipsis; the printed PDF has the column with both names' beginnings.
void TestGanttNames::namesReachTheFilesAndThePrint()
{
    WorkTable table;
    loadHouse(table);
    nameWorks(table);
    const GanttChart chart(table, numbers(), startDate());
    const GanttGeometry geometry(chart, GanttScale::Days);

    const QString svgPath = m_dir.filePath(QStringLiteral("named.svg"));
    ganttexport::writeSvg(geometry, svgPath);
    const QString svg = QString::fromUtf8(testsupport::readAll(svgPath));
    QVERIFY(svg.contains(QStringLiteral(">Наименование<")));
    QVERIFY(svg.contains(QStringLiteral(">Фундамент<")));
    QVERIFY(!svg.contains(kLongName));
    const QRegularExpression elided(QStringLiteral(">(Устройство[^<]*)…<"));
    const QRegularExpressionMatch cut = elided.match(svg);
    QVERIFY2(cut.hasMatch(), "the long name is elided");
    QVERIFY(kLongName.startsWith(cut.captured(1)));

    const GanttPrint print(chart, GanttScale::Days, GanttPaper::A4Landscape, dates());
    const QString pdfPath = m_dir.filePath(QStringLiteral("named.pdf"));
    QVERIFY(report::exportPdf(*print.makeDocument(), pdfPath));
    POPPLER(text, "pdftotext", QStringLiteral("-layout"), pdfPath, QStringLiteral("-"));
    for (const char* expected : {"Наименование", "1\\s*→\\s*2\\s+Фундамент", "Устройство"})
        QVERIFY2(text.contains(QRegularExpression(QString::fromUtf8(expected))), qPrintable(text));
}

QTEST_MAIN(TestGanttNames)
#include "tst_ganttnames.moc"
