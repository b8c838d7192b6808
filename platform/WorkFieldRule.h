#pragma once

#include <QString>
#include <QStringView>

// The one rule every text of a work (start event, end event, duration) passes where it enters
// the program: the element dialog, pasting, CSV import, the plan file, and any reader of works
// added later.
// A field must be one line of the work list file: no control character (NUL to US, DEL, and the
// C1 controls: a CR or LF would split the work's three lines, Ctrl+Z ends the file, NUL makes two
// names print alike), no character Windows-1251 lacks, and no more than kMaxLength characters
// (a longer text would freeze every repaint of the grid). The work list reader itself does not
// apply it: files written before the rule read as they always did.
// Free texts (a work's name, a resource's name and unit) never go to the work list file: they may
// hold any character, but keep the same two facts of the rule: no control character and no more
// than kMaxLength characters.
namespace workfield {

inline constexpr qsizetype kMaxLength = 4000;
// The most characters of a user's text a message quotes.
inline constexpr qsizetype kQuotedLength = 60;

// The position of the first control character (NUL to US, DEL, C1), or -1.
qsizetype firstControl(QStringView text);

// The position of the first character the work list file cannot hold as a line's text, or -1.
qsizetype firstUnstorable(QStringView text);

// Why the field breaks the rule, in words that fit after "Строка 3: " (lower case first), or
// empty when it keeps it. `caption` names the field ("Начало").
QString problem(QStringView text, QStringView caption);

// "символ «Ё» нельзя сохранить в файле данных (кодировка Windows-1251)", or for a control
// character "управляющий символ U+000A нельзя сохранить в файле данных", for the character at
// the position (a surrogate pair counts as one character).
QString unstorableWords(QStringView text, qsizetype at);

// "поле «Начало» длиннее 4000 символов: «aaaa…»".
QString tooLongWords(QStringView text, QStringView caption);

// The field's problem as a sentence naming it, for messages no row leads: "Поле «Начало» длиннее
// 4000 символов: «aaaa…»" or "Начало: символ «Ё» нельзя сохранить в файле данных (…)"; empty
// when the field keeps the rule.
QString namedProblem(QStringView text, QStringView caption);

// Why a free text is refused, as a sentence naming it: "Наименование: управляющий символ U+000A
// недопустим" or "Поле «Наименование» длиннее 4000 символов: «aaaa…»"; empty when accepted.
QString freeTextProblem(QStringView text, QStringView caption);

// The control-character half of freeTextProblem alone, for texts of no length limit.
QString controlProblem(QStringView text, QStringView caption);

// The text for a message: whole when short, else its first kQuotedLength characters and "…".
QString quotedBeginning(QStringView text);

} // namespace workfield
