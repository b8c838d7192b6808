#pragma once

#include <QComboBox>
#include <QStringList>

namespace testsupport {

// The entries of a combo box's drop-down list, in list order.
inline QStringList comboEntries(const QComboBox* box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list.append(box->itemText(i));
    return list;
}

} // namespace testsupport
