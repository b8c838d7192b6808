#include "Bench.h"

#include <QApplication>
#include <QTextStream>

namespace {

// One row a section: its name, what may follow the name on the command line, and what runs it
// (with the arguments after the name, for a section that takes some).
struct Section
{
    const char* name;
    const char* arguments;
    void (*run)();
    void (*runWith)(const QStringList&);
};

const Section kSections[] = {
    {"table", "", benchTable, nullptr},
    {"schedule", "", benchSchedule, nullptr},
    {"worklist", "", benchWorkList, nullptr},
    {"export", "", benchExport, nullptr},
    {"report", "", benchReport, nullptr},
    {"graph", "", benchGraph, nullptr},
    {"analysis", "", benchAnalysis, nullptr},
    {"gantt", "", benchGantt, nullptr},
    {"diagram", "", benchDiagram, nullptr},
    {"undo", "", benchUndo, nullptr},
    {"endtoend", " [shape [works]]", nullptr, benchEndToEnd},
    {"calendar", "", benchCalendar, nullptr},
    {"levelling", " [seconds per instance]", nullptr, benchLevelling},
    {"resources", "", benchResources, nullptr},
    {"timecost", "", benchTimeCost, nullptr},
    {"costwindow", "", benchCostWindow, nullptr},
    {"risk", "", benchRisk, nullptr},
    {"riskwindow", "", benchRiskWindow, nullptr},
    {"plan", " [works]", nullptr, benchPlan},
    {"exchange", "", benchExchange, nullptr},
    {"batch", " [works per file]", nullptr, benchBatch},
};

} // namespace

// Runs one section per process, so that a section's peak memory is its own.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString section = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    for (const Section& candidate : kSections) {
        if (section == QLatin1String(candidate.name)) {
            if (candidate.run)
                candidate.run();
            else
                candidate.runWith(QCoreApplication::arguments().mid(2));
            return 0;
        }
    }
    QTextStream usage(stderr);
    usage << "usage: kestrin-bench SECTION, one of:\n";
    for (const Section& candidate : kSections)
        usage << "  " << candidate.name << candidate.arguments << '\n';
    return 2;
}
