#pragma once

#include "LevellingSection.h"
#include "NumberFormat.h"
#include "ResourceTables.h"

#include "ToolWindow.h"

class LoadChartView;
class Plan;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QToolBar;
class ResourceNetwork;

// The resources window fmResources: the load profile of the resource chosen in cbResource under
// the schedule chosen in cbSchedule (early starts, late starts, or the levelled schedule), the
// stretches where it exceeds the amount available (sgOverloads), and the levelling: sbLevel
// searches for eLevelSeconds seconds at most for the shortest schedule within every resource's
// amount, shows its length beside L in lLevelled and its starts in sgLevelled, and keeps it in the
// plan's levelling section (never in the work table). The profile is printed through the report
// preview and saved as PDF, SVG or PNG (sdResourceProfile), the tables as CSV
// (sdResourcesCsv). Made anew for each opening, shown modally; every command runs inside the
// command guard, so a work that needs more of a resource than there is at all shows its message
// and no levelled schedule is made.
class TfmResources : public ToolWindow
{
    Q_OBJECT

public:
    // The network and the plan must outlive the window; the plan's levelling section is read now
    // (a levelled schedule saved for this very network is shown again) and written by sbLevel.
    TfmResources(const ResourceNetwork& network, Plan& plan, const NumberFormat& numbers,
                 QWidget* parent = nullptr);
    ~TfmResources() override;

    // The levelled starts in the network's time units; empty before a levelling.
    const std::vector<int>& levelledStarts() const { return m_settings.starts; }
    const ResourceLoad& shownLoad() const;

    // Handlers, as the controls run them.
    void cbResourceChange();
    void cbScheduleChange();
    void sbLevelClick();
    void tbPrintResourcesClick();
    void tbSaveProfileClick();
    void tbSaveResourcesCsvClick();
    void tbCloseResourcesClick();

protected:
    void updateCommands() override;

private:
    void buildControls();
    void showLoad();
    void showLevelled();
    int chosenResource() const;
    LoadSchedule chosenSchedule() const;
    const std::vector<int>& startsOf(LoadSchedule schedule) const;
    QString caption() const;
    void saveSettings();

    const ResourceNetwork& m_network;
    Plan& m_plan;
    NumberFormat m_numbers;
    LevellingSettings m_settings;

    QToolBar* ToolBar1 = nullptr;
    QComboBox* cbResource = nullptr;
    QComboBox* cbSchedule = nullptr;
    QComboBox* cbPaper = nullptr;
    LoadChartView* pbProfile = nullptr;
    QTableWidget* sgOverloads = nullptr;
    QLabel* lLevelled = nullptr;
    QLineEdit* eLevelSeconds = nullptr;
    QTableWidget* sgLevelled = nullptr;
};
