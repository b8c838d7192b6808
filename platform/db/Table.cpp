#include "Table.h"

#include "DbfFile.h"
#include "FieldCodec.h"
#include "FileErrorText.h"
#include "KestrinError.h"
#include "TableFile.h"

#include <QDate>
#include <QFile>

#include <cerrno>
#include <cstring>

namespace db {

namespace {

// Version bytes of dBASE III and IV tables, without and with a memo file.
bool isDbaseVersion(unsigned char version)
{
    return version == 0x03 || version == 0x83 || version == 0x8b;
}

bool isKnownType(char type)
{
    switch (FieldType(type)) {
    case FieldType::Character:
    case FieldType::Numeric:
    case FieldType::Float:
    case FieldType::Date:
    case FieldType::Logical:
        return true;
    }
    return false;
}

} // namespace

struct Table::OpenTable
{
    ~OpenTable()
    {
        if (dbf)
            DBFClose(dbf);
    }

    QString path;
    std::unique_ptr<detail::DbfFile> file;
    DBFHandle dbf = nullptr;
    bool writable = false;
    QList<FieldInfo> fields;
    QList<int> offsets;
    QByteArray record;
    QByteArray scratch;
};

Table::Table() = default;

Table::~Table()
{
    try {
        close();
    } catch (const KestrinError&) {
        // A destructor cannot report; an owner that cares closes the table first.
    }
}

void Table::close()
{
    if (!m_open)
        return;
    const std::unique_ptr<OpenTable> open = std::move(m_open);
    DBFClose(open->dbf);
    open->dbf = nullptr;
    const int error = open->file->error();
    m_lastFileError = error;
    if (error != 0)
        throw KestrinError(QStringLiteral("Не удалось записать таблицу «%1»: %2")
                               .arg(open->path, fileErrorText(error)));
}

void Table::setTableName(const QString& fileName)
{
    if (m_open)
        throw KestrinError(
            QStringLiteral("Нельзя сменить имя открытой таблицы «%1»").arg(m_tableName));
    m_tableName = fileName;
}

void Table::setDatabaseName(const QString& directory)
{
    if (m_open)
        throw KestrinError(
            QStringLiteral("Нельзя сменить папку открытой таблицы «%1»").arg(m_tableName));
    m_databaseName = directory;
}

void Table::open()
{
    if (m_open)
        return;
    checkTableFileName(m_tableName);
    m_lastFileError = 0;
    auto open = std::make_unique<OpenTable>();
    open->path = tablePath(m_databaseName, m_tableName);

    // shapelib takes any file with a plausible header length for a table; the version byte
    // tells a dBASE table from other files.
    {
        QFile file(open->path);
        errno = 0;
        if (!file.open(QIODevice::ReadOnly)) {
            const int error = errno;
            if (error == ENOENT)
                throw KestrinError(QStringLiteral("Таблица «%1» не найдена").arg(open->path));
            throw KestrinError(QStringLiteral("Не удалось открыть таблицу «%1»: %2")
                                   .arg(open->path, fileErrorText(error)));
        }
        char version = 0;
        if (file.read(&version, 1) != 1 || !isDbaseVersion(static_cast<unsigned char>(version)))
            throw KestrinError(
                QStringLiteral("Файл «%1» не является таблицей dBASE").arg(open->path));
    }

    {
        detail::LibraryCall call(open->path);
        open->dbf = DBFOpenLL(call.libraryPath().constData(), "rb+", call.hooks());
        open->writable = open->dbf != nullptr;
        const int error = call.openError();
        if (!open->dbf && (error == EACCES || error == EPERM || error == EROFS))
            open->dbf = DBFOpenLL(call.libraryPath().constData(), "rb", call.hooks());
        if (!open->dbf) {
            throw KestrinError(
                QStringLiteral("Файл «%1» не является таблицей dBASE%2")
                    .arg(open->path, call.openError() != 0
                                         ? QStringLiteral(": ") + fileErrorText(call.openError())
                                         : QString()));
        }
        open->file = call.takeOpenFile();
    }

    const int count = DBFGetFieldCount(open->dbf);
    for (int index = 0; index < count; ++index) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        FieldInfo field;
        DBFGetFieldInfo(open->dbf, index, name, &field.width, &field.decimals);
        const char type = DBFGetNativeFieldType(open->dbf, index);
        field.name = QString::fromLatin1(name);
        if (!isKnownType(type))
            throw KestrinError(
                QStringLiteral("Поле %1 таблицы «%2» имеет тип «%3», которого эта программа не "
                               "знает")
                    .arg(field.name, open->path, QString(QLatin1Char(type))));
        field.type = FieldType(type);
        open->fields.append(field);
        open->offsets.append(open->dbf->panFieldOffset[index]);
    }
    open->record = QByteArray(open->dbf->nRecordLength, ' ');
    if (open->writable) {
        const QDate today = QDate::currentDate();
        DBFSetLastModifiedDate(open->dbf, today.year() - 1900, today.month(), today.day());
    }
    m_open = std::move(open);
}

