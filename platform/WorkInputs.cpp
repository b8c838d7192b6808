#include "WorkInputs.h"

#include "Progress.h"
#include "WorkDetails.h"
#include "WorkTable.h"

#include <array>

namespace {
constexpr WorkColumn kInputColumns[] = {WorkColumn::StartEvent, WorkColumn::EndEvent,
                                        WorkColumn::Duration};
} // namespace

WorkInputs WorkInputs::ofRows(const WorkTable& table, int first, int count)
{
    WorkInputs inputs;
    for (int row = first; row < first + count; ++row) {
        progress::step(u"Запоминание работ", row - first, count);
        for (WorkColumn column : kInputColumns)
            inputs.m_texts.append(table.cellView(column, row));
        inputs.m_texts.append(table.detailsText(row));
    }
    inputs.squeeze();
    return inputs;
}

WorkInputs WorkInputs::editedRow(const WorkTable& table, int row, QStringView startEvent,
                                 QStringView endEvent, QStringView duration)
{
    WorkInputs work;
    work.appendEncoded(startEvent, endEvent, duration, table.detailsText(row));
    return work;
}

void WorkInputs::append(QStringView startEvent, QStringView endEvent, QStringView duration,
                        const WorkDetails& details)
{
    appendEncoded(startEvent, endEvent, duration, details.encoded());
}

void WorkInputs::appendEncoded(QStringView startEvent, QStringView endEvent, QStringView duration,
                               QStringView details)
{
    m_texts.append(startEvent);
    m_texts.append(endEvent);
    m_texts.append(duration);
    m_texts.append(details);
}

bool WorkInputs::Reader::next(QString& startEvent, QString& endEvent, QString& duration,
                              QString& details)
{
    return m_texts.next(startEvent) && m_texts.next(endEvent) && m_texts.next(duration) &&
           m_texts.next(details);
}

void WorkInputs::writeInto(WorkTable& table, int at) const
{
    Reader reader(*this);
    std::array<QString, 3> texts;
    QString details;
    const int rows = rowCount();
    for (int row = at; row < at + rows; ++row) {
        progress::step(u"Восстановление работ", row - at, rows);
        reader.next(texts[0], texts[1], texts[2], details);
        for (std::size_t i = 0; i < texts.size(); ++i)
            table.setCell(kInputColumns[i], row, texts[i]);
        table.setDetailsText(row, details);
    }
}
