#pragma once

#include "RiskReport.h"
#include "RiskSettings.h"
#include "RiskSimulation.h"
#include "RiskTableInput.h"
#include "ToolWindow.h"

#include <atomic>
#include <memory>
#include <optional>

class DateFormat;
class NumberFormat;
class Plan;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QSpinBox;
class QStandardItemModel;
class QTableView;
class RiskChartView;
class ScheduleDates;
struct RiskSheet;

// The risk analysis window (fmRisk): the probability of finishing by a directive date between the
// selected events, by the analytic method from the works' estimates and by a Monte Carlo
// simulation, with the histogram of the project length, its percentiles and the works' criticality
// indices; printed through the report preview, the tables saved as CSV (sdRiskCsv), the chart as
// PDF, SVG or PNG (sdRiskChart). Made anew for each opening and shown modally. Its settings
// (method, law, runs, seed, confidence, and the directive date once the user sets one) are written
// to the plan at every change, so the plan file keeps them. The simulation runs on other threads
// while the window stays live; sbCancel stops it and keeps the runs made.
class TfmRisk : public ToolWindow
{
    Q_OBJECT

public:
    // The dates, the plan and the formats must outlive the window. Raises what the analytic
    // method raises, so the window is not made.
    TfmRisk(risk::RiskTableInput input, const ScheduleDates& dates, Plan& plan,
            const NumberFormat& numbers, const DateFormat& dateFormat, QWidget* parent = nullptr);
    ~TfmRisk() override;

    // Handlers, as the controls run them.
    void cbEstimateChange();
    void deDirectiveChange();
    void eConfidenceChange();
    void simulationSettingChange();
    void sbSimulateClick();
    void sbCancelClick();
    void tbPrintRiskClick();
    void tbSaveRiskCsvClick();
    void tbSaveRiskChartClick();
    void tbCloseRiskClick();

    void reject() override;

protected:
    void updateCommands() override;

private:
    void buildControls();
    void showAnalytic();
    void showDirective();
    void showSimulation();
    void storeSettings();
    long double directiveDays() const;
    RiskSheet sheet() const;

    risk::RiskTableInput m_input;
    const ScheduleDates& m_dates;
    Plan& m_plan;
    const NumberFormat& m_numbers;
    const DateFormat& m_dateFormat;
    risk::RiskSettings m_settings;
    std::unique_ptr<risk::RiskReport> m_report;
    std::optional<risk::SimulationResult> m_result;
    long double m_resultDirective = -1; // the Tд the last simulation counted exactly
    bool m_running = false;
    std::atomic<bool> m_cancel{false};
    bool m_loading = true; // controls being filled: their signals are not the user's

    QComboBox* cbEstimate = nullptr;
    QLabel* lExpected = nullptr;
    QDateEdit* deDirective = nullptr;
    QLabel* lProbability = nullptr;
    QLabel* lSimProbability = nullptr;
    QDoubleSpinBox* eConfidence = nullptr;
    QLabel* lConfidenceDate = nullptr;
    QComboBox* cbDistribution = nullptr;
    QSpinBox* eRuns = nullptr;
    QSpinBox* eSeed = nullptr;
    QProgressBar* pbSimulation = nullptr;
    QLabel* lSimulated = nullptr;
    RiskChartView* pbChart = nullptr;
    QTableView* sgPercentiles = nullptr;
    QTableView* sgCriticality = nullptr;
    QStandardItemModel* m_percentiles = nullptr;
    QStandardItemModel* m_criticality = nullptr;
};
