#include "GuideShot.h"

#include "NumberFormat.h"
#include "PlanFile.h"
#include "TfmDetails.h"
#include "WorkTable.h"

// The details window over the house example's plan, as the user sees it after opening the plan.
void shotDetails(const GuideShot& shot)
{
    planfile::Contents house = planfile::read(shot.example(QStringLiteral("house.kpl")));
    WorkTable table;
    table.replaceRows(0, table.rowCount(), house.works);
    const NumberFormat numbers(QStringLiteral(","));
    TfmDetails window(table, house.plan, numbers, [](int, int, const WorkInputs&) {});
    window.resize(1110, 440);
    shot.save(window, QStringLiteral("guide-details"));
}
