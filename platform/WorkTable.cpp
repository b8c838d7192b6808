#include "WorkTable.h"

#include "WorkInputs.h"

#include <algorithm>
#include <array>

WorkTable::WorkTable(QObject* parent) : QAbstractTableModel(parent), m_rows(1) {}

void WorkTable::beginRowChange()
{
    if (!m_resetInBatch) {
        m_resetInBatch = true;
        beginResetModel();
    }
}

void WorkTable::setRowCount(int rows)
{
    rows = std::max(rows, 1);
    const int current = rowCount();
    if (rows == current)
        return;
    ++m_namesRevision;
    if (rows < current)
        m_rowsWithDetails -= detailsIn(rows, current - rows);
    if (m_batchDepth > 0) {
        beginRowChange();
        m_rows.resize(static_cast<std::size_t>(rows));
        if (rows < current)
            m_rows.shrink_to_fit();
        return;
    }
    if (rows > current) {
        beginInsertRows(QModelIndex(), current, rows - 1);
        m_rows.resize(static_cast<std::size_t>(rows));
        endInsertRows();
    } else if (rows < current) {
        beginRemoveRows(QModelIndex(), rows, current - 1);
        m_rows.resize(static_cast<std::size_t>(rows));
        m_rows.shrink_to_fit();
        endRemoveRows();
    }
}

void WorkTable::insertRowsAt(int row, int count)
{
    Q_ASSERT(row >= 0 && row <= rowCount() && count >= 0);
    if (count == 0)
        return;
    ++m_namesRevision;
    // Rows are move-only: the new empty rows are made at the end and rotated into place.
    const auto insert = [this, row, count] {
        m_rows.resize(m_rows.size() + static_cast<std::size_t>(count));
        std::rotate(m_rows.begin() + row, m_rows.end() - count, m_rows.end());
    };
    if (m_batchDepth > 0) {
        beginRowChange();
        insert();
        return;
    }
    beginInsertRows(QModelIndex(), row, row + count - 1);
    insert();
    endInsertRows();
}

void WorkTable::removeRowsAt(int row, int count)
{
    Q_ASSERT(row >= 0 && count >= 0 && row + count <= rowCount() && count < rowCount());
    if (count == 0)
        return;
    ++m_namesRevision;
    m_rowsWithDetails -= detailsIn(row, count);
    const auto from = m_rows.begin() + row;
    if (m_batchDepth > 0) {
        beginRowChange();
        m_rows.erase(from, from + count);
        return;
    }
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_rows.erase(from, from + count);
    endRemoveRows();
}

int WorkTable::detailsIn(int first, int count) const
{
    if (m_rowsWithDetails == 0)
        return 0;
    const auto from = m_rows.begin() + first;
    return int(std::count_if(from, from + count,
                             [](const CompactRow& row) { return !row.details().isEmpty(); }));
}

namespace {
void clearRow(WorkTable& table, int row)
{
    for (int column = 0; column < kWorkColumnCount; ++column)
        table.setCell(static_cast<WorkColumn>(column), row, QStringView());
    table.setDetailsText(row, QStringView());
}
} // namespace

void WorkTable::replaceRows(int at, int count, const WorkInputs& rows)
{
    const Batch batch(*this);
    const int wanted = rows.rowCount();
    if (at == 0 && count == rowCount()) {
        // The whole table: its rows go at once instead of being moved or rewritten.
        setRowCount(1);
        clearRow(*this, 0);
        setRowCount(std::max(wanted, 1));
    } else {
        if (wanted > count)
            insertRowsAt(at + count, wanted - count);
        else if (wanted < count)
            removeRowsAt(at + wanted, count - wanted);
        for (int row = at; row < at + std::min(wanted, count); ++row)
            clearRow(*this, row);
    }
    rows.writeInto(*this, at);
}

QStringView WorkTable::detailsText(int row) const
{
    Q_ASSERT(row >= 0 && row < rowCount());
    return m_rows[static_cast<std::size_t>(row)].details();
}

