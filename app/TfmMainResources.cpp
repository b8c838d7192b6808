#include "TfmMain.h"

#include "ResourceNetwork.h"
#include "TfmResources.h"

#include <QComboBox>

// The resources window over the works between the chosen ends; it keeps what it levels in the
// plan.
void TfmMain::sbResourcesClick()
{
    const ResourceNetwork network(*m_table, events(), cbFrom->currentText(), cbTo->currentText(),
                                  m_plan.resources(), m_numbers);
    TfmResources window(network, m_plan, m_numbers, this);
    execWindow(window);
}
