#include "TableFile.h"

#include "KestrinError.h"

namespace db {

bool isDirectorySeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\' || c == u':';
#else
    return c == u'/';
#endif
}

void checkTableFileName(const QString& fileName)
{
    if (fileName.isEmpty())
        throw KestrinError(QStringLiteral("Не задано имя файла таблицы"));
    for (const QChar c : fileName) {
        if (isDirectorySeparator(c))
            throw KestrinError(
                QStringLiteral("Имя таблицы «%1» содержит разделитель папок; папку таблицы "
                               "задаёт база данных")
                    .arg(fileName));
        if (c == u'"')
            throw KestrinError(
                QStringLiteral("Имя таблицы «%1» содержит двойную кавычку").arg(fileName));
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            throw KestrinError(
                QStringLiteral("Имя таблицы «%1» содержит управляющий символ").arg(fileName));
    }
    if (!fileName.endsWith(QLatin1String(".dbf"), Qt::CaseInsensitive))
        throw KestrinError(QStringLiteral("Таблица «%1» не является таблицей dBASE: имя файла "
                                          "таблицы должно оканчиваться на .dbf")
                               .arg(fileName));
}

QString tablePath(const QString& directory, const QString& fileName)
{
    if (directory.isEmpty())
        return fileName;
    if (isDirectorySeparator(directory.back()))
        return directory + fileName;
    return directory + u'/' + fileName;
}

} // namespace db
