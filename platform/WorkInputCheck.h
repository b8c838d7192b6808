#pragma once

#include "WorkCells.h"

#include <QString>
#include <QStringView>

#include <array>

class NumberFormat;

// The test a work's input passes before it is stored: both events are named, the duration reads
// as a number of at least 0, and every field can be written to the work list file (Windows-1251).
// The element dialog enables its OK button by it, and every other way works enter the table
// (pasting, importing) applies the same test, so that no road stores what the dialog refuses.
// Nothing is trimmed or changed: blanks count as text, equal events and repeated pairs pass.
class WorkInputCheck
{
public:
    WorkInputCheck(QStringView startEvent, QStringView endEvent, QStringView duration,
                   const NumberFormat& numbers);

    bool accepted() const;

    // The position of the first character in the field (StartEvent, EndEvent or Duration) that the
    // work list file cannot hold, or -1.
    qsizetype unstorableAt(WorkColumn field) const;

    // Why the input is not accepted, in words that fit after "Строка 3: "; empty when accepted.
    // The first failing test in field order speaks.
    QString problem() const;

    // "Символ «…» нельзя сохранить в файле данных (кодировка Windows-1251)" for the character at
    // the position (a surrogate pair counts as one character).
    static QString unstorableMessage(QStringView text, qsizetype at);

private:
    static int slot(WorkColumn field);

    std::array<QStringView, 3> m_texts;
    std::array<qsizetype, 3> m_unstorable{};
    bool m_durationValid = false;
};
