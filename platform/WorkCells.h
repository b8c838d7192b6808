#pragma once

#include <QString>
#include <QStringView>

#include <array>

// The columns of the work table. Column 0 and 4..10 are computed, 1..3 are the input of a work.
enum class WorkColumn : int {
    PrecedingWorks = 0,
    StartEvent = 1,
    EndEvent = 2,
    Duration = 3,
    EarlyStart = 4,
    EarlyFinish = 5,
    LateStart = 6,
    LateFinish = 7,
    TotalFloat = 8,
    FreeFloat = 9,
    BeginDate = 10,
};

inline constexpr int kWorkColumnCount = 11;

// The computed columns, in column order.
inline constexpr std::array<WorkColumn, 8> kComputedColumns{
    WorkColumn::PrecedingWorks, WorkColumn::EarlyStart, WorkColumn::EarlyFinish,
    WorkColumn::LateStart,      WorkColumn::LateFinish, WorkColumn::TotalFloat,
    WorkColumn::FreeFloat,      WorkColumn::BeginDate,
};
using ComputedTexts = std::array<QStringView, kComputedColumns.size()>;

// The captions of the columns: the header strip above the grid shows them, and the text exports
// of the table head their columns with them.
inline constexpr const char16_t* kWorkColumnCaptions[kWorkColumnCount] = {
    u"К-во предш. работ",
    u"Начало",
    u"Конец",
    u"Продолжит.",
    u"В.Р.Н.",
    u"В.Р.О.",
    u"В.П.Н.",
    u"В.П.О.",
    u"О.З.В.",
    u"Ч.З.В.",
    u"Дата",
};

constexpr int columnIndex(WorkColumn column)
{
    return static_cast<int>(column);
}

inline QString workColumnCaption(WorkColumn column)
{
    return QString::fromUtf16(kWorkColumnCaptions[columnIndex(column)]);
}

// The work table as the logic sees it: text cells in 11 columns and at least one row. This is
// all the schedule calculation, the files and the graph need; none of it involves widgets.
class WorkCells
{
public:
    virtual ~WorkCells() = default;

    virtual int rowCount() const = 0;
    // A request below 1 gives 1 row; rows added start with all cells empty.
    virtual void setRowCount(int rows) = 0;

    // The view stays valid until the row is next changed or removed.
    virtual QStringView cellView(WorkColumn column, int row) const = 0;
    virtual void setCell(WorkColumn column, int row, QStringView text) = 0;
    // All computed cells of a row at once, in the order of kComputedColumns; the texts must not
    // be views into this row.
    virtual void setComputedCells(int row, const ComputedTexts& texts)
    {
        for (std::size_t i = 0; i < texts.size(); ++i)
            setCell(kComputedColumns[i], row, texts[i]);
    }
    // Whether, right now, setComputedCells may run for different rows on several threads at
    // once (nothing else touching the table meanwhile).
    virtual bool takesRowsConcurrently() const { return false; }

    // The work's name, where the table keeps one beside the cells (its details); none here. The
    // analysis, the Gantt chart and the diagram show it.
    virtual QString workName(int row) const
    {
        Q_UNUSED(row);
        return {};
    }
    // Whether any work has a name, so that a view adds a column for names only when there are.
    virtual bool hasWorkNames() const { return false; }

    QString cell(WorkColumn column, int row) const { return cellView(column, row).toString(); }

    // One row whose start event is empty: the state at start-up and after the last work went.
    bool isEmptyTable() const
    {
        return rowCount() == 1 && cellView(WorkColumn::StartEvent, 0).isEmpty();
    }

protected:
    WorkCells() = default;
    WorkCells(const WorkCells&) = default;
    WorkCells& operator=(const WorkCells&) = default;
};
