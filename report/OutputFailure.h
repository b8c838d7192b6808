#pragma once

#include "AtomicFile.h"

#include <QString>

namespace report {

// The words of the report's files (page files, PDF, printing to a file) for a failure to write
// one: "Не удаётся создать файл …: <reason>" where it cannot be made at all, the folder named where
// the folder takes no new file, "Ошибка записи файла …: <reason>" where writing it failed.
QString outputFailureMessage(const AtomicFile::Failure& failure);

} // namespace report
