#pragma once

#include "CompactRow.h"
#include "WorkCells.h"
#include "WorkDetails.h"

#include <QAbstractTableModel>

#include <atomic>
#include <vector>

// The one store of works for the whole run: the model behind the grid sgMain. Every cell is text;
// there is no header row (the main window draws its own header strip). Cells are not editable in
// the grid: only the program's commands write them. Each row also holds its work's details
// (WorkDetails), which move with the row wherever it goes.
class WorkInputs;

class WorkTable final : public QAbstractTableModel, public WorkCells
{
    Q_OBJECT

public:
    explicit WorkTable(QObject* parent = nullptr);

    // Inserts count empty rows before the given row (rowCount() appends them).
    void insertRowsAt(int row, int count);
    // Removes rows row .. row + count - 1; the rows below move up. At least one row must stay.
    void removeRowsAt(int row, int count);

    // Puts `rows` (input cells and details) in place of rows at .. at + count - 1, with empty
    // computed cells; replacing the whole table by no rows leaves one empty row. What every change
    // of the works (add, edit, delete, paste, import, reading a file, undo, redo) comes down to.
    void replaceRows(int at, int count, const WorkInputs& rows);

    // The details of a row; a row without any gives the empty details.
    WorkDetails details(int row) const { return WorkDetails::decode(detailsText(row)); }
    // The details in their encoded form (WorkDetails::encoded), valid as a cell view is.
    QStringView detailsText(int row) const;
    void setDetails(int row, const WorkDetails& details) { setDetailsText(row, details.encoded()); }
    void setDetailsText(int row, QStringView encoded);
    // How many rows have details: none means the table holds nothing a work list file cannot.
    int rowsWithDetails() const { return m_rowsWithDetails; }

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
    QString workName(int row) const override;
    bool hasWorkNames() const override;

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
    int m_rowsWithDetails = 0;

    // The rows with details among rows first .. first + count - 1.
    int detailsIn(int first, int count) const;

signals:
    // The details of rows first .. last changed outside a batch (a batch announces a change of
    // the whole table instead).
    void detailsChanged(int first, int last);
};
