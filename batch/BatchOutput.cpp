#include "BatchOutput.h"
#include "BatchFormats.h"

#include "DateFormat.h"
#include "MspdiWriter.h"
#include "NumberFormat.h"
#include "PlanExchange.h"
#include "PlanFile.h"
#include "ScheduleTables.h"
#include "TaskJugglerWriter.h"
#include "TfmReport.h"
#include "WorkCsv.h"
#include "WorkbookWriter.h"

#include <QFileInfo>

#include <functional>

namespace {

using ExchangeWriter = void (*)(const QString&, const ExchangePlan&, const std::vector<WorkTimes>&);

void writeExchanged(ExchangeWriter writer, const QString& path, const BatchPlan& plan)
{
    writer(path, planexchange::exportedPlan(plan.table, plan.plan, plan.startDate),
           planexchange::computedTimes(plan.table, NumberFormat::system()));
}

void writeCsv(const QString& path, const BatchPlan& plan)
{
    workcsv::write(path, plan.table);
}

void writeDbf(const QString& path, const BatchPlan& plan)
{
    ScheduleTables().exportTo(path, plan.table, NumberFormat::system(), DateFormat::system());
}

void writePdf(const QString& path, const BatchPlan& plan)
{
    ScheduleTables().exportReport(path, tableReportLayout(), plan.table, NumberFormat::system(),
                                  DateFormat::system());
}

void writePlanFile(const QString& path, const BatchPlan& plan)
{
    // The start date the run used goes into the file, as saving from the window keeps it.
    Plan saved = plan.plan;
    saved.setStartDate(plan.startDate);
    planfile::write(path, plan.table, saved);
}

struct OutputFormat
{
    const char16_t* suffix;
    std::function<void(const QString&, const BatchPlan&)> write;
};

const OutputFormat kOutputs[] = {
    {u"csv", writeCsv},
    {u"dbf", writeDbf},
    {u"xlsx",
     [](const QString& path, const BatchPlan& plan) {
         writeExchanged(workbook::write, path, plan);
     }},
    {u"xml",
     [](const QString& path, const BatchPlan& plan) {
         writeExchanged(mspdi::write, path, plan);
     }},
    {u"tjp",
     [](const QString& path, const BatchPlan& plan) {
         writeExchanged(taskjuggler::write, path, plan);
     }},
    {u"kpl", writePlanFile},
    {u"pdf", writePdf},
};

} // namespace

namespace batchformats {

QStringList outputSuffixes()
{
    QStringList suffixes;
    for (const OutputFormat& format : kOutputs)
        suffixes.append(QString::fromUtf16(format.suffix));
    return suffixes;
}

QString suffixOf(const QString& path)
{
    return QFileInfo(path).suffix().toLower();
}

} // namespace batchformats

namespace batchoutput {

void write(const QString& path, const BatchPlan& plan)
{
    const QString suffix = batchformats::suffixOf(path);
    for (const OutputFormat& format : kOutputs) {
        if (suffix == QStringView(format.suffix))
            format.write(path, plan);
    }
}

} // namespace batchoutput
