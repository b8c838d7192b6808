#pragma once

#include "WorkDetails.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringView>

#include <functional>

class NumberFormat;
class Plan;
class WorkInputs;
class WorkTable;

// The works' details as the details window shows them, widget-free: one row per work in the work
// table's order; the columns "№", "Начало", "Конец", "Продолжит." (read-only), "Наименование", the
// five numbers, then one column per resource of the plan. Every edit is checked by the rules of
// the details and handed on as one change of rows (the window gives it to the undo history), so a
// refused value changes nothing and an accepted one is one undo step.
class DetailsTable final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column : int {
        Number = 0,
        Start,
        End,
        Duration,
        Name,
        Optimistic,
        Pessimistic,
        Shortest,
        NormalCost,
        ShortestCost,
        kFixedColumns,
    };
    // Rows at .. at + replaced - 1 of the work table are to give way to `rows`.
    using Change = std::function<void(int at, int replaced, const WorkInputs& rows)>;

    DetailsTable(WorkTable& table, const Plan& plan, const NumberFormat& numbers, Change change,
                 QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The cell's text as shown (the program's number text for numbers).
    QString text(int row, int column) const;
    // Stores the cell's text as typed; raises the rule it breaks, changing nothing.
    void setText(int row, int column, QStringView text);

    // The block of cells as spreadsheets copy it: tabs between cells, CR LF after each row.
    QString copyBlock(int top, int left, int bottom, int right) const;
    // Pastes a block of tab-separated cells with its top left corner at the cell; cells that fall
    // on read-only columns are passed over. Every cell is checked before the first is stored, and
    // the whole block is one change; the first refusal raises, naming its row, and changes nothing.
    void pasteBlock(int top, int left, QStringView text);

    // The resource of a resource column; 0 for the other columns.
    ResourceId resourceOfColumn(int column) const;
    // The plan's resources changed: the columns follow.
    void resourcesChanged();

private:
    // The details with the cell's text put in; raises when the text is not a value.
    WorkDetails withText(WorkDetails details, int column, QStringView text) const;

    WorkTable& m_table;
    const Plan& m_plan;
    const NumberFormat& m_numbers;
    Change m_change;
};
