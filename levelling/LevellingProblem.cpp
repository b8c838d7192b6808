#include "LevellingProblem.h"

#include "KestrinError.h"

#include <algorithm>
#include <numeric>

QString LevellingProblem::activityName(int activity) const
{
    return activity < activityNames.size() ? activityNames[activity]
                                           : QString::number(activity + 1);
}

QString LevellingProblem::resourceName(int resource) const
{
    return resource < resourceNames.size() ? resourceNames[resource]
                                           : QString::number(resource + 1);
}

void checkLevellingInput(const LevellingProblem& problem)
{
    const int resources = problem.resourceCount();
    for (int r = 0; r < resources; ++r) {
        if (problem.capacities[std::size_t(r)] < 0)
            throw KestrinError(QStringLiteral("Отрицательное наличие ресурса «%1»: %2")
                                   .arg(problem.resourceName(r))
                                   .arg(problem.capacities[std::size_t(r)]));
    }
    for (int a = 0; a < problem.activityCount(); ++a) {
        if (problem.durations[std::size_t(a)] < 0)
            throw KestrinError(QStringLiteral("Отрицательная продолжительность работы %1")
                                   .arg(problem.activityName(a)));
        for (int r = 0; r < resources; ++r) {
            const int demand = problem.demand(a, r);
            if (demand < 0)
                throw KestrinError(
                    QStringLiteral("Работе %1 задана отрицательная потребность в ресурсе «%2»")
                        .arg(problem.activityName(a), problem.resourceName(r)));
            if (demand > problem.capacities[std::size_t(r)])
                throw KestrinError(
                    QStringLiteral("Работе %1 нужно %2 ресурса «%3», а доступно всего %4")
                        .arg(problem.activityName(a))
                        .arg(demand)
                        .arg(problem.resourceName(r))
                        .arg(problem.capacities[std::size_t(r)]));
        }
    }
    if (problem.demands.size() != problem.durations.size() * problem.capacities.size())
        throw KestrinError(QStringLiteral("Потребности в ресурсах заданы не для всех работ"));
    for (const Precedence& link : problem.precedences) {
        if (std::min(link.before, link.after) < 0 ||
            std::max(link.before, link.after) >= problem.activityCount())
            throw KestrinError(QStringLiteral("Связь с несуществующей работой: %1 -> %2")
                                   .arg(link.before + 1)
                                   .arg(link.after + 1));
    }
}

std::vector<Precedence> precedencesFromEvents(const std::vector<int>& startEvents,
                                              const std::vector<int>& endEvents)
{
    // Works sorted by start event, so that the works leaving an event are one run.
    std::vector<int> byStart(startEvents.size());
    std::iota(byStart.begin(), byStart.end(), 0);
    std::stable_sort(byStart.begin(), byStart.end(), [&](int a, int b) {
        return startEvents[std::size_t(a)] < startEvents[std::size_t(b)];
    });
    std::vector<Precedence> links;
    for (int i = 0; i < int(endEvents.size()); ++i) {
        const int event = endEvents[std::size_t(i)];
        auto run =
            std::lower_bound(byStart.begin(), byStart.end(), event, [&](int work, int value) {
                return startEvents[std::size_t(work)] < value;
            });
        for (; run != byStart.end() && startEvents[std::size_t(*run)] == event; ++run)
            links.push_back({i, *run});
    }
    return links;
}
