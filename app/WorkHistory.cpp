#include "WorkHistory.h"

WorkHistory::WorkHistory(QObject* parent, qsizetype byteBudget)
    : QObject(parent), m_byteBudget(byteBudget)
{
    m_stack.setUndoLimit(kStepLimit);
}

WorkChange* WorkHistory::step(int index) const
{
    // Every command on the stack is a WorkChange: push() is the only way in.
    return static_cast<WorkChange*>(const_cast<QUndoCommand*>(m_stack.command(index)));
}

void WorkHistory::push(std::unique_ptr<WorkChange> change)
{
    // Made before the stack takes it: a failure leaves neither a half-made step on the stack nor
    // a step that was never made.
    change->make();
    m_stack.push(change.release());
    keepWithinBudget();
    emit changed();
}

bool WorkHistory::canUndo() const
{
    const int index = m_stack.index();
    return index > 0 && !step(index - 1)->isDropped();
}

bool WorkHistory::canRedo() const
{
    const int index = m_stack.index();
    return index < m_stack.count() && !step(index)->isDropped();
}

ShownState WorkHistory::exchange(WorkChange* change, const Shown& shown, bool undoing)
{
    ShownState leaving = shown();
    if (undoing)
        m_stack.undo();
    else
        m_stack.redo();
    ShownState target = change->exchangeState(std::move(leaving));
    keepWithinBudget();
    emit changed();
    return target;
}

ShownState WorkHistory::undo(const Shown& shown)
{
    Q_ASSERT(canUndo());
    return exchange(step(m_stack.index() - 1), shown, true);
}

ShownState WorkHistory::redo(const Shown& shown)
{
    Q_ASSERT(canRedo());
    return exchange(step(m_stack.index()), shown, false);
}

qsizetype WorkHistory::byteSize() const
{
    qsizetype bytes = 0;
    for (int i = 0; i < m_stack.count(); ++i)
        bytes += step(i)->byteSize();
    return bytes;
}

void WorkHistory::keepWithinBudget()
{
    const int index = m_stack.index();
    qsizetype bytes = byteSize();
    // Steps are dropped from the ends of the history inward, so the steps left always join the
    // present without a gap.
    int oldest = 0;
    int newest = m_stack.count() - 1;
    while (bytes > m_byteBudget) {
        while (oldest < index - 1 && step(oldest)->isDropped())
            ++oldest;
        while (newest > index && step(newest)->isDropped())
            --newest;
        const bool oldSide = oldest < index - 1;
        const bool newSide = newest > index;
        if (!oldSide && !newSide)
            return;
        const bool dropOld = oldSide && (!newSide || index - 1 - oldest >= newest - index);
        WorkChange* farthest = step(dropOld ? oldest : newest);
        bytes -= farthest->byteSize();
        farthest->drop();
        bytes += farthest->byteSize();
    }
}
