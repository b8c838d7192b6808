#include "ProjectCostSection.h"

#include "KestrinError.h"
#include "NumberFormat.h"
#include "Plan.h"

namespace projectcost {

namespace {

const QString kDayCostKey = QStringLiteral("day-cost");

const NumberFormat& fileNumbers()
{
    static const NumberFormat numbers{QStringLiteral(".")};
    return numbers;
}

QString sectionName()
{
    return QString::fromUtf16(plansection::kProjectCost);
}

} // namespace

Decimal parseDayCost(QStringView text, const NumberFormat& numbers)
{
    const Decimal cost = Decimal::parse(text, numbers);
    Decimal::parse(cost.text(numbers), numbers);
    return cost;
}

std::optional<Decimal> dayCost(const Plan& plan)
{
    const PlanSection section = plan.section(sectionName());
    const auto found = section.find(kDayCostKey);
    if (found == section.end())
        return std::nullopt;
    try {
        const Decimal cost = parseDayCost(found->second, fileNumbers());
        if (cost.isNegative())
            return std::nullopt;
        return cost;
    } catch (const KestrinError&) {
        // A setting the file cannot give is no setting: the plan itself still opens.
        return std::nullopt;
    }
}

void setDayCost(Plan& plan, const std::optional<Decimal>& cost)
{
    PlanSection section = plan.section(sectionName());
    if (cost)
        section[kDayCostKey] = cost->text(fileNumbers());
    else
        section.erase(kDayCostKey);
    plan.setSection(sectionName(), std::move(section));
}

} // namespace projectcost
