#include "TfmMain.h"

#include "FileChoice.h"
#include "KestrinError.h"
#include "MspdiReader.h"
#include "MspdiWriter.h"
#include "PlanExchange.h"
#include "TaskJugglerWriter.h"
#include "TfmImportNotes.h"
#include "WorkTable.h"
#include "WorkbookWriter.h"

#include <QFileInfo>

// The main window's exchange with other planning tools: import of an MS Project XML file in place
// of the works and the plan, export in the format of the chosen file type.

namespace {

FileType msProjectFiles()
{
    return {QStringLiteral("MS Project XML (*.xml)"), QStringLiteral("xml")};
}

using ExchangeWriter = void (*)(const QString&, const ExchangePlan&, const std::vector<WorkTimes>&);

// The export formats, one row each, in the order the file dialog lists them.
struct ExportFormat
{
    FileType type;
    ExchangeWriter write;
};

std::vector<ExportFormat> exportFormats()
{
    return {
        {msProjectFiles(), mspdi::write},
        {{QStringLiteral("Проект TaskJuggler (*.tjp)"), QStringLiteral("tjp")}, taskjuggler::write},
        {{QStringLiteral("Книга Excel (*.xlsx)"), QStringLiteral("xlsx")}, workbook::write},
    };
}

} // namespace

void TfmMain::sbImportClick()
{
    if (!mayLeavePlan())
        return;
    const QString path =
        FileChoice::of(this, {"odImport", FileChoice::Mode::Open, {msProjectFiles()}}).choosePath();
    if (path.isEmpty())
        return;
    // The whole file is read before anything changes: a file that is not MS Project XML leaves
    // the table and the plan as they were.
    const ImportedPlan imported = mspdi::read(path);
    planexchange::TablePlan plan = planexchange::tablePlan(imported.plan);
    if (plan.works.rowCount() == 0)
        throw KestrinError(
            QStringLiteral("В файле «%1» нет задач").arg(QFileInfo(path).fileName()));
    // The works are one undo step, as reading a work list is; the plan (resources, calendar,
    // start date) is the imported project's from now on.
    changeWorks(0, m_table->rowCount(), std::move(plan.works));
    m_plan = std::move(plan.plan);
    followUpReading();
    if (!imported.notes.isEmpty()) {
        TfmImportNotes notes(QFileInfo(path).fileName(), imported.notes, this);
        execWindow(notes);
    }
}

void TfmMain::sbExportClick()
{
    const std::vector<ExportFormat> formats = exportFormats();
    QList<FileType> types;
    for (const ExportFormat& format : formats)
        types.append(format.type);
    const std::optional<FileChoice::Chosen> chosen =
        FileChoice::of(this, {"sdExport", FileChoice::Mode::Save, types}).choose();
    if (!chosen)
        return;
    // The exports carry the computed times: those of the table as it is now.
    sbRecalcClick();
    formats[std::size_t(chosen->type)].write(
        chosen->path, planexchange::exportedPlan(*m_table, m_plan, m_plan.startDate()),
        planexchange::computedTimes(*m_table, m_numbers));
}
