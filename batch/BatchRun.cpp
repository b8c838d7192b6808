#include "BatchRun.h"

#include "AutomaticEnds.h"
#include "BatchInput.h"
#include "BatchLevelling.h"
#include "BatchOutput.h"
#include "DateFormat.h"
#include "EventIndex.h"
#include "KestrinError.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Recalculation.h"

#include <QFileInfo>

namespace {

// The ends as the window's automatic mode picks them from its selectors' lists.
std::pair<QString, QString> automaticEnds(const EventIndex& events)
{
    const std::optional<QString> start =
        chooseStartEvent(events.sortedNames(WorkColumn::StartEvent), events);
    const std::optional<QString> end =
        chooseEndEvent(events.sortedNames(WorkColumn::EndEvent), events);
    return {start.value_or(QString()), end.value_or(QString())};
}

} // namespace

BatchReport runBatch(const BatchOptions& options)
{
    BatchPlan plan;
    batchinput::read(options.input, plan);
    if (plan.table.isEmptyTable())
        throw KestrinError(QStringLiteral("В файле «%1» нет элементов графика")
                               .arg(QFileInfo(options.input).fileName()));
    if (options.startDate)
        plan.startDate = DateFormat::daysOf(*options.startDate);

    const NumberFormat& numbers = NumberFormat::system();
    const DateFormat& dates = DateFormat::system();
    const NameCollation names;
    const EventIndex events(plan.table, names);
    auto [start, end] = automaticEnds(events);
    if (options.startEvent) {
        start = *options.startEvent;
        end = *options.endEvent;
    }
    plan.plan.setEnds(start, end, !options.startEvent.has_value());

    BatchReport report;
    Recalculation recalculation(plan.table, events, start, end, plan.startDate, numbers, dates,
                                names);
    QStringList path;
    const long double length = recalculation.criticalLength(path);
    recalculation.fillComputedColumns();
    report.output.append(criticalPathLine(numbers, length, path));
    if (options.level) {
        report.output.append(QStringLiteral("Выровненная длина: %1")
                                 .arg(levelledLength(plan.table, plan.plan, numbers)));
    }
    batchoutput::write(options.output, plan);
    report.notes = plan.notes;
    return report;
}
