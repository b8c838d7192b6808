#include "CostCurveTable.h"
#include "CostInput.h"
#include "GuideShot.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "ProjectCostSection.h"
#include "TfmCost.h"
#include "WorkInputs.h"
#include "WorkTable.h"

namespace {

// The guide's example of the time–cost window: seven works from 1 to 5, each with its normal
// cost, its shortest duration and the cost at it, and 250 a day of indirect cost.
struct GuideWork
{
    const char* from;
    const char* to;
    const char* duration;
    double cost;
    double shortest;
    double shortestCost;
};

constexpr GuideWork kWorks[] = {
    {"1", "2", "3", 300, 2, 380}, {"1", "3", "5", 500, 3, 700}, {"2", "3", "2", 200, 1, 260},
    {"2", "4", "6", 600, 4, 760}, {"3", "4", "4", 400, 2, 560}, {"3", "5", "7", 700, 5, 900},
    {"4", "5", "3", 300, 2, 420},
};

} // namespace

void shotCost(const GuideShot& shot)
{
    const NumberFormat numbers(QStringLiteral(","));
    WorkTable table;
    WorkInputs rows;
    for (const GuideWork& work : kWorks) {
        WorkDetails details;
        details.setNumber(DetailNumber::NormalCost, work.cost);
        details.setNumber(DetailNumber::Shortest, work.shortest);
        details.setNumber(DetailNumber::ShortestCost, work.shortestCost);
        rows.append(QString::fromUtf8(work.from), QString::fromUtf8(work.to),
                    QString::fromUtf8(work.duration), details);
    }
    table.replaceRows(0, table.rowCount(), rows);
    Plan plan;
    projectcost::setDayCost(plan, Decimal(250, 0));
    TfmCost window(
        CostCurveTable(costInput(table, QStringLiteral("1"), QStringLiteral("5"), numbers),
                       numbers),
        plan, numbers);
    shot.save(window, QStringLiteral("guide-cost"));
}
