#include "GuideShot.h"
#include "KestrinError.h"

#include <QApplication>
#include <QTextStream>

#include <vector>

namespace {

// One row a picture: its name (the file docs/<name>.png) and the function that takes it.
struct Shot
{
    const char* name;
    void (*take)(const GuideShot&);
};

const std::vector<Shot> kShots = {
    {"guide-risk", shotRisk},
    {"guide-import-notes", shotImportNotes},
    {"guide-cost", shotCost},
    {"guide-workcalendar", shotWorkCalendar},
    {"guide-gantt-workdays", shotWorkingDaysGantt},
    {"guide-details", shotDetails},
    {"guide-resources", shotResources},
};

} // namespace

// Takes every picture, or the ones named after the folder.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        err << "usage: kestrin-guideshots DOCS_FOLDER [shot ...]\n";
        return 2;
    }
    const GuideShot shot(arguments.front());
    const QStringList wanted = arguments.mid(1);
    try {
        for (const Shot& candidate : kShots) {
            if (wanted.isEmpty() || wanted.contains(QLatin1String(candidate.name)))
                candidate.take(shot);
        }
    } catch (const KestrinError& error) {
        err << error.message() << '\n';
        return 1;
    }
    return 0;
}
