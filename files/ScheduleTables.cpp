#include "ScheduleTables.h"

#include "FileErrorText.h"
#include "KestrinError.h"
#include "PageOutput.h"
#include "PrivateTempFolder.h"
#include "ReportDocument.h"
#include "ScheduleDataSet.h"
#include "TfmPreview.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

void ScheduleTables::exportTo(const QString& path, const WorkCells& works,
                              const NumberFormat& numbers, const DateFormat& dates)
{
    scheduletable::exportTo(path, works, qStore, qCreate, dtData, numbers, dates);
}

void ScheduleTables::previewReport(const report::ReportLayout& layout, const WorkCells& works,
                                   const NumberFormat& numbers, const DateFormat& dates,
                                   QWidget* parent)
{
    withTemporaryTable(works, numbers, dates, [&](const report::DataSet& records) {
        report::showPreview(layout, &records, parent);
    });
}

void ScheduleTables::exportReport(const QString& path, const report::ReportLayout& layout,
                                  const WorkCells& works, const NumberFormat& numbers,
                                  const DateFormat& dates)
{
    withTemporaryTable(works, numbers, dates, [&](const report::DataSet& records) {
        const std::unique_ptr<report::ReportDocument> document =
            report::makeDocument(layout, &records);
        report::exportPdf(*document, path);
    });
}

void ScheduleTables::withTemporaryTable(const WorkCells& works, const NumberFormat& numbers,
                                        const DateFormat& dates,
                                        const std::function<void(const report::DataSet&)>& use)
{
    const QString folder = privateTempFolder();
    const QString name = QStringLiteral("$kestrin-preprint$.dbf");
    if (folder.isEmpty())
        throw KestrinError(cannotCreateFileText(name));
    const QString path = QDir(folder).filePath(name);
    dtData.close();
    // A table left behind by a program that was killed while printing.
    QFile::remove(path);
    const auto released = qScopeGuard([this, &path] {
        try {
            dtData.close();
        } catch (const KestrinError&) {
        }
        QFile::remove(path);
    });
    scheduletable::create(qCreate, qStore, folder, name);
    dtData.setTableName(name);
    dtData.setDatabaseName(folder);
    dtData.open();
    scheduletable::fill(dtData, works, numbers, dates);
    const ScheduleDataSet records(dtData, numbers, dates);
    use(records);
}