void Table::requireOpen() const
{
    if (!m_open)
        throw KestrinError(QStringLiteral("Таблица «%1» не открыта").arg(m_tableName));
}

void Table::raiseFileFailure(const QString& action, int error) const
{
    m_lastFileError = error;
    throw KestrinError(QStringLiteral("Не удалось %1 таблицу «%2»: %3")
                           .arg(action, m_open->path,
                                error != 0 ? fileErrorText(error) : detail::libraryMessage()));
}

void Table::appendRecord(const QList<Value>& values)
{
    requireOpen();
    OpenTable& open = *m_open;
    if (!open.writable)
        throw KestrinError(QStringLiteral("Таблица «%1» открыта только для чтения").arg(open.path));
    if (values.size() > open.fields.size())
        throw KestrinError(QStringLiteral("В таблице «%1» %2 полей, а значений %3")
                               .arg(open.path)
                               .arg(open.fields.size())
                               .arg(values.size()));
    char* record = open.record.data();
    std::memset(record, ' ', std::size_t(open.record.size()));
    for (qsizetype index = 0; index < values.size(); ++index)
        fieldcodec::encode(open.fields[index], values[index], record + open.offsets[index],
                           open.scratch);
    detail::clearLibraryMessage();
    const bool written = DBFWriteTuple(open.dbf, DBFGetRecordCount(open.dbf), record) != 0;
    if (!written || open.file->error() != 0)
        raiseFileFailure(QStringLiteral("записать"), open.file->error());
}

int Table::recordCount() const
{
    return m_open ? DBFGetRecordCount(m_open->dbf) : 0;
}

Value Table::value(int record, int field) const
{
    requireOpen();
    const OpenTable& open = *m_open;
    if (record < 0 || record >= DBFGetRecordCount(open.dbf))
        throw KestrinError(
            QStringLiteral("В таблице «%1» нет записи %2").arg(open.path).arg(record + 1));
    if (field < 0 || field >= open.fields.size())
        throw KestrinError(
            QStringLiteral("В таблице «%1» нет поля %2").arg(open.path).arg(field + 1));
    detail::clearLibraryMessage();
    const char* bytes = DBFReadTuple(open.dbf, record);
    if (!bytes || open.file->error() != 0)
        raiseFileFailure(QStringLiteral("прочитать"), open.file->error());
    const FieldInfo& info = open.fields[field];
    const QByteArrayView stored(bytes + open.offsets[field], info.width);
    const std::optional<Value> value = fieldcodec::decode(info, stored);
    if (!value)
        throw KestrinError(QStringLiteral("Запись %1 таблицы «%2»: в поле %3 стоит «%4», это не "
                                          "значение его типа")
                               .arg(record + 1)
                               .arg(open.path, info.name, QString::fromLatin1(stored)));
    return *value;
}

QList<FieldInfo> Table::fields() const
{
    return m_open ? m_open->fields : QList<FieldInfo>();
}

} // namespace db
