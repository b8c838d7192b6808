#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>

class DateFormat;
class NameCollation;
class NumberFormat;
class WorkCells;

// Shared by the schedule tests: filling the input columns and running a recalculation the way the
// main window does (criticalLength, the path line, then the passes).
struct Work
{
    QString start;
    QString end;
    QString duration;
};

void setWorks(WorkCells& table, const QList<Work>& works);
// A list of UTF-8 literals, for test tables.
QStringList texts(std::initializer_list<const char*> utf8);
// Works written as "start>end:duration", separated by ";" ("1>2:3;2>3:4"); "" is the empty row.
QList<Work> worksFrom(const QString& text);

// Every cell of the table, row by row, for whole-table comparisons.
QList<QStringList> allCells(const WorkCells& table);

struct RecalculationResult
{
    QString error; // empty when the recalculation succeeded
    QStringList criticalPath;
    QString pathLine;
};

// Runs the program's recalculation; criticalPath and pathLine start as given and keep their
// content where the recalculation leaves them.
RecalculationResult runRecalculation(WorkCells& table, const QString& startEvent,
                                     const QString& endEvent, double startDate,
                                     const NumberFormat& numbers, const DateFormat& dates,
                                     const NameCollation& names, RecalculationResult before = {});
// The same through the reference model.
RecalculationResult runReference(WorkCells& table, const QString& startEvent,
                                 const QString& endEvent, double startDate,
                                 const NumberFormat& numbers, const DateFormat& dates,
                                 const NameCollation& names, RecalculationResult before = {});
