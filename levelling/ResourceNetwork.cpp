#include "ResourceNetwork.h"

#include "EventTimes.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "SuccessorGraph.h"
#include "WorkFloats.h"
#include "WorkTable.h"

#include <QCryptographicHash>

#include <cmath>
#include <limits>

namespace {

constexpr int kFinestGrid = 1000;

// Whether value is whole on a grid of `perUnit` steps a unit, allowing for the binary rounding
// of decimal texts.
bool wholeOn(long double value, int perUnit)
{
    const long double scaled = value * perUnit;
    return std::fabs(scaled - std::round(scaled)) <= 1e-9L * std::max(1.0L, std::fabs(scaled));
}

// The coarsest grid of 1, 10, 100 or 1000 steps a unit on which every value is whole; 0 when
// there is none.
int coarsestGrid(const std::vector<long double>& values)
{
    for (int perUnit = 1; perUnit <= kFinestGrid; perUnit *= 10) {
        if (std::all_of(values.begin(), values.end(),
                        [perUnit](long double v) { return wholeOn(v, perUnit); }))
            return perUnit;
    }
    return 0;
}

int onGrid(long double value, int perUnit, const QString& what)
{
    const long double scaled = std::round(value * perUnit);
    if (!(std::fabs(scaled) <= std::numeric_limits<int>::max() / 2))
        throw KestrinError(QStringLiteral("%1: слишком большое число для выравнивания").arg(what));
    return int(scaled);
}

QString workTitle(const LevellingWork& work)
{
    return work.name.isEmpty() ? work.label : QStringLiteral("%1 «%2»").arg(work.label, work.name);
}

} // namespace

ResourceNetwork::ResourceNetwork(const WorkTable& table, const EventIndex& events,
                                 const QString& startEvent, const QString& endEvent,
                                 const std::vector<Resource>& resources,
                                 const NumberFormat& numbers)
    : m_resources(resources)
{
    const SuccessorGraph graph(table, events, QStringList{startEvent, endEvent}, numbers);
    EventTimes times(graph, graph.eventId(startEvent), graph.eventId(endEvent), numbers);
    const std::vector<WorkFloats> floats = workFloats(times);

    std::vector<long double> durations;
    std::vector<WorkDetails> details;
    std::vector<int> startIds;
    std::vector<int> endIds;
    for (int row = 0; row < graph.rowCount(); ++row) {
        if (!floats[std::size_t(row)].onPath())
            continue;
        LevellingWork work;
        work.row = row;
        work.label = QStringLiteral("%1 → %2").arg(table.cellView(WorkColumn::StartEvent, row),
                                                   table.cellView(WorkColumn::EndEvent, row));
        details.push_back(table.details(row));
        work.name = details.back().name;
        durations.push_back(graph.duration(row));
        startIds.push_back(graph.rowStart(row));
        endIds.push_back(graph.rowEnd(row));
        m_works.push_back(std::move(work));
    }

    m_timeScale = coarsestGrid(durations);
    if (m_timeScale == 0)
        throw KestrinError(QStringLiteral("Продолжительности работ для выравнивания должны быть "
                                          "заданы не точнее тысячной доли дня"));
    const int count = int(m_works.size());
    for (int a = 0; a < count; ++a) {
        m_problem.durations.push_back(
            onGrid(durations[std::size_t(a)], m_timeScale, workTitle(m_works[std::size_t(a)])));
        m_problem.activityNames.append(workTitle(m_works[std::size_t(a)]));
        const long double early = times.earlyValue(startIds[std::size_t(a)]);
        const long double lateFinish = times.lateValue(endIds[std::size_t(a)]);
        m_earlyStarts.push_back(onGrid(early, m_timeScale, m_problem.activityNames.back()));
        m_lateStarts.push_back(onGrid(lateFinish, m_timeScale, m_problem.activityNames.back()) -
                               m_problem.durations.back());
    }
    m_criticalLength = onGrid(times.length(), m_timeScale, QStringLiteral("L"));
    m_problem.precedences = precedencesFromEvents(startIds, endIds);

    // Each resource on its own grid of amounts: its capacity and every demand whole.
    const int resourceCount = int(m_resources.size());
    m_problem.demands.assign(std::size_t(count) * std::size_t(resourceCount), 0);
    for (int r = 0; r < resourceCount; ++r) {
        const Resource& resource = m_resources[std::size_t(r)];
        m_problem.resourceNames.append(resource.name);
        std::vector<long double> amounts;
        if (resource.available)
            amounts.push_back(*resource.available);
        for (const WorkDetails& work : details)
            amounts.push_back(work.demand(resource.id).value_or(0));
        const int perUnit = coarsestGrid(amounts);
        if (perUnit == 0)
            throw KestrinError(QStringLiteral("Количества ресурса «%1» для выравнивания должны "
                                              "быть заданы не точнее тысячной доли")
                                   .arg(resource.name));
        m_amountScale.push_back(perUnit);
        long long total = 0;
        for (int a = 0; a < count; ++a) {
            const int demand = onGrid(amounts[std::size_t(a) + (resource.available ? 1 : 0)],
                                      perUnit, resource.name);
            m_problem.demands[std::size_t(a) * std::size_t(resourceCount) + std::size_t(r)] =
                demand;
            total += std::max(demand, 0);
        }
        m_problem.capacities.push_back(
            resource.available
                ? onGrid(*resource.available, perUnit, resource.name)
                : int(std::min<long long>(total, std::numeric_limits<int>::max() / 2)));
    }
}

void ResourceNetwork::checkDemands(const NumberFormat& numbers) const
{
    for (int r = 0; r < m_problem.resourceCount(); ++r) {
        const Resource& resource = m_resources[std::size_t(r)];
        const QString unit = resource.unit.isEmpty() ? QString() : u' ' + resource.unit;
        for (int a = 0; a < m_problem.activityCount(); ++a) {
            const int demand = m_problem.demand(a, r);
            if (demand <= m_problem.capacities[std::size_t(r)])
                continue;
            throw KestrinError(
                QStringLiteral("Работе %1 нужно %2%3 ресурса «%4», а доступно всего %5%3: "
                               "выровнять нельзя")
                    .arg(m_problem.activityName(a), numbers.format(amount(r, demand)), unit,
                         resource.name,
                         numbers.format(amount(r, m_problem.capacities[std::size_t(r)]))));
        }
    }
    checkLevellingInput(m_problem);
}

QString ResourceNetwork::fingerprint() const
{
    QCryptographicHash digest(QCryptographicHash::Sha256);
    const auto add = [&digest](qint64 value) {
        digest.addData(QByteArrayView(reinterpret_cast<const char*>(&value), sizeof value));
    };
    add(m_timeScale);
    add(m_problem.activityCount());
    for (std::size_t a = 0; a < m_works.size(); ++a) {
        add(m_works[a].row);
        add(m_problem.durations[a]);
    }
    for (const int demand : m_problem.demands)
        add(demand);
    for (std::size_t r = 0; r < m_resources.size(); ++r) {
        add(m_resources[r].id);
        add(m_problem.capacities[r]);
        add(m_amountScale[r]);
    }
    for (const Precedence& link : m_problem.precedences) {
        add(link.before);
        add(link.after);
    }
    return QString::fromLatin1(digest.result().toHex().left(32));
}
