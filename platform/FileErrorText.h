#pragma once

#include <QString>

// Words for a failing file operation's errno, for messages in Russian ("нет доступа",
// "недостаточно места на диске", ...); an unknown number reads "ошибка ввода-вывода N".
QString fileErrorText(int error);

// The classic words for a file that cannot be made: "Cannot create file <path>", and ": <reason>"
// when the reason is known.
QString cannotCreateFileText(const QString& path, const QString& reason = QString());
