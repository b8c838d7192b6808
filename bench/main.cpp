#include "Bench.h"

#include <QApplication>
#include <QTextStream>

// Runs one section per process, so that a section's peak memory is its own:
//   kestrin-bench table | schedule | worklist | export | report | graph | analysis | gantt |
//                 diagram | undo | endtoend [shape [works]]
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString section = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (section == QLatin1String("table"))
        benchTable();
    else if (section == QLatin1String("schedule"))
        benchSchedule();
    else if (section == QLatin1String("worklist"))
        benchWorkList();
    else if (section == QLatin1String("export"))
        benchExport();
    else if (section == QLatin1String("report"))
        benchReport();
    else if (section == QLatin1String("graph"))
        benchGraph();
    else if (section == QLatin1String("analysis"))
        benchAnalysis();
    else if (section == QLatin1String("gantt"))
        benchGantt();
    else if (section == QLatin1String("diagram"))
        benchDiagram();
    else if (section == QLatin1String("undo"))
        benchUndo();
    else if (section == QLatin1String("calendar"))
        benchCalendar();
    else if (section == QLatin1String("exchange"))
        benchExchange();
    else if (section == QLatin1String("endtoend"))
        benchEndToEnd(QCoreApplication::arguments().mid(2));
    else {
        QTextStream(stderr)
            << "usage: kestrin-bench table|schedule|worklist|export|report|graph|"
               "analysis|gantt|diagram|undo|calendar|exchange|endtoend [shape [works]]"
            << Qt::endl;
        return 2;
    }
    return 0;
}
