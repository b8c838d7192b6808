#pragma once

#include <QString>
#include <QStringList>

namespace db {

// A statement and the database directory it runs in. The engine runs one kind of statement,
// create table (see CreateTableStatement.h); the table is created as a dBASE III file in the
// directory, with the code page byte of Windows-1251. A query holds nothing open between calls.
class Query
{
public:
    // The statement, line by line; running it joins the lines with line breaks.
    QStringList& sql() { return m_sql; }
    const QStringList& sql() const { return m_sql; }

    // The directory in which tables are created; empty is the working directory.
    void setDatabaseName(const QString& directory) { m_databaseName = directory; }
    const QString& databaseName() const { return m_databaseName; }

    // Creates the table the statement describes, empty. Raises for a statement the engine does
    // not know, for a table file that exists already (it is never replaced) and for a file that
    // cannot be written; a failure leaves no file behind.
    void execSql();

private:
    QStringList m_sql;
    QString m_databaseName;
};

} // namespace db
