#include "RiskTableInput.h"

#include "DetailRules.h"
#include "EventIndex.h"
#include "EventTimes.h"
#include "NumberFormat.h"
#include "SuccessorGraph.h"
#include "WorkTable.h"

#include <charconv>

namespace risk {

namespace {

// The details keep doubles; the analysis sums the decimals the user typed. The long double
// nearest to the double's shortest decimal is the one a typed text parses to (0,1 and not
// 0,1000000000000000055511151231257827).
long double typedValue(double value)
{
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    long double typed = value;
    std::from_chars(buffer, written.ptr, typed);
    return typed;
}

} // namespace

RiskTableInput readRiskInput(const WorkTable& table, const EventIndex& events,
                             const QString& startEvent, const QString& endEvent,
                             const NumberFormat& numbers)
{
    // The recalculation's first search between the ends, so that a loop or a duration that is not
    // a number is reported in its words and at the place it finds it.
    const QStringList ends{startEvent, endEvent};
    const SuccessorGraph graph(table, events, ends, numbers);
    const EventTimes times(graph, graph.eventId(startEvent), graph.eventId(endEvent), numbers);

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
    std::vector<detailrules::LeftOutWork> leftOut;
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
        const QString label = events.name(from) + u'–' + events.name(to);
        if (details.hasEstimates()) {
            // Compared as the network checks them, so that a work kept never makes it raise.
            const long double optimistic = typedValue(*details.number(DetailNumber::Optimistic));
            const long double pessimistic = typedValue(*details.number(DetailNumber::Pessimistic));
            if (optimistic <= work.mostLikely && work.mostLikely <= pessimistic) {
                work.optimistic = optimistic;
                work.pessimistic = pessimistic;
            } else {
                leftOut.push_back({label, details.name});
            }
        }
        works.push_back(work);
        rows.push_back(row);
        labels.append(label);
        names.append(details.name);
    }
    const int eventCount = int(eventNames.size());
    return {RiskNetwork(std::move(works), eventCount, start, end, std::move(eventNames)),
            std::move(rows), std::move(labels), std::move(names),
            detailrules::leftOutLine(QStringLiteral("Без оценок (продолжительность вне оценок)"),
                                     leftOut)};
}

} // namespace risk
