#include "WorkInputs.h"

#include "Progress.h"
#include "WorkCells.h"

namespace {
constexpr WorkColumn kInputColumns[] = {WorkColumn::StartEvent, WorkColumn::EndEvent,
                                        WorkColumn::Duration};
} // namespace

WorkInputs WorkInputs::ofRows(const WorkCells& table, int first, int count)
{
    WorkInputs inputs;
    for (int row = first; row < first + count; ++row) {
        progress::step(u"Запоминание работ", row - first, count);
        for (WorkColumn column : kInputColumns)
            inputs.m_texts.append(table.cellView(column, row));
    }
    inputs.squeeze();
    return inputs;
}

void WorkInputs::append(QStringView startEvent, QStringView endEvent, QStringView duration)
{
    m_texts.append(startEvent);
    m_texts.append(endEvent);
    m_texts.append(duration);
}

void WorkInputs::writeInto(WorkCells& table, int at) const
{
    CompactTexts::Reader reader(m_texts);
    QString text;
    const int rows = rowCount();
    for (int row = at; row < at + rows; ++row) {
        progress::step(u"Восстановление работ", row - at, rows);
        for (WorkColumn column : kInputColumns) {
            reader.next(text);
            table.setCell(column, row, text);
        }
    }
}
