#include "RiskTableInput.h"

#include "EventIndex.h"
#include "NumberFormat.h"
#include "WorkTable.h"

namespace risk {

RiskTableInput readRiskInput(const WorkTable& table, const EventIndex& events,
                             const QString& startEvent, const QString& endEvent,
                             const NumberFormat& numbers)
{
    QStringList eventNames;
    for (int event = 0; event < events.eventCount(); ++event)
        eventNames.append(events.name(event));
    const auto endOf = [&](const QString& name) {
        const int event = events.find(name);
        if (event >= 0)
            return event;
        eventNames.append(name);
        return int(eventNames.size()) - 1;
    };
    const int start = endOf(startEvent);
    const int end = endOf(endEvent);

    std::vector<RiskWork> works;
    std::vector<int> rows;
    QStringList labels;
    QStringList names;
    for (int row = 0; row < table.rowCount(); ++row) {
        const int from = events.startOf(row);
        const int to = events.endOf(row);
        if (from < 0 || to < 0)
            continue;
        const WorkDetails details = table.details(row);
        RiskWork work;
        work.start = from;
        work.end = to;
        work.mostLikely = numbers.parse(table.cellView(WorkColumn::Duration, row));
        if (details.hasEstimates()) {
            work.optimistic = *details.number(DetailNumber::Optimistic);
            work.pessimistic = *details.number(DetailNumber::Pessimistic);
        }
        works.push_back(work);
        rows.push_back(row);
        labels.append(events.name(from) + u'–' + events.name(to));
        names.append(details.name);
    }
    const int eventCount = int(eventNames.size());
    return {RiskNetwork(std::move(works), eventCount, start, end, std::move(eventNames)),
            std::move(rows), std::move(labels), std::move(names)};
}

} // namespace risk
