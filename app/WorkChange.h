#pragma once

#include "Plan.h"
#include "WorkInputs.h"

#include <QString>
#include <QStringList>
#include <QUndoCommand>

#include <memory>

class WorkTable;

// What the main window shows besides the works, as an undo step gives it back: the event
// selectors, the automatic ends mode, the current row, the plan's resources (a step of no rows
// is a change of the resources alone), and how the computed columns were last
// written. Those are not kept: they are written again the same way, by a recalculation with the
// selector texts of that time (which the follow-up of a change may have emptied since), or
// emptied. Only a recalculation writes the critical path line, so an emptied table keeps the line
// and path that stood beside it. The plan's working calendar goes back with them, as it decides
// the dates the recalculation writes.
struct ShownState
{
    QString startEvent;
    QString endEvent;
    bool automaticEnds = false;
    int currentRow = 0;
    std::vector<Resource> resources;

    bool calculated = false;
    QString calculatedStart;
    QString calculatedEnd;
    QString pathLine;         // when not calculated
    QStringList criticalPath; // when not calculated

    PlanSection calendar; // the plan's section plansection::kCalendar
};

// One change of the works on the undo stack: rows at .. at + n - 1 of the table now stand where
// the rows it keeps stood. Undoing and redoing are one and the same exchange: the rows standing
// are encoded and kept, the kept ones put back. So a step holds one side of the change only, and
// the input cells and details only (WorkInputs): the computed cells are the follow-up's to write. A
// step about an added, edited or deleted work keeps that one row; reading a file keeps the table
// read over, encoded in a fraction of the table's memory. A step that changes no row (none replaced
// by none) changes the shown state alone: applying a working calendar is one.
class WorkChange final : public QUndoCommand
{
public:
    // A change to be made: rows at .. at + replaced - 1 are to give way to `rows`; redo() makes
    // it. Replacing the whole table by no rows leaves one empty row.
    WorkChange(WorkTable& table, int at, int replaced, WorkInputs rows, ShownState before);
    // A change already made: rows at .. at + count - 1 stand where `replaced` stood. The first
    // redo(), which the stack runs when the step is pushed, does nothing.
    static std::unique_ptr<WorkChange> made(WorkTable& table, int at, int count,
                                            WorkInputs replaced, ShownState before);

    // Makes the change unless it was made already; the stack's first redo() then does nothing.
    void make();

    void undo() override;
    void redo() override;

    // Takes the state the window is leaving and gives the one it returns to.
    ShownState exchangeState(ShownState leaving);

    // The memory the step holds, in bytes.
    qsizetype byteSize() const;
    // A dropped step gave its memory back and can no longer be undone or redone.
    bool isDropped() const { return m_dropped; }
    void drop();

private:
    void exchangeRows();

    WorkTable& m_table;
    int m_at;
    int m_standing;
    WorkInputs m_kept;
    ShownState m_state;
    bool m_skipRedo = false;
    bool m_dropped = false;
};
