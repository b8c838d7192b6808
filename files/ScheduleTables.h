#pragma once

#include "Query.h"
#include "ScheduleTable.h"
#include "Table.h"

#include <QStringList>

#include <functional>

class DateFormat;
class NumberFormat;
class QWidget;
class WorkCells;

namespace report {
class DataSet;
struct ReportLayout;
} // namespace report

// What dBASE tables are created, filled and read through, kept for the run: qStore is the creation
// template, which qCreate runs with the table's name filled in, and dtData the table written or
// read. The dBASE export and the table report are its two uses.
class ScheduleTables
{
public:
    // The dBASE export of the works to the chosen path (scheduletable::exportTo).
    void exportTo(const QString& path, const WorkCells& works, const NumberFormat& numbers,
                  const DateFormat& dates);

    // The table report over a temporary schedule table in the private temporary folder, shown in
    // the preview until the user closes it. The table is closed and its file removed on every way
    // out, also when filling it or showing the preview failed; its own failure to close matters
    // no more then.
    void previewReport(const report::ReportLayout& layout, const WorkCells& works,
                       const NumberFormat& numbers, const DateFormat& dates, QWidget* parent);
    // The same report written as a PDF at path, without the preview (the command-line program).
    // Its fonts need a QGuiApplication.
    void exportReport(const QString& path, const report::ReportLayout& layout,
                      const WorkCells& works, const NumberFormat& numbers, const DateFormat& dates);

private:
    // Fills the temporary schedule table and hands its records to `use`; the table is closed and
    // removed on every way out.
    void withTemporaryTable(const WorkCells& works, const NumberFormat& numbers,
                            const DateFormat& dates,
                            const std::function<void(const report::DataSet&)>& use);

    const QStringList qStore = scheduletable::creationTemplate();
    db::Query qCreate;
    db::Table dtData;
};
