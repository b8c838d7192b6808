#pragma once

#include "CompactTexts.h"

#include <QStringView>

class WorkTable;
struct WorkDetails;

// The input cells (start event, end event, duration) and the details of a run of works, held
// compactly (CompactTexts): what an undo step keeps of the rows it took out of the table, and the
// works a paste, an import or a plan file is about to put in. A million works of short names and
// numbers take about 21 MB, where the table holds them in about 250 MB; a work without details
// takes one byte more for them.
class WorkInputs
{
public:
    // The input cells and details of rows first .. first + count - 1.
    static WorkInputs ofRows(const WorkTable& table, int first, int count);

    // Row `row` of the table with new input texts and its own details: an edit of a work's
    // input that leaves its details as they are.
    static WorkInputs editedRow(const WorkTable& table, int row, QStringView startEvent,
                                QStringView endEvent, QStringView duration);

    // A work without details.
    void append(QStringView startEvent, QStringView endEvent, QStringView duration)
    {
        appendEncoded(startEvent, endEvent, duration, QStringView());
    }
    void append(QStringView startEvent, QStringView endEvent, QStringView duration,
                const WorkDetails& details);
    // With the details in their encoded form (WorkDetails::encoded).
    void appendEncoded(QStringView startEvent, QStringView endEvent, QStringView duration,
                       QStringView details);

    int rowCount() const { return static_cast<int>(m_texts.count() / kTextsPerRow); }
    qsizetype byteSize() const { return m_texts.byteSize(); }
    void squeeze() { m_texts.squeeze(); }
    bool operator==(const WorkInputs& other) const = default;

    // Writes the works into columns 1 to 3 and the details of rows at, at + 1, ... of the table,
    // which must have them; other cells are left as they are.
    void writeInto(WorkTable& table, int at) const;

    // Reads the works in order.
    class Reader
    {
    public:
        explicit Reader(const WorkInputs& inputs) : m_texts(inputs.m_texts) {}
        // The next work's texts and encoded details, reusing their storage; false after the last.
        bool next(QString& startEvent, QString& endEvent, QString& duration, QString& details);

    private:
        CompactTexts::Reader m_texts;
    };

private:
    static constexpr int kTextsPerRow = 4;
    CompactTexts m_texts;
};
