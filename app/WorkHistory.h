#pragma once

#include "WorkChange.h"

#include <QObject>
#include <QUndoStack>

#include <functional>
#include <memory>

// The undo history of the works: Qt's undo stack of WorkChange steps, bounded twice. It holds at
// most kStepLimit steps (the oldest go first), and the steps together hold at most about
// byteBudget bytes: past it, the steps farthest from the present give their memory back
// (WorkChange::drop) and become the end of the history, one side or the other. The steps next to
// the present, the one that undo and the one that redo would run, are always kept, so that the
// last change can be taken back whatever its size.
class WorkHistory : public QObject
{
    Q_OBJECT

public:
    static constexpr int kStepLimit = 1000;
    static constexpr qsizetype kByteBudget = qsizetype(64) << 20;

    explicit WorkHistory(QObject* parent = nullptr, qsizetype byteBudget = kByteBudget);

    // Puts the change on top of the history, making it unless it was made already; the steps that
    // could have been redone go.
    void push(std::unique_ptr<WorkChange> change);

    // Marks the present as what the plan file holds (after saving or reading a plan), and tells
    // whether the history stands there: an undo back to it counts, a change past it does not.
    void markSaved() { m_stack.setClean(); }
    bool isAtSaved() const { return m_stack.isClean(); }

    bool canUndo() const;
    bool canRedo() const;

    // The window's state now.
    using Shown = std::function<ShownState()>;
    // Undoes (redoes) one step: the rows go back, and the state the window returns to comes back.
    ShownState undo(const Shown& shown);
    ShownState redo(const Shown& shown);

    // What the steps hold, in bytes, and how many there are (dropped ones included).
    qsizetype byteSize() const;
    int stepCount() const { return m_stack.count(); }

signals:
    // canUndo() or canRedo() may have changed.
    void changed();

private:
    WorkChange* step(int index) const;
    ShownState exchange(WorkChange* change, const Shown& shown, bool undoing);
    void keepWithinBudget();

    QUndoStack m_stack;
    qsizetype m_byteBudget;
};
