#include "OutputFailure.h"

#include "FileErrorText.h"

#include <cerrno>

namespace report {

QString outputFailureMessage(const AtomicFile::Failure& failure)
{
    switch (failure.stage) {
    case AtomicFile::Failure::Stage::Target:
        return QStringLiteral("Не удаётся создать файл %1: %2")
            .arg(failure.target, fileErrorText(failure.error));
    case AtomicFile::Failure::Stage::Folder:
        if (failure.error == ENOENT || failure.error == ENOTDIR)
            return QStringLiteral("Не удаётся создать файл %1: %2")
                .arg(failure.target, fileErrorText(failure.error));
        return AtomicFile::defaultMessage(failure);
    case AtomicFile::Failure::Stage::Write:
        break;
    }
    return QStringLiteral("Ошибка записи файла %1: %2")
        .arg(failure.target, fileErrorText(failure.error));
}

} // namespace report
