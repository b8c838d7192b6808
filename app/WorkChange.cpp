#include "WorkChange.h"

#include "WorkTable.h"

#include <algorithm>

namespace {

void clearRow(WorkTable& table, int row)
{
    for (int column = 0; column < kWorkColumnCount; ++column)
        table.setCell(static_cast<WorkColumn>(column), row, QStringView());
}

// Puts `rows` in place of rows at .. at + count - 1, with empty computed cells.
void replaceRows(WorkTable& table, int at, int count, const WorkInputs& rows)
{
    const WorkTable::Batch batch(table);
    const int wanted = rows.rowCount();
    if (at == 0 && count == table.rowCount()) {
        // The whole table: its rows go at once instead of being moved or rewritten.
        table.setRowCount(1);
        clearRow(table, 0);
        table.setRowCount(std::max(wanted, 1));
    } else {
        if (wanted > count)
            table.insertRowsAt(at + count, wanted - count);
        else if (wanted < count)
            table.removeRowsAt(at + wanted, count - wanted);
        for (int row = at; row < at + std::min(wanted, count); ++row)
            clearRow(table, row);
    }
    rows.writeInto(table, at);
}

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
    replaceRows(m_table, m_at, m_standing, m_kept);
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
    return bytes;
}

void WorkChange::drop()
{
    m_kept = WorkInputs();
    m_state = ShownState();
    m_dropped = true;
}
