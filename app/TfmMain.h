#pragma once

#include "DateFormat.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Query.h"
#include "Table.h"

#include <QStringList>
#include <QWidget>

#include <memory>

enum class Picture;
class EventIndex;
class PageScroller;
class QComboBox;
class QFileDialog;
class QHeaderView;
class LongLineLabel;
class QTableView;
class QToolBar;
class QToolButton;
class TfmGraphReport;
class TfmReport;
class WorkTable;

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

    WorkTable* m_table;
    // The user's locale as the run found it: decimal separator, short date, name order.
    NameCollation m_names;
    NumberFormat m_numbers;
    DateFormat m_dates;
    std::unique_ptr<EventIndex> m_events;
    quint64 m_eventsRevision = 0;

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
    QToolButton* sbRecalc = nullptr;
    QToolButton* sbCalendar = nullptr;
    QToolButton* sbLoadTemp = nullptr;
    QToolButton* sbSaveTemp = nullptr;
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

    // The database objects through which dBASE tables are created, filled and read: qStore holds
    // the creation template only and is never run.
    db::Query qStore;
    db::Query qCreate;
    db::Table dtData;

    // The two report layouts, made once after the window and kept for the run.
    TfmReport* m_report = nullptr;
    TfmGraphReport* m_graphReport = nullptr;

    bool m_automaticEnds = false;
    double m_startDate = 0;
    QStringList m_criticalPath;
    bool m_centred = false;
    int m_rowBeforeReset = 0;
};
