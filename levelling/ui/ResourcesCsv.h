#pragma once

#include "ResourceTables.h"

#include <utility>
#include <vector>

// The tables one after another as a CSV file (';', UTF-8 with its mark, CR LF), each under a
// line with its title and separated by an empty line; written all or nothing.
QByteArray tablesCsv(const std::vector<std::pair<QString, TextTable>>& tables);
void writeTablesCsv(const QString& path, const std::vector<std::pair<QString, TextTable>>& tables);
