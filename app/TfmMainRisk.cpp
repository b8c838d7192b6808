#include "TfmMain.h"

#include "RiskTableInput.h"
#include "ScheduleDates.h"
#include "TfmRisk.h"
#include "WorkCalendar.h"
#include "WorkTable.h"

#include <QComboBox>

void TfmMain::sbRiskClick()
{
    // The works are read, and a loop reported, before the window is made.
    risk::RiskTableInput input = risk::readRiskInput(*m_table, events(), cbFrom->currentText(),
                                                     cbTo->currentText(), m_numbers);
    const ScheduleDates dates(WorkCalendar{}, m_startDate);
    TfmRisk window(std::move(input), dates, m_plan, m_numbers, m_dates, this);
    execWindow(window);
}
