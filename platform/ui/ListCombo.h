#pragma once

#include <QStringList>

class QComboBox;

// Editable combo boxes whose drop-down lists may hold hundreds of thousands of event names. The
// list lives in a plain string list model, replaced in one step, and the drop-down measures one
// entry for all instead of every entry.
namespace listcombo {

// Gives the box a list model of its own (or shares `modelOf(other)` when given).
void install(QComboBox* box, QComboBox* shareWith = nullptr);
// Replaces the list; the box's text stays exactly as it was and no change is announced.
void setEntries(QComboBox* box, const QStringList& entries);
QStringList entries(const QComboBox* box);

} // namespace listcombo
