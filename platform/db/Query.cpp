#include "Query.h"

#include "CreateTableStatement.h"
#include "DbfFile.h"
#include "FileErrorText.h"
#include "KestrinError.h"
#include "TableFile.h"

#include <QDate>
#include <QFile>

#include <cerrno>

namespace db {

namespace {

// The language driver id that marks a table's texts as Windows-1251.
const char* const kWindows1251CodePage = "LDID/201";

QString folderOf(const QString& directory)
{
    return directory.isEmpty() ? QStringLiteral(".") : directory;
}

} // namespace

void Query::execSql()
{
    const CreateTable statement = parseCreateTable(m_sql.join(u'\n'));
    const QString path = tablePath(m_databaseName, statement.fileName);

    detail::LibraryCall call(path);
    const DBFHandle table =
        DBFCreateLL(call.libraryPath().constData(), kWindows1251CodePage, call.hooks());
    if (!table) {
        const int error = call.openError();
        if (error == EEXIST)
            throw KestrinError(QStringLiteral("Таблица «%1» уже есть в папке «%2»")
                                   .arg(statement.fileName, folderOf(m_databaseName)));
        throw KestrinError(QStringLiteral("Не удалось создать таблицу в папке «%1»: %2")
                               .arg(folderOf(m_databaseName),
                                    error != 0 ? fileErrorText(error) : detail::libraryMessage()));
    }
    const QDate today = QDate::currentDate();
    DBFSetLastModifiedDate(table, today.year() - 1900, today.month(), today.day());
    bool added = true;
    for (const FieldInfo& field : statement.fields) {
        if (DBFAddNativeFieldType(table, field.name.toLatin1().constData(), char(field.type),
                                  field.width, field.decimals) < 0) {
            added = false;
            break;
        }
    }
    DBFClose(table);
    const int error = call.fileError();
    if (!added || error != 0) {
        QFile::remove(path);
        throw KestrinError(QStringLiteral("Не удалось создать таблицу в папке «%1»: %2")
                               .arg(folderOf(m_databaseName),
                                    error != 0 ? fileErrorText(error) : detail::libraryMessage()));
    }
}

} // namespace db
