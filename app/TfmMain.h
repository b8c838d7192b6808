#pragma once

#include "DateFormat.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Query.h"
#include "ScheduleTable.h"
#include "Table.h"

#include <QStringList>
#include <QWidget>

#include <memory>

enum class Picture;
class CommandKeys;
class CommandProgress;
class EventIndex;
class PageScroller;
class QComboBox;
class QDialog;
class QFileDialog;
class QHeaderView;
class LongLineLabel;
class QTableView;
class QToolBar;
class QToolButton;
class TfmGraphReport;
class TfmReport;
class WorkHistory;
class WorkInputs;
class WorkTable;
struct ShownState;

// The main window: the whole workplace. It owns every piece of shared state of the run: the work
// table, the event selectors, the automatic ends mode, the start date and the critical path list.
// Its commands are thin: each runs inside the command guard and delegates the work to the
// widget-free libraries.
class TfmMain : public QWidget
{
    Q_OBJECT

public:
    explicit TfmMain(QWidget* parent = nullptr);
    ~TfmMain() override;

    WorkTable& workTable() { return *m_table; }
    const WorkHistory& workHistory() const { return *m_history; }
    const QStringList& criticalPath() const { return m_criticalPath; }
    double startDate() const { return m_startDate; }
    bool automaticEnds() const { return m_automaticEnds; }

    // Main-window routines that the commands run after changing the table.
    void EnableButtons();
    void EnableRecalc();
    void FillEventLists();
    void RecalcOrClear();

    // Commands, as their buttons run them (errors propagate to the guard in the button's slot).
    void sbNewLineClick();
    void sbEditClick();
    void sbDelClick();
    void sbRecalcClick();
    void sbCalendarClick();
    void sbLoadTempClick();
    void sbSaveTempClick();
    void sbSaveBaseClick();
    void sbPrintClick();
    void tbGraphClick();
    void sbAnalysisClick();
    void sbDiagramClick();
    void sbGanttClick();
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

    int currentRow() const;
    void setCurrentRow(int row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void buildToolBars(QWidget* coolBar);
    void buildHeaderStrip();
    void buildGrid();
    QToolButton* addCommand(QToolBar* bar, const char* name, Picture picture, const QString& hint,
                            void (TfmMain::*handler)());
    void keepCurrentRowInTable();
    // Enables or disables sbRecalc and every command that is enabled exactly when it is.
    void setRecalcEnabled(bool enabled);
    // The events of the table as it is now, indexed once per change of its names.
    const EventIndex& events();
    // A persistent file dialog: it keeps the name and filter entry last chosen for the run.
    QFileDialog* makeFileDialog(const char* name, bool save, const QString& filterName,
                                const QString& suffix);
    // Shows the dialog modally; the chosen name, or an empty text when cancelled.
    static QString chooseFile(QFileDialog* dialog);
    // Shows a window of its own over the main window until it is closed; the running command's
    // progress ends first (CommandProgress::finish).
    void execWindow(QDialog& window);
    // What reading a file runs after it: enabled states, event lists, automatic ends,
    // recalculation.
    void followUpReading();
    // The keys of the commands (CommandKeys) and the keyboard focus's way through the window.
    void bindKeys();

    // Changes of the works go through the undo history: rows at .. at + replaced - 1 give way to
    // `rows`. The first form makes the change, the second records a whole-table change already
    // made (reading a file), given the inputs and the state the table had before it.
    void changeWorks(int at, int replaced, WorkInputs rows);
    void recordReading(WorkInputs previous, ShownState before);
    // The window's state as an undo step keeps it, and the way back to one.
    ShownState shownState() const;
    void showEnds(const QString& startEvent, const QString& endEvent, bool automaticEnds);
    void showExchangedState(const ShownState& state);
    void enableUndoRedo();

    WorkTable* m_table;
    // The user's locale as the run found it: decimal separator, short date, name order.
    NameCollation m_names;
    NumberFormat m_numbers;
    DateFormat m_dates;
    std::unique_ptr<EventIndex> m_events;
    quint64 m_eventsRevision = 0;
    // The progress of the command running now; null between commands.
    CommandProgress* m_commandProgress = nullptr;

    QWidget* CoolBar1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolBar* ToolBar3 = nullptr;
    QHeaderView* HeaderControl1 = nullptr;
    QTableView* sgMain = nullptr;
    PageScroller* psMain = nullptr;
    LongLineLabel* pWay = nullptr;
    QToolButton* sbNewLine = nullptr;
    QToolButton* sbEdit = nullptr;
    QToolButton* sbDel = nullptr;
    QToolButton* sbUndo = nullptr;
    QToolButton* sbRedo = nullptr;
    QToolButton* sbCopy = nullptr;
    QToolButton* sbCopyAll = nullptr;
    QToolButton* sbPaste = nullptr;
    QToolButton* sbRecalc = nullptr;
    QToolButton* sbCalendar = nullptr;
    QToolButton* sbLoadTemp = nullptr;
    QToolButton* sbSaveTemp = nullptr;
    QToolButton* sbLoadCsv = nullptr;
    QToolButton* sbSaveCsv = nullptr;
    QToolButton* sbSaveBase = nullptr;
    QToolButton* sbPrint = nullptr;
    QToolButton* tbGraph = nullptr;
    QToolButton* sbAnalysis = nullptr;
    QToolButton* sbDiagram = nullptr;
    QToolButton* sbGantt = nullptr;
    QToolButton* cbExit = nullptr;
    QToolButton* sbInitBorders = nullptr;
    QComboBox* cbFrom = nullptr;
    QComboBox* cbTo = nullptr;
    QFileDialog* odMain = nullptr;
    QFileDialog* sdMain = nullptr;
    QFileDialog* sdBase = nullptr;
    QFileDialog* sdAnalysis = nullptr;
    QFileDialog* sdDiagramPdf = nullptr;
    QFileDialog* sdDiagramSvg = nullptr;
    QFileDialog* sdDiagramPng = nullptr;
    QFileDialog* odCsv = nullptr;
    QFileDialog* sdCsv = nullptr;

    WorkHistory* m_history = nullptr;
    CommandKeys* m_keys = nullptr;

    // What dBASE tables are created, filled and read through: qStore is the creation template,
    // which qCreate runs with the table's name filled in.
    const QStringList qStore = scheduletable::creationTemplate();
    db::Query qCreate;
    db::Table dtData;

    // The two report layouts, made once after the window and kept for the run.
    TfmReport* m_report = nullptr;
    TfmGraphReport* m_graphReport = nullptr;

    bool m_automaticEnds = false;
    double m_startDate = 0;
    QStringList m_criticalPath;
    // How the computed columns were last written: by a recalculation with these selector texts,
    // or emptied. An undo writes them again the same way (ShownState).
    bool m_calculated = false;
    QString m_calculatedStart;
    QString m_calculatedEnd;
    bool m_centred = false;
    int m_rowBeforeReset = 0;
};
