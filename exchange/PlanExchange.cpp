#include "PlanExchange.h"

#include "CalendarSection.h"
#include "DateFormat.h"
#include "NumberFormat.h"
#include "WorkTable.h"

#include <unordered_map>

namespace planexchange {

namespace {

bool isBlank(const WorkTable& table, int row)
{
    return table.cellView(WorkColumn::StartEvent, row).isEmpty() &&
           table.cellView(WorkColumn::EndEvent, row).isEmpty() &&
           table.cellView(WorkColumn::Duration, row).isEmpty();
}

double number(const WorkTable& table, WorkColumn column, int row, const NumberFormat& numbers)
{
    const QStringView text = table.cellView(column, row);
    return text.isEmpty() ? 0.0 : double(numbers.parse(text));
}

} // namespace

ExchangePlan exportedPlan(const WorkTable& table, const Plan& plan, double startDate)
{
    ExchangePlan exchanged;
    std::unordered_map<ResourceId, int> indexOfResource;
    for (const Resource& resource : plan.resources()) {
        indexOfResource.emplace(resource.id, int(exchanged.resources.size()));
        exchanged.resources.push_back(
            {resource.name, resource.unit, resource.available.value_or(0.0)});
    }
    for (int row = 0; row < table.rowCount(); ++row) {
        if (isBlank(table, row))
            continue;
        const WorkDetails details = table.details(row);
        const int work = int(exchanged.works.size());
        exchanged.works.push_back({table.cell(WorkColumn::StartEvent, row),
                                   table.cell(WorkColumn::EndEvent, row),
                                   table.cell(WorkColumn::Duration, row), details.name});
        for (const ResourceDemand& demand : details.demands) {
            const auto resource = indexOfResource.find(demand.resource);
            if (resource != indexOfResource.end())
                exchanged.demands.push_back({work, resource->second, demand.amount});
        }
    }
    exchanged.calendar =
        calendarsection::decode(plan.section(QString::fromUtf16(plansection::kCalendar)));
    exchanged.startDate = DateFormat::dateOf(startDate);
    return exchanged;
}

std::vector<WorkTimes> computedTimes(const WorkTable& table, const NumberFormat& numbers)
{
    std::vector<WorkTimes> times;
    for (int row = 0; row < table.rowCount(); ++row) {
        if (isBlank(table, row))
            continue;
        WorkTimes time;
        time.precedingWorks = int(number(table, WorkColumn::PrecedingWorks, row, numbers));
        time.earlyStart = number(table, WorkColumn::EarlyStart, row, numbers);
        time.earlyFinish = number(table, WorkColumn::EarlyFinish, row, numbers);
        time.lateStart = number(table, WorkColumn::LateStart, row, numbers);
        time.lateFinish = number(table, WorkColumn::LateFinish, row, numbers);
        time.totalFloat = number(table, WorkColumn::TotalFloat, row, numbers);
        time.freeFloat = number(table, WorkColumn::FreeFloat, row, numbers);
        times.push_back(time);
    }
    return times;
}

TablePlan tablePlan(const ExchangePlan& imported)
{
    TablePlan result;
    std::vector<ResourceId> idOfResource;
    for (const ExchangeResource& resource : imported.resources) {
        const ResourceId id = ResourceId(idOfResource.size() + 1);
        idOfResource.push_back(id);
        result.plan.addResource({id, resource.name, resource.unit, resource.available});
    }
    std::vector<WorkDetails> details(imported.works.size());
    for (std::size_t w = 0; w < imported.works.size(); ++w)
        details[w].name = imported.works[w].name;
    for (const ExchangeDemand& demand : imported.demands) {
        WorkDetails& work = details[std::size_t(demand.work)];
        const ResourceId id = idOfResource[std::size_t(demand.resource)];
        // Two assignments of one resource to one task are one demand of both amounts.
        work.setDemand(id, work.demand(id).value_or(0.0) + demand.amount);
    }
    for (std::size_t w = 0; w < imported.works.size(); ++w) {
        const ExchangeWork& work = imported.works[w];
        result.works.append(work.startEvent, work.endEvent, work.duration, details[w]);
    }
    result.plan.setSection(QString::fromUtf16(plansection::kCalendar),
                           calendarsection::encode(imported.calendar));
    if (imported.startDate.isValid())
        result.plan.setStartDate(DateFormat::daysOf(imported.startDate));
    return result;
}

} // namespace planexchange
