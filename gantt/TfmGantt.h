#pragma once

#include "GanttChart.h"
#include "GanttGeometry.h"
#include "GanttPrint.h"

#include "ResourceTables.h"
#include "ToolWindow.h"

#include <memory>

class DateFormat;
class GanttView;
class LoadChartView;
class NumberFormat;
class QCheckBox;
class QComboBox;
class QLabel;
class QStackedWidget;
class QToolBar;
class WorkCells;

// What the resources window left for the chart: the levelled starts by table row (in days; empty
// when none fits the network), and the load of the resource last shown there under the calculated
// and under the levelled schedule.
struct GanttLevelling
{
    std::vector<std::optional<double>> startByRow;
    ResourceLoad calculatedLoad;
    ResourceLoad levelledLoad;
};

// The Gantt chart window: the calculated schedule as bars on the calendar, with the floats, the
// critical works and L, printed through the report preview or saved as PDF (the print), SVG or
// PNG through the run's file choice sdGantt, the type chosen there deciding a bare name's. Made
// anew for each opening and shown modally; it reads the work table as the last recalculation left
// it and the start date, and writes nothing back. When the computed columns are empty or do not
// read as numbers it says "Сначала пересчитайте график" and shows nothing else. Every command
// runs inside the command guard.
class TfmGantt : public ToolWindow
{
    Q_OBJECT

public:
    // The table and the formats must outlive the window; the table is read now and whenever rows
    // come into sight, and it does not change while the modal window is open.
    TfmGantt(const WorkCells& table, const NumberFormat& numbers, const DateFormat& dates,
             double startDate, QWidget* parent = nullptr);
    // The same with the works placed on the calendar by the working calendar's mapping.
    TfmGantt(const WorkCells& table, const NumberFormat& numbers, const DateFormat& dates,
             ScheduleDates scheduleDates, QWidget* parent = nullptr);
    ~TfmGantt() override;

    const GanttChart& chart() const { return m_chart; }
    // Null while the chart is not ready.
    const GanttGeometry* geometry() const { return m_geometry.get(); }
    GanttView* view() const { return gvChart; }

    // Shows the load profile under the bars, and lets cbLevelled show the levelled starts when
    // there are some. Before the window is shown.
    void setLevelling(GanttLevelling levelling);

    // Handlers, as the controls run them.
    void cbLevelledChange();
    void cbSortByStartChange();
    void cbScaleChange();
    void tbPrintGanttClick();
    void tbSaveGanttClick();
    void tbCloseGanttClick();

protected:
    void updateCommands() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildToolBar();
    GanttScale chosenScale() const;
    // The profile under the bars over the days the chart shows now, lined up with them.
    void showProfile();
    GanttPaper chosenPaper() const;

    const DateFormat& m_dates;
    GanttChart m_chart;
    std::unique_ptr<GanttGeometry> m_geometry;

    QToolBar* ToolBar1 = nullptr;
    QComboBox* cbScale = nullptr;
    QComboBox* cbPaper = nullptr;
    QCheckBox* cbSortByStart = nullptr;
    QCheckBox* cbLevelled = nullptr;
    LoadChartView* pbProfile = nullptr;
    GanttLevelling m_levelling;
    ResourceLoad m_shownLoad;
    QString m_profileCaption;
    QStackedWidget* pBody = nullptr;
    GanttView* gvChart = nullptr;
    QLabel* lbNotCalculated = nullptr;
};
