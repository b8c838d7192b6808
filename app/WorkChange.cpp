#include "WorkChange.h"

#include "WorkTable.h"

namespace {

qsizetype stringBytes(const QString& text)
{
    return static_cast<qsizetype>(sizeof(QString)) + text.capacity() * 2;
}

} // namespace

WorkChange::WorkChange(WorkTable& table, int at, int replaced, WorkInputs rows, ShownState before)
    : m_table(table), m_at(at), m_standing(replaced), m_kept(std::move(rows)),
      m_state(std::move(before))
{
}

std::unique_ptr<WorkChange> WorkChange::made(WorkTable& table, int at, int count,
                                             WorkInputs replaced, ShownState before)
{
    auto change =
        std::make_unique<WorkChange>(table, at, count, std::move(replaced), std::move(before));
    change->m_skipRedo = true;
    return change;
}

void WorkChange::exchangeRows()
{
    Q_ASSERT(!m_dropped);
    WorkInputs standing = WorkInputs::ofRows(m_table, m_at, m_standing);
    const int others = m_table.rowCount() - m_standing;
    m_table.replaceRows(m_at, m_standing, m_kept);
    m_standing = m_table.rowCount() - others;
    m_kept = std::move(standing);
}

void WorkChange::make()
{
    if (m_skipRedo)
        return;
    exchangeRows();
    m_skipRedo = true;
}

void WorkChange::undo()
{
    exchangeRows();
}

void WorkChange::redo()
{
    if (m_skipRedo) {
        m_skipRedo = false;
        return;
    }
    exchangeRows();
}

ShownState WorkChange::exchangeState(ShownState leaving)
{
    std::swap(leaving, m_state);
    return leaving;
}

qsizetype WorkChange::byteSize() const
{
    // Texts shared with the window or with other steps are counted in full: the budget errs on
    // the side of memory.
    qsizetype bytes = static_cast<qsizetype>(sizeof(*this)) + m_kept.byteSize();
    for (const QString* text : {&m_state.startEvent, &m_state.endEvent, &m_state.calculatedStart,
                                &m_state.calculatedEnd, &m_state.pathLine})
        bytes += stringBytes(*text);
    for (const QString& event : m_state.criticalPath)
        bytes += stringBytes(event);
    for (const auto& [key, value] : m_state.calendar)
        bytes += stringBytes(key) + stringBytes(value);
    for (const Resource& resource : m_state.resources)
        bytes += static_cast<qsizetype>(sizeof(Resource)) + stringBytes(resource.name) +
                 stringBytes(resource.unit);
    return bytes;
}

void WorkChange::drop()
{
    m_kept = WorkInputs();
    m_state = ShownState();
    m_dropped = true;
}
