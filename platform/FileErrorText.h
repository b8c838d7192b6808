#pragma once

#include <QString>

// Words for a failing file operation's errno, for messages in Russian ("нет доступа",
// "недостаточно места на диске", ...); an unknown number reads "ошибка ввода-вывода N".
QString fileErrorText(int error);
