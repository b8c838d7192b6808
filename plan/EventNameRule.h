#pragma once

#include <QString>
#include <QStringView>

// Control characters (CR, LF, Ctrl+Z, NUL and the other C0 and C1 codes, DEL) have no place in a
// name: a work list file would split or end at them, and no file of ours can show them.
namespace eventnamerule {

// The position of the first control character in the text, or -1.
qsizetype controlCharacterAt(QStringView text);

// Why the event name is refused, naming the character's code; empty when it is accepted.
QString problem(QStringView name);

// The same for any other text, in words naming what the text is ("Наименование").
QString textProblem(QStringView text, const QString& what);

} // namespace eventnamerule
