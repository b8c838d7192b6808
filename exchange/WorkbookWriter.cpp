#include "WorkbookWriter.h"

#include "AtomicFile.h"
#include "DateFormat.h"
#include "ExportCommon.h"
#include "KestrinError.h"
#include "ScheduleDates.h"
#include "WorkCells.h"

#include <QFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <clocale>
#include <locale.h>

namespace workbook {
namespace {

// The workbook, closed (and freed) on any way out.
struct Workbook
{
    lxw_workbook* book = nullptr;
    ~Workbook()
    {
        if (book)
            workbook_close(book);
    }
    lxw_error close()
    {
        const lxw_error result = workbook_close(book);
        book = nullptr;
        return result;
    }
};

void writeText(lxw_worksheet* sheet, int row, int column, const QString& text)
{
    worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), text.toUtf8().constData(),
                           nullptr);
}

void writeNumber(lxw_worksheet* sheet, int row, int column, double value)
{
    worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(column), value, nullptr);
}

// An event that is a whole number is a number cell, any other a text cell.
void writeEvent(lxw_worksheet* sheet, int row, int column, const QString& event)
{
    bool whole = false;
    const qint64 number = event.toLongLong(&whole);
    if (whole)
        writeNumber(sheet, row, column, double(number));
    else
        writeText(sheet, row, column, event);
}

void fill(lxw_workbook* book, const ExchangePlan& plan, const std::vector<WorkTimes>& times)
{
    lxw_format* dateFormat = workbook_add_format(book);
    format_set_num_format(dateFormat, "dd.mm.yyyy");
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    const std::vector<double> durations = exchangeexport::durations(plan);
    const ScheduleDates dates(plan.calendar, DateFormat::daysOf(plan.startDate));

    lxw_worksheet* works = workbook_add_worksheet(book, "Работы");
    for (int column = 0; column < kWorkColumnCount; ++column)
        worksheet_write_string(
            works, 0, lxw_col_t(column),
            workColumnCaption(static_cast<WorkColumn>(column)).toUtf8().constData(), bold);
    worksheet_write_string(works, 0, kWorkColumnCount, "Название", bold);
    for (std::size_t w = 0; w < plan.works.size(); ++w) {
        const ExchangeWork& work = plan.works[w];
        const WorkTimes& time = times[w];
        const int row = int(w) + 1;
        writeNumber(works, row, columnIndex(WorkColumn::PrecedingWorks), time.precedingWorks);
        writeEvent(works, row, columnIndex(WorkColumn::StartEvent), work.startEvent);
        writeEvent(works, row, columnIndex(WorkColumn::EndEvent), work.endEvent);
        writeNumber(works, row, columnIndex(WorkColumn::Duration), durations[w]);
        writeNumber(works, row, columnIndex(WorkColumn::EarlyStart), time.earlyStart);
        writeNumber(works, row, columnIndex(WorkColumn::EarlyFinish), time.earlyFinish);
        writeNumber(works, row, columnIndex(WorkColumn::LateStart), time.lateStart);
        writeNumber(works, row, columnIndex(WorkColumn::LateFinish), time.lateFinish);
        writeNumber(works, row, columnIndex(WorkColumn::TotalFloat), time.totalFloat);
        writeNumber(works, row, columnIndex(WorkColumn::FreeFloat), time.freeFloat);
        const QDate day = dates.dateOf(time.earlyStart);
        lxw_datetime date = {day.year(), day.month(), day.day(), 0, 0, 0};
        worksheet_write_datetime(works, lxw_row_t(row), columnIndex(WorkColumn::BeginDate), &date,
                                 dateFormat);
        if (!work.name.isEmpty())
            writeText(works, row, kWorkColumnCount, work.name);
    }

    lxw_worksheet* resources = workbook_add_worksheet(book, "Ресурсы");
    worksheet_write_string(resources, 0, 0, "Ресурс", bold);
    worksheet_write_string(resources, 0, 1, "Единица", bold);
    worksheet_write_string(resources, 0, 2, "Наличие", bold);
    for (std::size_t r = 0; r < plan.resources.size(); ++r) {
        writeText(resources, int(r) + 1, 0, plan.resources[r].name);
        writeText(resources, int(r) + 1, 1, plan.resources[r].unit);
        writeNumber(resources, int(r) + 1, 2, plan.resources[r].available);
    }

    lxw_worksheet* demands = workbook_add_worksheet(book, "Потребности");
    const char* captions[] = {"Начало", "Конец", "Название", "Ресурс", "Потребность"};
    for (int column = 0; column < 5; ++column)
        worksheet_write_string(demands, 0, lxw_col_t(column), captions[column], bold);
    for (std::size_t d = 0; d < plan.demands.size(); ++d) {
        const ExchangeDemand& demand = plan.demands[d];
        const ExchangeWork& work = plan.works[std::size_t(demand.work)];
        const int row = int(d) + 1;
        writeEvent(demands, row, 0, work.startEvent);
        writeEvent(demands, row, 1, work.endEvent);
        writeText(demands, row, 2, work.name);
        writeText(demands, row, 3, plan.resources[std::size_t(demand.resource)].name);
        writeNumber(demands, row, 4, demand.amount);
    }
}

// libxlsxwriter writes numbers with the C library's printf, which puts the user's decimal comma
// into the file (Qt sets the C locale from the environment), and Excel and every other reader
// take such a cell for broken. While it writes, this thread alone uses the "C" numbers.
class CNumbersOnThisThread
{
public:
    CNumbersOnThisThread()
        : m_locale(newlocale(LC_NUMERIC_MASK, "C", duplocale(LC_GLOBAL_LOCALE))),
          m_previous(m_locale ? uselocale(m_locale) : nullptr)
    {
    }
    ~CNumbersOnThisThread()
    {
        if (m_locale) {
            uselocale(m_previous);
            freelocale(m_locale);
        }
    }
    CNumbersOnThisThread(const CNumbersOnThisThread&) = delete;
    CNumbersOnThisThread& operator=(const CNumbersOnThisThread&) = delete;

private:
    locale_t m_locale;
    locale_t m_previous;
};

} // namespace

void write(const QString& path, const ExchangePlan& plan, const std::vector<WorkTimes>& times)
{
    AtomicFile file(path);
    // libxlsxwriter writes the workbook to a path of its own: the temporary file's.
    file.adopt([&](const QString& temporaryPath) {
        const CNumbersOnThisThread cNumbers;
        Workbook workbook;
        workbook.book = workbook_new(QFile::encodeName(temporaryPath).constData());
        if (!workbook.book)
            file.raise(AtomicFile::Failure::Stage::Folder, errno);
        fill(workbook.book, plan, times);
        if (const lxw_error error = workbook.close(); error != LXW_NO_ERROR)
            file.raise(AtomicFile::Failure::Stage::Write,
                       error == LXW_ERROR_CREATING_XLSX_FILE ? errno : 0);
    });
    file.commit();
}

} // namespace workbook