void WorkTable::setDetailsText(int row, QStringView encoded)
{
    Q_ASSERT(row >= 0 && row < rowCount());
    CompactRow& cells = m_rows[static_cast<std::size_t>(row)];
    const QStringView old = cells.details();
    if (old == encoded)
        return;
    m_rowsWithDetails += int(!encoded.isEmpty()) - int(!old.isEmpty());
    cells.setDetails(encoded);
    if (m_batchDepth > 0)
        m_changedInBatch = true;
    else
        emit detailsChanged(row, row);
}

QStringView WorkTable::cellView(WorkColumn column, int row) const
{
    Q_ASSERT(row >= 0 && row < rowCount());
    return m_rows[static_cast<std::size_t>(row)].cell(columnIndex(column));
}

void WorkTable::setCell(WorkColumn column, int row, QStringView text)
{
    Q_ASSERT(row >= 0 && row < rowCount());
    CompactRow& cells = m_rows[static_cast<std::size_t>(row)];
    const int columnNumber = columnIndex(column);
    if (cells.cell(columnNumber) == text)
        return;
    if (column == WorkColumn::StartEvent || column == WorkColumn::EndEvent)
        ++m_namesRevision;
    cells.setCell(columnNumber, text);
    if (m_batchDepth > 0) {
        m_changedInBatch = true;
    } else {
        const QModelIndex changed = index(row, columnNumber);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

void WorkTable::setComputedCells(int row, const ComputedTexts& texts)
{
    Q_ASSERT(row >= 0 && row < rowCount());
    CompactRow& cells = m_rows[static_cast<std::size_t>(row)];
    std::array<QStringView, kWorkColumnCount> all;
    bool changed = false;
    for (int column = 0; column < kWorkColumnCount; ++column)
        all[std::size_t(column)] = cells.cell(column);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        QStringView& cell = all[std::size_t(columnIndex(kComputedColumns[i]))];
        changed = changed || cell != texts[i];
        cell = texts[i];
    }
    if (!changed)
        return;
    cells.setCells(all);
    if (m_batchDepth > 0) {
        m_changedInBatch.store(true, std::memory_order_relaxed);
    } else {
        emit dataChanged(index(row, 0), index(row, kWorkColumnCount - 1), {Qt::DisplayRole});
    }
}

int WorkTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rowCount();
}

int WorkTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kWorkColumnCount;
}

QVariant WorkTable::data(const QModelIndex& index, int role) const
{
    // A long command repaints its windows while it works: the grid may ask, within a batch, for
    // rows that are not there yet or any more.
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rowCount())
        return {};
    return m_rows[static_cast<std::size_t>(index.row())].cell(index.column()).toString();
}

Qt::ItemFlags WorkTable::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

WorkTable::Batch::Batch(WorkTable& table) : m_table(table)
{
    ++m_table.m_batchDepth;
}

WorkTable::Batch::~Batch()
{
    if (--m_table.m_batchDepth > 0)
        return;
    if (m_table.m_resetInBatch) {
        m_table.m_resetInBatch = false;
        m_table.m_changedInBatch = false;
        m_table.endResetModel();
    } else if (m_table.m_changedInBatch) {
        m_table.m_changedInBatch = false;
        emit m_table.dataChanged(m_table.index(0, 0),
                                 m_table.index(m_table.rowCount() - 1, kWorkColumnCount - 1),
                                 {Qt::DisplayRole});
    }
}

QString WorkTable::workName(int row) const
{
    const QStringView encoded = detailsText(row);
    return encoded.isEmpty() ? QString() : WorkDetails::decode(encoded).name;
}

bool WorkTable::hasWorkNames() const
{
    if (m_rowsWithDetails == 0)
        return false;
    for (int row = 0; row < rowCount(); ++row) {
        if (!workName(row).isEmpty())
            return true;
    }
    return false;
}
