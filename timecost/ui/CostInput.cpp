#include "CostInput.h"

#include "DetailRules.h"
#include "NumberFormat.h"
#include "WorkTable.h"

#include <QHash>

namespace {

// The value as the program writes it, exactly: a detail is a double, and its text (15
// significant digits) is what the user typed and sees.
Decimal exactNumber(double value, const NumberFormat& numbers)
{
    return Decimal::parse(numbers.format(value), numbers);
}

} // namespace

CostInput costInput(const WorkTable& table, const QString& startEvent, const QString& endEvent,
                    const NumberFormat& numbers)
{
    CostInput input;
    std::vector<detailrules::LeftOutWork> leftOut;
    QHash<QString, int> eventOf;
    const auto event = [&](const QString& name) {
        const auto found = eventOf.constFind(name);
        if (found != eventOf.constEnd())
            return *found;
        const int id = int(input.network.eventNames.size());
        input.network.eventNames.append(name);
        eventOf.insert(name, id);
        return id;
    };
    for (int row = 0; row < table.rowCount(); ++row) {
        const QString start = table.cell(WorkColumn::StartEvent, row);
        const QString end = table.cell(WorkColumn::EndEvent, row);
        if (start.isEmpty() || end.isEmpty())
            continue;
        const WorkDetails details = table.details(row);
        CostedWork work;
        work.startEvent = event(start);
        work.endEvent = event(end);
        work.duration = Decimal::parse(table.cellView(WorkColumn::Duration, row), numbers);
        if (const std::optional<double> cost = details.number(DetailNumber::NormalCost))
            work.cost = exactNumber(*cost, numbers);
        const std::optional<double> shortest = details.number(DetailNumber::Shortest);
        const std::optional<double> shortestCost = details.number(DetailNumber::ShortestCost);
        if (shortest && shortestCost) {
            // Compared as the engine checks a work, so that a work kept never makes it raise.
            const Decimal shortestDuration = exactNumber(*shortest, numbers);
            if (shortestDuration > work.duration) {
                leftOut.push_back({start + u'→' + end, details.name});
            } else {
                work.shortestDuration = shortestDuration;
                work.shortestCost = exactNumber(*shortestCost, numbers);
            }
        }
        input.network.works.push_back(work);
        input.rows.push_back(row);
    }
    input.network.startEvent = event(startEvent);
    input.network.endEvent = event(endEvent);
    input.leftOut = detailrules::leftOutLine(
        QStringLiteral("Без сокращения (продолжительность меньше кратчайшей)"), leftOut);
    return input;
}
