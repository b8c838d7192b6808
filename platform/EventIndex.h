#pragma once

#include "WorkCells.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <vector>

class NameCollation;

// The event names of the work table at one moment, read in one pass: every distinct name (exact
// text, letter case significant) with the rows that name it, and the names grouped into those
// equal ignoring case, the groups in the lists' alphabetical order. What lists or matches events
// (the selectors, the element dialog, the automatic ends, the network of a recalculation) reads
// this instead of hashing and comparing the texts again. Empty cells name no event.
class EventIndex
{
public:
    EventIndex(const WorkCells& table, const NameCollation& names);

    int rowCount() const { return int(m_start.size()); }
    int eventCount() const { return int(m_names.size()); }
    const QString& name(int event) const { return m_names[std::size_t(event)]; }
    // The event of a row's start or end cell; -1 for an empty cell.
    int startOf(int row) const { return m_start[std::size_t(row)]; }
    int endOf(int row) const { return m_end[std::size_t(row)]; }
    // The event of that exact name, or -1.
    int find(QStringView name) const;
    // Some row starts (ends) at the event.
    bool startsWork(int event) const { return m_firstStartRow[std::size_t(event)] >= 0; }
    bool endsWork(int event) const { return m_firstEndRow[std::size_t(event)] >= 0; }
    // Events of one group are equal ignoring case; groups are numbered alphabetically.
    int groupOf(int event) const { return m_group[std::size_t(event)]; }

    // A selector's list: the names of the start (or end) column, the first spelling in row order
    // of each group, alphabetically.
    QStringList sortedNames(WorkColumn column) const;
    // The element dialog's list: the start events in row order, then the end events not listed
    // yet, the first spelling of each group.
    QStringList namesInRowOrder() const;

private:
    int intern(QStringView name, int row, std::vector<int>& firstRow);
    // Where the event of that name is kept (-1 there while it has none).
    int* entry(QStringView name);

    struct Slot
    {
        std::uint32_t hash = 0;
        int event = -1;
    };

    std::vector<QString> m_names;
    std::int64_t m_numberLimit = 0;
    std::vector<int> m_byNumber; // events named by plain whole numbers, by value
    std::vector<Slot> m_slots;   // open addressing over the other names
    std::vector<int> m_start;
    std::vector<int> m_end;
    std::vector<int> m_firstStartRow;
    std::vector<int> m_firstEndRow;
    std::vector<int> m_group;
    int m_groupCount = 0;
};
