#pragma once

#include <QString>
#include <QStringList>

// The files the command-line program reads and writes, known by their suffix (letter case
// ignored): one row of a table each, in BatchInput.cpp and BatchOutput.cpp.
namespace batchformats {

// "kdf", "kpl", "csv", "xml".
QStringList inputSuffixes();
// "csv", "dbf", "xlsx", "xml", "tjp", "kpl", "pdf".
QStringList outputSuffixes();

// The suffix of the path in lower case, without the dot.
QString suffixOf(const QString& path);

} // namespace batchformats
