#pragma once

#include "GanttChart.h"
#include "GanttGeometry.h"
#include "GanttPrint.h"

#include "ToolWindow.h"

#include <memory>

enum class Picture;
class DateFormat;
class GanttView;
class NumberFormat;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QStackedWidget;
class QToolBar;
class QToolButton;
class WorkCells;

// The Gantt chart window: the calculated schedule as bars on the calendar, with the floats, the
// critical works and L, printed through the report preview or saved as PDF, SVG or PNG. Made
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
    ~TfmGantt() override;

    const GanttChart& chart() const { return m_chart; }
    // Null while the chart is not ready.
    const GanttGeometry* geometry() const { return m_geometry.get(); }
    GanttView* view() const { return gvChart; }

    // Handlers, as the controls run them.
    void cbSortByStartChange();
    void cbScaleChange();
    void tbPrintGanttClick();
    void tbSaveGanttClick();

private:
    void buildToolBar();
    QToolButton* addCommand(const char* name, Picture picture, const QString& hint,
                            void (TfmGantt::*handler)());
    GanttScale chosenScale() const;
    GanttPaper chosenPaper() const;

    const DateFormat& m_dates;
    GanttChart m_chart;
    std::unique_ptr<GanttGeometry> m_geometry;

    QToolBar* ToolBar1 = nullptr;
    QToolButton* tbPrintGantt = nullptr;
    QToolButton* tbSaveGantt = nullptr;
    QToolButton* tbCloseGantt = nullptr;
    QComboBox* cbScale = nullptr;
    QComboBox* cbPaper = nullptr;
    QCheckBox* cbSortByStart = nullptr;
    QStackedWidget* pBody = nullptr;
    GanttView* gvChart = nullptr;
    QLabel* lbNotCalculated = nullptr;
    QFileDialog* sdGantt = nullptr;
};
