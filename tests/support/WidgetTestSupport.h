#pragma once

#include "WorkCells.h"

#include <QComboBox>
#include <QStringList>
#include <QWidget>

namespace testsupport {

// The entries of a combo box's drop-down list, in list order.
inline QStringList comboEntries(const QComboBox* box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list.append(box->itemText(i));
    return list;
}

// The child of the window with this object name, which must be there.
template <typename T> T* child(const QWidget* window, const char* name)
{
    auto* found = window->findChild<T*>(QLatin1String(name));
    Q_ASSERT(found);
    return found;
}

// Every cell of the table, row by row.
inline QStringList allCells(const WorkCells& table)
{
    QStringList cells;
    for (int row = 0; row < table.rowCount(); ++row)
        for (int column = 0; column < kWorkColumnCount; ++column)
            cells.append(table.cell(WorkColumn(column), row));
    return cells;
}

} // namespace testsupport
