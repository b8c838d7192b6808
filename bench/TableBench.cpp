#include "Bench.h"

#include "TfmMain.h"
#include "WorkTable.h"

#include <QApplication>
#include <QScrollBar>
#include <QTableView>

// Filling the work table with a million works of eleven filled cells, painting the grid the first
// time and after jumping to the end, and the memory that all of it takes.
void benchTable()
{
    constexpr int kRows = 1'000'000;
    TfmMain window;
    window.show();
    QApplication::processEvents();
    auto* grid = window.findChild<QTableView*>(QStringLiteral("sgMain"));
    WorkTable& table = window.workTable();
    const double rssBefore = bench::peakRssMegabytes();

    // Texts of typical length made up front, so that the figure is the table's own cost and not
    // that of number formatting.
    constexpr int kPool = 4096;
    QStringList names, times;
    for (int i = 0; i < kPool; ++i) {
        names.append(QStringLiteral("E%1").arg(i * 7919 % 100000));
        times.append(QString::number(i * 2.5 + 0.25));
    }
    const double fill = bench::seconds([&] {
        const WorkTable::Batch batch(table);
        table.setRowCount(kRows);
        for (int row = 0; row < kRows; ++row) {
            const int k = row % kPool;
            table.setCell(WorkColumn::PrecedingWorks, row, QStringLiteral("1"));
            table.setCell(WorkColumn::StartEvent, row, names[k]);
            table.setCell(WorkColumn::EndEvent, row, names[(k + 1) % kPool]);
            table.setCell(WorkColumn::Duration, row, QStringLiteral("2,5"));
            table.setCell(WorkColumn::EarlyStart, row, times[k]);
            table.setCell(WorkColumn::EarlyFinish, row, times[(k + 1) % kPool]);
            table.setCell(WorkColumn::LateStart, row, times[(k + 2) % kPool]);
            table.setCell(WorkColumn::LateFinish, row, times[(k + 3) % kPool]);
            table.setCell(WorkColumn::TotalFloat, row, QStringLiteral("0"));
            table.setCell(WorkColumn::FreeFloat, row, QStringLiteral("0,75"));
            table.setCell(WorkColumn::BeginDate, row, QStringLiteral("07.12.2026"));
        }
    });
    const double firstPaint = bench::seconds([&] {
        QApplication::processEvents();
        grid->viewport()->grab();
    });
    const double scrollToEnd = bench::seconds([&] {
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        QApplication::processEvents();
        grid->viewport()->grab();
    });
    bench::report(QStringLiteral("table: fill 1,000,000 rows x 11 cells"),
                  QStringLiteral("%1 s").arg(fill, 0, 'f', 3));
    bench::report(QStringLiteral("table: first paint of the grid"),
                  QStringLiteral("%1 s").arg(firstPaint, 0, 'f', 3));
    bench::report(QStringLiteral("table: fill + first paint"),
                  QStringLiteral("%1 s").arg(fill + firstPaint, 0, 'f', 3));
    bench::report(QStringLiteral("table: jump to the last row and paint"),
                  QStringLiteral("%1 s").arg(scrollToEnd, 0, 'f', 3));
    bench::report(QStringLiteral("table: peak RSS (whole process)"),
                  QStringLiteral("%1 MB").arg(bench::peakRssMegabytes(), 0, 'f', 0));
    bench::report(QStringLiteral("table: peak RSS added by the rows"),
                  QStringLiteral("%1 MB").arg(bench::peakRssMegabytes() - rssBefore, 0, 'f', 0));
}
