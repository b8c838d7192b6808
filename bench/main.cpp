#include "Bench.h"

#include <QApplication>
#include <QTextStream>

// Runs one section per process, so that a section's peak memory is its own:
//   kestrin-bench table | schedule
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
    else {
        QTextStream(stderr) << "usage: kestrin-bench table|schedule" << Qt::endl;
        return 2;
    }
    return 0;
}
