// libFuzzer target for the indirect cost a day as a plan file keeps it: any text in the plan's
// section must read without a crash, as no setting or as a cost that is not negative, and a cost
// that was read must write back and read as the same value.
#include "Plan.h"
#include "ProjectCostSection.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    Plan plan;
    plan.setSection(QString::fromUtf16(plansection::kProjectCost),
                    {{QStringLiteral("day-cost"), text}});
    const std::optional<Decimal> cost = projectcost::dayCost(plan);
    if (!cost)
        return 0;
    if (cost->isNegative())
        std::abort();
    Plan written;
    projectcost::setDayCost(written, cost);
    if (projectcost::dayCost(written) != cost)
        std::abort();
    return 0;
}
