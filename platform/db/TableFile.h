#pragma once

#include <QChar>
#include <QString>

namespace db {

// "/"; on Windows also "\" and ":", after which a name is relative to a drive.
bool isDirectorySeparator(QChar c);

// Raises, with a message naming the fault, unless fileName names a dBASE table file on its own:
// not empty, no directory separator (the directory is the database), no double quotation mark (it
// would end the name inside a statement), no control character, and ending in ".dbf" with letter
// case ignored: this engine knows no other kind of table.
void checkTableFileName(const QString& fileName);

// The path of a table file in a database directory; an empty directory is the working directory.
QString tablePath(const QString& directory, const QString& fileName);

} // namespace db
