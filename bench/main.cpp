#include "Bench.h"

#include <QApplication>
#include <QTextStream>

#include <functional>
#include <iterator>

namespace {

// One row a section: its name, what follows the name on the command line, and what runs it with
// the arguments after the name.
struct Section
{
    const char* name;
    const char* arguments;
    std::function<void(const QStringList&)> run;
};

const Section kSections[] = {
    {"table", "",
     [](const QStringList&) {
         benchTable();
     }},
    {"schedule", "",
     [](const QStringList&) {
         benchSchedule();
     }},
    {"worklist", "",
     [](const QStringList&) {
         benchWorkList();
     }},
    {"export", "",
     [](const QStringList&) {
         benchExport();
     }},
    {"report", "",
     [](const QStringList&) {
         benchReport();
     }},
    {"graph", "",
     [](const QStringList&) {
         benchGraph();
     }},
    {"analysis", "",
     [](const QStringList&) {
         benchAnalysis();
     }},
    {"gantt", "",
     [](const QStringList&) {
         benchGantt();
     }},
    {"diagram", "",
     [](const QStringList&) {
         benchDiagram();
     }},
    {"undo", "",
     [](const QStringList&) {
         benchUndo();
     }},
    {"endtoend", " [shape [works]]", benchEndToEnd},
    {"calendar", "",
     [](const QStringList&) {
         benchCalendar();
     }},
    {"levelling", " [seconds per instance]", benchLevelling},
    {"timecost", "",
     [](const QStringList&) {
         benchTimeCost();
     }},
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
            candidate.run(QCoreApplication::arguments().mid(2));
            return 0;
        }
    }
    QTextStream usage(stderr);
    usage << "usage: kestrin-bench SECTION, one of:\n";
    for (const Section& candidate : kSections)
        usage << "  " << candidate.name << candidate.arguments << '\n';
    return 2;
}
