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

namespace batchinput {
// Reads the file by its suffix (batchformats::inputSuffixes) into `into`, which is fresh.
void read(const QString& path, BatchPlan& into);
} // namespace batchinput

namespace batchoutput {
// Writes the calculated plan to the file by its suffix (batchformats::outputSuffixes).
void write(const QString& path, const BatchPlan& plan);
} // namespace batchoutput
