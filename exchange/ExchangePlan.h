#pragma once

#include "WorkCalendar.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

// The plan as the exchange formats see it: plain values, no widgets, no table. The importers fill
// one, the exporters write one; the program copies it to and from its own plan.
struct ExchangeWork
{
    QString startEvent; // the event texts as the work table holds them ("1", "2", ...)
    QString endEvent;
    QString duration; // days, in the number text of the work table (NumberFormat::system())
    QString name;     // empty for a dummy work
};

struct ExchangeResource
{
    QString name;
    QString unit;
    double available = 0; // how much of it there is at any time
};

// How much of a resource a work needs while it runs.
struct ExchangeDemand
{
    int work = 0;     // index into ExchangePlan::works
    int resource = 0; // index into ExchangePlan::resources
    double amount = 0;
};

struct ExchangePlan
{
    std::vector<ExchangeWork> works;
    std::vector<ExchangeResource> resources;
    std::vector<ExchangeDemand> demands;
    WorkCalendar calendar;
    QDate startDate;
};

// A plan read from another tool's file, with what the file said that the plan cannot hold: one
// line each, for the user to read after the import.
struct ImportedPlan
{
    ExchangePlan plan;
    QStringList notes;
};

// The schedule the program computed for the plan's works, in the same order: what the exports
// show beside the works. Times are days from the start (the table's early and late times).
struct WorkTimes
{
    int precedingWorks = 0;
    double earlyStart = 0;
    double earlyFinish = 0;
    double lateStart = 0;
    double lateFinish = 0;
    double totalFloat = 0;
    double freeFloat = 0;
};
