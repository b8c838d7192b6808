#include "Bench.h"

#include "DateFormat.h"
#include "EventIndex.h"
#include "GeneratedNetwork.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "RiskSimulation.h"
#include "RiskTableInput.h"
#include "ScheduleDates.h"
#include "TfmRisk.h"
#include "WindowDriving.h"
#include "WorkCalendar.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace {

// The window over a generated network of `works` works, each with estimates of half and twice
// its duration: reading the table, opening, one simulation of 10 000 runs shown in full, and the
// tables saved as CSV.
void benchWindow(int works)
{
    WorkTable table;
    testsupport::fillGeneratedNetwork(table, works / 3, works);
    const NumberFormat numbers(QStringLiteral(","));
    for (int row = 0; row < table.rowCount(); ++row) {
        const double m = double(numbers.parse(table.cellView(WorkColumn::Duration, row)));
        WorkDetails details;
        details.setNumber(DetailNumber::Optimistic, m / 2);
        details.setNumber(DetailNumber::Pessimistic, m * 2);
        table.setDetails(row, details);
    }
    const DateFormat dates(QStringLiteral("dd.MM.yyyy"));
    const NameCollation names(QLocale(QLocale::Russian, QLocale::Russia));
    const ScheduleDates schedule(WorkCalendar{}, DateFormat::daysOf(QDate(2027, 3, 1)));
    Plan plan;
    const QString end = QString::number(works / 3);

    std::optional<risk::RiskTableInput> input;
    const double reading = bench::seconds([&] {
        const EventIndex events(table, names);
        input.emplace(risk::readRiskInput(table, events, QStringLiteral("1"), end, numbers));
    });
    bench::report(QStringLiteral("Risk: read %1 works from the table").arg(works),
                  QStringLiteral("%1 s").arg(reading, 0, 'f', 3));

    // The engine alone, for the window's own share of the time below.
    const double engine = bench::seconds([&] {
        risk::SimulationSettings settings;
        settings.directive = 0;
        risk::simulate(input->network, settings);
    });
    bench::report(QStringLiteral("Risk: the engine alone, 10000 runs, %1 works").arg(works),
                  QStringLiteral("%1 s").arg(engine, 0, 'f', 3));

    std::unique_ptr<TfmRisk> window;
    const double opening = bench::untilIdle([&] {
        window = std::make_unique<TfmRisk>(std::move(*input), schedule, plan, numbers, dates);
        window->show();
    });
    bench::report(QStringLiteral("Risk: open the window, %1 works").arg(works),
                  QStringLiteral("%1 s").arg(opening, 0, 'f', 3));

    const double simulating = bench::untilIdle(
        [&] { window->findChild<QAbstractButton*>(QStringLiteral("sbSimulate"))->click(); });
    bench::report(QStringLiteral("Risk: simulate 10000 runs and show them, %1 works").arg(works),
                  QStringLiteral("%1 s").arg(simulating, 0, 'f', 3));

    const QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("risk.csv"));
    const double saving = bench::untilIdle([&] {
        bench::answerFile(path);
        window->findChild<QAbstractButton*>(QStringLiteral("tbSaveRiskCsv"))->click();
    });
    bench::report(QStringLiteral("Risk: save the tables as CSV, %1 works").arg(works),
                  QStringLiteral("%1 s").arg(saving, 0, 'f', 3));
}

} // namespace

void benchRiskWindow()
{
    benchWindow(10'000);
    benchWindow(100'000);
    bench::report(QStringLiteral("Risk window: peak memory"),
                  QStringLiteral("%1 MB").arg(bench::peakRssMegabytes(), 0, 'f', 0));
}
