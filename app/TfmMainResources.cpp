#include "TfmMain.h"

#include "KestrinError.h"
#include "LevellingSection.h"
#include "ResourceNetwork.h"
#include "TfmGantt.h"
#include "TfmResources.h"
#include "WorkTable.h"

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

GanttLevelling TfmMain::ganttLevelling()
{
    GanttLevelling levelling;
    if (m_plan.resources().empty() || !bothEndsNamed())
        return levelling;
    const LevellingSettings settings =
        LevellingSettings::fromSection(m_plan.section(QString::fromUtf16(plansection::kLevelling)));
    std::optional<ResourceNetwork> network;
    try {
        network.emplace(*m_table, events(), cbFrom->currentText(), cbTo->currentText(),
                        m_plan.resources(), m_numbers);
    } catch (const KestrinError&) {
        // The chart shows the table as calculated; a network the levelling cannot take (a loop,
        // durations finer than its grid) just has no profile under it.
        return levelling;
    }
    int resource = 0;
    for (int r = 0; r < int(m_plan.resources().size()); ++r)
        if (settings.resource == m_plan.resources()[std::size_t(r)].id)
            resource = r;
    levelling.calculatedLoad = resourceLoad(*network, network->earlyStarts(), resource);
    levelling.startByRow = levelledStartsByRow(settings, *network, m_table->rowCount());
    if (!levelling.startByRow.empty())
        levelling.levelledLoad = resourceLoad(*network, settings.starts, resource);
    return levelling;
}
