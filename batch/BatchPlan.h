#pragma once

#include "Plan.h"
#include "WorkTable.h"

#include <QStringList>

// The plan a run of the command-line program works on: the work table as the main window holds
// it, the plan beside it, the start date (a day count of DateFormat's kind) and what an import
// could not carry over.
struct BatchPlan
{
    WorkTable table;
    Plan plan;
    double startDate = Plan::kInitialStartDate;
    QStringList notes;
};
