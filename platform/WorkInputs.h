#pragma once

#include "CompactTexts.h"

#include <QStringView>

class WorkCells;

// The input cells (start event, end event, duration) of a run of works, held compactly
// (CompactTexts): what an undo step keeps of the rows it took out of the table, and the works a
// paste or an import is about to put in. A million works of short names and numbers take about
// 20 MB, where the table holds them in about 250 MB.
class WorkInputs
{
public:
    // The input cells of rows first .. first + count - 1.
    static WorkInputs ofRows(const WorkCells& table, int first, int count);

    void append(QStringView startEvent, QStringView endEvent, QStringView duration);

    int rowCount() const { return static_cast<int>(m_texts.count() / kCellsPerRow); }
    qsizetype byteSize() const { return m_texts.byteSize(); }
    void squeeze() { m_texts.squeeze(); }
    bool operator==(const WorkInputs& other) const = default;

    // Writes the works into columns 1 to 3 of rows at, at + 1, ... of the table, which must
    // have them; other cells are left as they are.
    void writeInto(WorkCells& table, int at) const;

private:
    static constexpr int kCellsPerRow = 3;
    CompactTexts m_texts;
};
