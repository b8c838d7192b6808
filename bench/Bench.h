#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

// A tiny harness for the benchmark program: each section measures wall-clock time of real work
// and prints one line per figure. Benchmarks run outside the test suite; CI does not time them.
namespace bench {

// Seconds taken by fn, best of `repeats` runs.
double seconds(const std::function<void()>& fn, int repeats = 1);
// Peak resident set size of this process so far, in megabytes.
double peakRssMegabytes();
void report(const QString& name, const QString& figure);

} // namespace bench

// Sections, each in its own file.
void benchTable();
void benchSchedule();
void benchWorkList();
void benchExport();
void benchReport();
void benchGraph();
void benchAnalysis();
void benchGantt();
void benchDiagram();
void benchEndToEnd(const QStringList& arguments);
void benchUndo();
void benchCalendar();
void benchLevelling(const QStringList& arguments);
void benchResources();
void benchTimeCost();
void benchCostWindow();
void benchRisk();
void benchRiskWindow();
void benchPlan(const QStringList& arguments);
void benchExchange();
void benchBatch(const QStringList& arguments);
