#pragma once

#include "FieldInfo.h"
#include "Value.h"

#include <QList>
#include <QString>

#include <memory>

namespace db {

// A dBASE table named by a database directory and a file name. Opened, it appends records at
// its end and reads them back by position. Texts are Windows-1251 in the file.
//
// Not thread-safe; one thread at a time may use a table (the report engine reads it from its own
// thread while the window that filled it waits).
class Table
{
public:
    Table();
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Writes what is pending and releases the file. Raises when the file could not be completed
    // on disk; the table is closed all the same.
    void close();

    // Both raise while the table is open.
    void setTableName(const QString& fileName);
    void setDatabaseName(const QString& directory);
    const QString& tableName() const { return m_tableName; }
    const QString& databaseName() const { return m_databaseName; }

    // Opens the table for appending and reading; a file that cannot be written is opened for
    // reading only. Raises when the name is not that of a dBASE table (see checkTableFileName),
    // when the file is missing or is not a dBASE table. Does nothing when the table is open.
    void open();
    bool isOpen() const { return m_open != nullptr; }

    // Appends one record whose field k holds values[k] and writes it at once; fields beyond the
    // values stay empty. Raises, appending nothing, for more values than fields or a value its
    // field cannot hold (the message names the field); raises for a failure to write.
    void appendRecord(const QList<Value>& values);

    // 0 while closed.
    int recordCount() const;
    // Raises for a record or field that does not exist and for bytes that are no value of the
    // field's type.
    Value value(int record, int field) const;
    // Empty while closed.
    QList<FieldInfo> fields() const;

    // errno of the failure to read or write the file that appendRecord, value or close raised
    // last, 0 when none did since open; kept after close, so that an owner can tell a full disk
    // from a value the table cannot hold.
    int lastFileError() const { return m_lastFileError; }

private:
    struct OpenTable;

    [[noreturn]] void raiseFileFailure(const QString& action, int error) const;
    void requireOpen() const;

    QString m_tableName;
    QString m_databaseName;
    std::unique_ptr<OpenTable> m_open;
    // Set by the const readers too.
    mutable int m_lastFileError = 0;
};

} // namespace db
