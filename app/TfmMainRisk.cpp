#include "TfmMain.h"

#include "RiskTableInput.h"
#include "ScheduleDates.h"
#include "TfmRisk.h"
#include "WorkTable.h"

#include <QComboBox>

void TfmMain::sbRiskClick()
{
    // The works are read, and a loop reported, before the window is made.
    risk::RiskTableInput input = risk::readRiskInput(*m_table, events(), cbFrom->currentText(),
                                                     cbTo->currentText(), m_numbers);
    // The window keeps a reference to the dates for as long as it runs.
    const ScheduleDates dates = scheduleDates();
    TfmRisk window(std::move(input), dates, m_plan, m_numbers, m_dates, this);
    execWindow(window);
}
