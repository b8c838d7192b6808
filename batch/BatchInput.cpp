#include "BatchInput.h"
#include "BatchFormats.h"

#include "MspdiReader.h"
#include "NumberFormat.h"
#include "PlanExchange.h"
#include "PlanFile.h"
#include "WorkCsv.h"
#include "WorkListFile.h"

#include <functional>

namespace {

void readWorkList(const QString& path, BatchPlan& into)
{
    worklistfile::read(path, into.table);
}

void readPlanFile(const QString& path, BatchPlan& into)
{
    planfile::Contents contents = planfile::read(path);
    into.table.replaceRows(0, into.table.rowCount(), contents.works);
    into.startDate = contents.plan.startDate();
    into.plan = std::move(contents.plan);
}

void readCsv(const QString& path, BatchPlan& into)
{
    into.table.replaceRows(0, into.table.rowCount(), workcsv::read(path, NumberFormat::system()));
}

void readMspdi(const QString& path, BatchPlan& into)
{
    const ImportedPlan imported = mspdi::read(path);
    planexchange::TablePlan plan = planexchange::tablePlan(imported.plan);
    into.table.replaceRows(0, into.table.rowCount(), plan.works);
    into.startDate = plan.plan.startDate();
    into.plan = std::move(plan.plan);
    into.notes = imported.notes;
}

struct InputFormat
{
    const char16_t* suffix;
    std::function<void(const QString&, BatchPlan&)> read;
};

const InputFormat kInputs[] = {
    {u"kdf", readWorkList},
    {u"kpl", readPlanFile},
    {u"csv", readCsv},
    {u"xml", readMspdi},
};

} // namespace

namespace batchformats {

QStringList inputSuffixes()
{
    QStringList suffixes;
    for (const InputFormat& format : kInputs)
        suffixes.append(QString::fromUtf16(format.suffix));
    return suffixes;
}

} // namespace batchformats

namespace batchinput {

void read(const QString& path, BatchPlan& into)
{
    const QString suffix = batchformats::suffixOf(path);
    for (const InputFormat& format : kInputs) {
        if (suffix == QStringView(format.suffix))
            format.read(path, into);
    }
}

} // namespace batchinput
