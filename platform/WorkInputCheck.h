#pragma once

#include "WorkCells.h"

#include <QString>
#include <QStringView>

#include <array>

class NumberFormat;

// The test a work's input passes before it is stored: both events are named, the duration reads
// as a number of at least 0, and every field keeps the rule of the work list file's lines
// (workfield::problem: no control characters, only Windows-1251, not too long).
// The element dialog enables its OK button by it, and every other way works enter the table
// (pasting, importing) applies the same test, so that no road stores what the dialog refuses.
// Nothing is trimmed or changed: blanks count as text, equal events and repeated pairs pass.
class WorkInputCheck
{
public:
    WorkInputCheck(QStringView startEvent, QStringView endEvent, QStringView duration,
                   const NumberFormat& numbers);

    bool accepted() const;

    // Why the field (StartEvent, EndEvent or Duration) breaks the rule of the work list file's
    // lines, as a sentence ("Символ «…» нельзя сохранить …"), or empty.
    QString fieldProblem(WorkColumn field) const;

    // Why the input is not accepted, in words that fit after "Строка 3: "; empty when accepted.
    // The first failing test in field order speaks.
    QString problem() const;

private:
    static int slot(WorkColumn field);

    std::array<QStringView, 3> m_texts;
    std::array<QString, 3> m_problems;
    bool m_durationValid = false;
};
