#include "FileErrorText.h"

#include <cerrno>

QString fileErrorText(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("папка или файл не найдены");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет доступа");
    case EROFS:
        return QStringLiteral("диск доступен только для чтения");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return QStringLiteral("недостаточно места на диске");
    case EEXIST:
        return QStringLiteral("файл уже существует");
    case EISDIR:
        return QStringLiteral("это папка");
    case ENAMETOOLONG:
        return QStringLiteral("слишком длинное имя файла");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("открыто слишком много файлов");
    default:
        return QStringLiteral("ошибка ввода-вывода %1").arg(error);
    }
}

QString cannotCreateFileText(const QString& path, const QString& reason)
{
    const QString text = QStringLiteral("Cannot create file %1").arg(path);
    return reason.isEmpty() ? text : text + QStringLiteral(": ") + reason;
}
