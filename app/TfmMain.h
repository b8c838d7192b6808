#pragma once

#include "DateFormat.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "ScheduleDates.h"
#include "ScheduleTables.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class CommandProgress;
struct GanttLevelling;
class CommandSet;
class EventIndex;
class PageScroller;
class QComboBox;
class QDialog;
class QLabel;
class LongLineLabel;
class TfmGraphReport;
class TfmReport;
class WorkGrid;
class WorkHistory;
class WorkInputs;
class WorkTable;
struct ShownState;

// The main window: the whole workplace. It owns every piece of shared state of the run: the work
// table, the event selectors, the automatic ends mode, the start date and the critical path list.
// Its commands are one table (CommandSet): each runs inside the command guard and delegates the
// work to the widget-free libraries, and updateCommands then derives every enabled state from the
// window's state. The windows it opens own their own state and file choices.
class TfmMain : public QWidget
{
    Q_OBJECT

public:
    explicit TfmMain(QWidget* parent = nullptr);
    ~TfmMain() override;

    WorkTable& workTable() { return *m_table; }
    const WorkHistory& workHistory() const { return *m_history; }
    const QStringList& criticalPath() const { return m_criticalPath; }
    double startDate() const { return m_plan.startDate(); }
    bool automaticEnds() const { return m_automaticEnds; }
    // What the user set up beside the works: resources and the settings of the planning windows.
    // The plan is the one place of the start date; its ends and automatic mode follow the
    // selectors at every updateCommands.
    Plan& plan() { return m_plan; }
    const Plan& plan() const { return m_plan; }
    // The day of every time of the schedule, by the plan's working calendar from the start date:
    // what every window that shows a date of the schedule dates it by. Raises when the plan's
    // calendar section is damaged.
    ScheduleDates scheduleDates() const;

    // Every command's enabled and checked state, and the selectors', from the window's state: the
    // one place they are set. sbEdit, sbDel, sbCopy and sbCopyAll need works; sbRecalc,
    // sbCalendar, sbExport and the windows of a calculated network need both selectors named; undo
    // and redo follow the history; every other command is always enabled.
    void updateCommands();
    // Main-window routines that the commands run after changing the table.
    void FillEventLists();
    void RecalcOrClear();

    // Commands, as their buttons run them (errors propagate to the guard of the command).
    void sbNewLineClick();
    void sbEditClick();
    void sbDelClick();
    void sbRecalcClick();
    void sbCalendarClick();
    void sbWorkCalendarClick();
    void sbLoadTempClick();
    void sbSaveTempClick();
    void sbSaveBaseClick();
    void sbPrintClick();
    void tbGraphClick();
    void sbAnalysisClick();
    void sbDiagramClick();
    void sbGanttClick();
    void sbRiskClick();
    // The time–cost window; applying a point of it writes the durations as one undo step.
    void sbCostClick();
    void sbResourcesClick();
    void cbExitClick();
    void sbInitBordersClick();
    void cbFromChange();
    // Further ways into the works: undo and redo, the clipboard, CSV files.
    void sbUndoClick();
    void sbRedoClick();
    void sbCopyClick();
    void sbCopyAllClick();
    void sbPasteClick();
    void sbLoadCsvClick();
    void sbSaveCsvClick();
    // Exchange with other planning tools (TfmMainExchange.cpp).
    void sbImportClick();
    void sbExportClick();
    // The plan: the details window, the plan file.
    void sbDetailsClick();
    void sbLoadPlanClick();
    void sbSavePlanClick();

    // Whether the works' details or the plan's resources changed since the plan was last saved or
    // read (never when there are none).
    bool hasUnsavedPlan() const;
    // Before the open plan is left (closing, opening another file): asks "Сохранить изменения
    // плана?" (mbSavePlan: Да / Нет / Отмена) when hasUnsavedPlan, saving on Да. False when the
    // user cancels, in the question or in the save dialog: the command then stops.
    bool mayLeavePlan();

    int currentRow() const;
    void setCurrentRow(int row);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void addCommands();
    void buildToolBars(QWidget* coolBar);
    void bindKeys();
    // The events of the table as it is now, indexed once per change of its names.
    const EventIndex& events();
    bool bothEndsNamed() const;
    // Shows a window of its own over the main window until it is closed; the running command's
    // progress ends first (CommandProgress::finish).
    void execWindow(QDialog& window);
    // What the Gantt chart shows of the levelling: the saved levelled starts when they fit the
    // network, and the load of the resource last shown in the resources window.
    GanttLevelling ganttLevelling();
    // The follow-up of every change of the works: the computed columns, the event lists and the
    // commands.
    void worksChanged();
    // What reading a file runs after it: the lists, automatic ends, recalculation.
    void followUpReading();

    // Changes of the works go through the undo history: rows at .. at + replaced - 1 give way to
    // `rows`. The first form makes the change, the second records a whole-table change already
    // made (reading a file), given the inputs and the state the table had before it.
    void changeWorks(int at, int replaced, WorkInputs rows);
    void recordReading(WorkInputs previous, ShownState before);
    // The window's state as an undo step keeps it, and the way back to one.
    ShownState shownState() const;
    void showEnds(const QString& startEvent, const QString& endEvent, bool automaticEnds);
    void showExchangedState(const ShownState& state);
    // Writes the plan file; the history's present becomes the saved plan.
    void writePlan(const QString& path);
    // The one-line notice under the grid; an empty text hides it.
    void showNotice(const QString& text);

    WorkTable* m_table;
    Plan m_plan;
    // The user's locale as the run found it: decimal separator, short date, name order.
    NameCollation m_names;
    NumberFormat m_numbers;
    DateFormat m_dates;
    std::unique_ptr<EventIndex> m_events;
    quint64 m_eventsRevision = 0;
    // The progress of the command running now; null between commands.
    CommandProgress* m_commandProgress = nullptr;
    CommandSet* m_commands = nullptr;
    WorkHistory* m_history = nullptr;

    WorkGrid* sgMain = nullptr;
    PageScroller* psMain = nullptr;
    LongLineLabel* pWay = nullptr;
    QComboBox* cbFrom = nullptr;
    QComboBox* cbTo = nullptr;

    // The dBASE export's and the table report's database objects.
    ScheduleTables m_scheduleTables;
    // The two report layouts, made once after the window and kept for the run.
    TfmReport* m_report = nullptr;
    TfmGraphReport* m_graphReport = nullptr;

    QLabel* lNotice = nullptr;
    // The plan file last saved or read; the save question's Да writes there.
    QString m_planPath;

    bool m_automaticEnds = false;
    QStringList m_criticalPath;
    // How the computed columns were last written: by a recalculation with these selector texts,
    // or emptied. An undo writes them again the same way (ShownState).
    bool m_calculated = false;
    QString m_calculatedStart;
    QString m_calculatedEnd;
    bool m_centred = false;
};
