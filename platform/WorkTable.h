#pragma once

#include "CompactRow.h"
#include "WorkCells.h"

#include <QAbstractTableModel>

#include <atomic>
#include <vector>

// The one store of works for the whole run: the model behind the grid sgMain. Every cell is text;
// there is no header row (the main window draws its own header strip). Cells are not editable in
// the grid: only the program's commands write them.
class WorkTable final : public QAbstractTableModel, public WorkCells
{
    Q_OBJECT

public:
    explicit WorkTable(QObject* parent = nullptr);

    // Removes one row; the rows below move up one place. The only row of a one-row table is
    // emptied instead, so the table keeps its one row.
    void removeRow(int row);
    // Inserts count empty rows before the given row (rowCount() appends them).
    void insertRowsAt(int row, int count);
    // Removes rows row .. row + count - 1; the rows below move up. At least one row must stay.
    void removeRowsAt(int row, int count);

    // Counts the changes of the start and end cells and of the row count: an index of the
    // events read at one count describes the table for as long as the count stays.
    quint64 namesRevision() const { return m_namesRevision; }

    // WorkCells
    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    void setRowCount(int rows) override;
    QStringView cellView(WorkColumn column, int row) const override;
    void setCell(WorkColumn column, int row, QStringView text) override;
    void setComputedCells(int row, const ComputedTexts& texts) override;
    // Within a batch: a row's block is its own, and the batch announces the change.
    bool takesRowsConcurrently() const override { return m_batchDepth > 0; }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // While a batch is open, changes are not announced one by one; closing the last batch
    // announces them at once. A recalculation of a million rows writes eight million cells and
    // reading a file adds a million rows, and the views need to hear of it once: cell changes
    // become one change of the whole table, and a change of the row count within a batch becomes
    // one reset of the model (begun before the first such change, ended with the batch).
    class Batch
    {
    public:
        explicit Batch(WorkTable& table);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        WorkTable& m_table;
    };

private:
    std::vector<CompactRow> m_rows;
    // Announces the coming change of the row count: one reset within a batch, else per change.
    void beginRowChange();

    quint64 m_namesRevision = 0;
    int m_batchDepth = 0;
    std::atomic<bool> m_changedInBatch = false;
    bool m_resetInBatch = false;
};
