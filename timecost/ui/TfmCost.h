#pragma once

#include "CostCurveTable.h"
#include "NumberFormat.h"

#include "ToolWindow.h"

#include <vector>

class CostChartView;
class Plan;
class QLabel;
class QLineEdit;
class QTableWidget;
class QToolBar;
struct CostChart;

// The time–cost window: the least direct cost of finishing the network within every length from
// the normal one down to the shortest, as a table of the curve's corners (sgCurve) and a chart,
// with the indirect cost of a day (eDayCost, kept in the plan) and the total; the row of the
// least total is made current and named in lBest. sbApply closes the window with "Tag" 1 and the
// works of the current row for the caller to write into the table; every other way out leaves
// "Tag" 0. Print, PDF/SVG/PNG (sdCost) and CSV (sdCostCsv) through the run's file choices.
class TfmCost : public ToolWindow
{
    Q_OBJECT

public:
    // The plan must outlive the window; the window reads the day cost from it and writes it back
    // whenever the user changes it.
    TfmCost(CostCurveTable curve, Plan& plan, const NumberFormat& numbers,
            QWidget* parent = nullptr);
    ~TfmCost() override;

    const CostCurveTable& curve() const { return m_curve; }
    // What sbApply handed back: the works of the chosen row whose durations differ from the
    // table's. Empty until then.
    const std::vector<AppliedWork>& appliedWorks() const { return m_applied; }

    // Handlers, as the controls run them.
    void eDayCostChange();
    void tbPrintCostClick();
    void tbSaveCostClick();
    void tbSaveCostCsvClick();
    void sbApplyClick();
    void tbCloseCostClick();

protected:
    void updateCommands() override;

private:
    void buildToolBar();
    void buildTable();
    // The cost columns, the chart and lBest after a change of the day cost; the best row current.
    void showTotals();
    CostChart chart() const;
    int chosenRow() const;

    CostCurveTable m_curve;
    Plan& m_plan;
    NumberFormat m_numbers;
    std::vector<AppliedWork> m_applied;

    QToolBar* ToolBar1 = nullptr;
    QLineEdit* eDayCost = nullptr;
    QLabel* lBest = nullptr;
    CostChartView* pbChart = nullptr;
    QTableWidget* sgCurve = nullptr;
};
