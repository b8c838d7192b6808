#pragma once

#include <QString>

// The text the error box shows for the exception being handled; call it only inside a catch
// block. The program's own error gives its message and a lack of memory reads "Out of memory".
// Any other exception is a fault of the program itself (a broken internal assumption, a library
// that threw): it reads "Внутренняя ошибка программы: ..." with what the exception says, so that
// the command ends, the user is told, and the works in the table stay.
QString messageOfCurrentException();
