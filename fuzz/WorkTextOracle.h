#pragma once

#include "WorkFieldRule.h"
#include "WorkInputs.h"
#include "WorkTable.h"

#include <cstdlib>

// What the fuzzers of the CSV reader and of pasted text demand of the works a reader accepted:
// every text keeps the rule of the work list file's lines (workfield), and the works put in a
// table read the same as the works themselves.
namespace fuzzoracle {

inline constexpr WorkColumn kInputColumns[] = {WorkColumn::StartEvent, WorkColumn::EndEvent,
                                               WorkColumn::Duration};

inline void fillTable(WorkTable& table, const WorkInputs& works)
{
    table.setRowCount(works.rowCount());
    works.writeInto(table, 0);
}

inline void checkTexts(const WorkTable& table)
{
    for (int row = 0; row < table.rowCount(); ++row) {
        for (WorkColumn column : kInputColumns) {
            const QStringView text = table.cellView(column, row);
            if (text.size() > workfield::kMaxLength || workfield::firstUnstorable(text) >= 0)
                std::abort();
        }
    }
}

} // namespace fuzzoracle
