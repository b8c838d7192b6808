#include "Bench.h"

#include "DateFormat.h"
#include "GanttChart.h"
#include "GanttGeometry.h"
#include "GanttView.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Recalculation.h"
#include "ReportFonts.h"
#include "TfmGantt.h"
#include "WorkTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QScrollBar>

#include <random>

// The Gantt chart window over a calculated network of 100,000 works: reading the chart, opening
// the window until its first paint, one scroll step with its repaint (anywhere in the chart), and
// sorting by early start.
namespace {

constexpr int kWorks = 100'000;
constexpr int kLayers = 200;

// Works between the events of consecutive layers, 500 events to a layer; durations of one to ten
// days in quarters. Every event of a layer reaches the next one.
void fillNetwork(WorkTable& table)
{
    const int width = kWorks / kLayers;
    std::mt19937_64 random(20270301);
    std::uniform_int_distribution<int> column(0, width - 1);
    std::uniform_int_distribution<int> quarters(4, 40);
    const NumberFormat& numbers = NumberFormat::system();
    const WorkTable::Batch batch(table);
    table.setRowCount(kWorks + 2 * width);
    int row = 0;
    const auto add = [&](const QString& from, const QString& to) {
        table.setCell(WorkColumn::StartEvent, row, from);
        table.setCell(WorkColumn::EndEvent, row, to);
        table.setCell(WorkColumn::Duration, row, numbers.format(quarters(random) * 0.25L));
        ++row;
    };
    const auto event = [](int layer, int index) {
        return QStringLiteral("E%1.%2").arg(layer).arg(index);
    };
    for (int index = 0; index < width; ++index)
        add(QStringLiteral("Start"), event(0, index));
    for (int layer = 0; layer + 1 < kLayers; ++layer)
        for (int index = 0; index < width; ++index)
            add(event(layer, index), event(layer + 1, index % 2 == 0 ? index : column(random)));
    for (int index = 0; index < width; ++index)
        add(event(kLayers - 1, index), QStringLiteral("End"));
    table.setRowCount(row);
}

QString ms(double seconds)
{
    return QStringLiteral("%1 ms").arg(seconds * 1000.0, 0, 'f', 1);
}

} // namespace

void benchGantt()
{
    report::installReportFontSubstitutes();
    WorkTable table;
    fillNetwork(table);
    const NumberFormat& numbers = NumberFormat::system();
    const DateFormat& dates = DateFormat::system();
    const double startDate = DateFormat::daysOf(QDate(2027, 3, 1));
    {
        const NameCollation names;
        Recalculation recalculation(table, QStringLiteral("Start"), QStringLiteral("End"),
                                    startDate, numbers, dates, names);
        QStringList path;
        recalculation.criticalLength(path);
        recalculation.fillComputedColumns();
    }

    const double read = bench::seconds(
        [&] {
            const GanttChart chart(table, numbers, startDate);
            const GanttGeometry geometry(chart, GanttScale::Weeks);
        },
        3);

    std::unique_ptr<TfmGantt> window;
    const double open = bench::seconds([&] {
        window = std::make_unique<TfmGantt>(table, numbers, dates, startDate);
        window->resize(1280, 900);
        window->show();
        QApplication::processEvents();
        // The view rendered as the screen would show it.
        window->view()->viewport()->grab();
    });

    QScrollBar* rows = window->view()->verticalScrollBar();
    QScrollBar* time = window->view()->horizontalScrollBar();
    constexpr int kSteps = 300;
    const double scroll = bench::seconds([&] {
        for (int step = 0; step < kSteps; ++step) {
            // Row steps through the whole chart, and the time along with them.
            rows->setValue(int(qint64(rows->maximum()) * step / kSteps));
            time->setValue(int(qint64(time->maximum()) * (step % 10) / 10));
            window->view()->viewport()->grab();
        }
    });

    auto* sort = window->findChild<QCheckBox*>(QStringLiteral("cbSortByStart"));
    const double sorted = bench::seconds([&] {
        sort->setChecked(true);
        window->view()->viewport()->grab();
    });

    bench::report(QStringLiteral("gantt: read 100,000 calculated works into the chart"), ms(read));
    bench::report(QStringLiteral("gantt: open the window over them, to its first paint"), ms(open));
    bench::report(QStringLiteral("gantt: one scroll step with its repaint (1280 x 900)"),
                  ms(scroll / kSteps));
    bench::report(QStringLiteral("gantt: sort by early start, with repaint"), ms(sorted));
    bench::report(QStringLiteral("gantt: peak memory of the process"),
                  QStringLiteral("%1 MB").arg(bench::peakRssMegabytes(), 0, 'f', 0));
}
