#include "TfmMain.h"

#include "CostCurveTable.h"
#include "CostInput.h"
#include "TfmCost.h"
#include "WorkInputs.h"
#include "WorkTable.h"

#include <QComboBox>

// The time–cost command: the curve of the table between the selected ends, shown in its window;
// the point the user applies comes back as new durations (and the costs at them) of the works it
// shortens, written as one change of the rows from the first such work to the last, so that one
// undo gives the table back.
void TfmMain::sbCostClick()
{
    CostCurveTable curve(costInput(*m_table, cbFrom->currentText(), cbTo->currentText(), m_numbers),
                         m_numbers);
    TfmCost window(std::move(curve), m_plan, m_numbers, this);
    execWindow(window);
    const std::vector<AppliedWork>& applied = window.appliedWorks();
    if (window.property("Tag").toInt() != 1 || applied.empty())
        return;

    const int first = applied.front().row;
    const int last = applied.back().row;
    WorkInputs rows;
    auto next = applied.begin();
    for (int row = first; row <= last; ++row) {
        QString duration = m_table->cell(WorkColumn::Duration, row);
        WorkDetails details = m_table->details(row);
        if (next != applied.end() && next->row == row) {
            duration = next->duration;
            details.setNumber(DetailNumber::NormalCost, next->cost);
            ++next;
        }
        rows.append(m_table->cellView(WorkColumn::StartEvent, row),
                    m_table->cellView(WorkColumn::EndEvent, row), duration, details);
    }
    changeWorks(first, last - first + 1, std::move(rows));
    worksChanged();
}
