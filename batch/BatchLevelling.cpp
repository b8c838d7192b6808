#include "BatchLevelling.h"

#include "KestrinError.h"
#include "Levelling.h"
#include "LevellingProblem.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "WorkTable.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

int wholeNumber(double value, const QString& what)
{
    if (!(std::isfinite(value) && value == std::floor(value) && std::abs(value) < 1e9))
        throw KestrinError(
            QStringLiteral("Выравнивание ресурсов считает в целых днях и единицах: %1 не целое")
                .arg(what));
    return int(value);
}

} // namespace

int levelledLength(const WorkTable& table, const Plan& plan, const NumberFormat& numbers)
{
    LevellingProblem problem;
    std::unordered_map<ResourceId, int> indexOfResource;
    for (const Resource& resource : plan.resources()) {
        indexOfResource.emplace(resource.id, problem.resourceCount());
        problem.resourceNames.append(resource.name);
        problem.capacities.push_back(
            resource.available
                ? wholeNumber(*resource.available,
                              QStringLiteral("количество ресурса «%1»").arg(resource.name))
                : -1);
    }
    QHash<QString, int> eventNumbers;
    const auto event = [&](QStringView name) {
        const auto found = eventNumbers.constFind(name.toString());
        if (found != eventNumbers.cend())
            return *found;
        const int next = int(eventNumbers.size());
        eventNumbers.insert(name.toString(), next);
        return next;
    };
    std::vector<int> startEvents;
    std::vector<int> endEvents;
    for (int row = 0; row < table.rowCount(); ++row) {
        const QStringView start = table.cellView(WorkColumn::StartEvent, row);
        const QStringView end = table.cellView(WorkColumn::EndEvent, row);
        const QStringView duration = table.cellView(WorkColumn::Duration, row);
        if (start.isEmpty() && end.isEmpty() && duration.isEmpty())
            continue;
        const QString name = start.toString() + QStringLiteral(" → ") + end.toString();
        startEvents.push_back(event(start));
        endEvents.push_back(event(end));
        problem.activityNames.append(name);
        problem.durations.push_back(
            wholeNumber(double(numbers.parse(duration)),
                        QStringLiteral("продолжительность работы %1").arg(name)));
        problem.demands.resize(problem.demands.size() + problem.capacities.size(), 0);
        const WorkDetails details = table.details(row);
        for (const ResourceDemand& demand : details.demands) {
            const auto resource = indexOfResource.find(demand.resource);
            if (resource == indexOfResource.end())
                continue;
            problem.demands[problem.demands.size() - problem.capacities.size() +
                            std::size_t(resource->second)] =
                wholeNumber(demand.amount, QStringLiteral("потребность работы %1").arg(name));
        }
    }
    // A resource of unknown amount offers as much as any work asks of it.
    for (int r = 0; r < problem.resourceCount(); ++r) {
        int& capacity = problem.capacities[std::size_t(r)];
        if (capacity >= 0)
            continue;
        capacity = 0;
        for (int a = 0; a < problem.activityCount(); ++a)
            capacity = std::max(capacity, problem.demand(a, r));
    }
    problem.precedences = precedencesFromEvents(startEvents, endEvents);
    return levelResources(problem).length;
}
