#pragma once

#include "ExchangePlan.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

// What the exports share.
namespace exchangeexport {

// The name a work carries in another tool: its own, or for a work without one its events as the
// Gantt chart shows them ("1 → 2").
QString taskName(const ExchangeWork& work);

// The works' durations in days, read from their texts (the table's number format); raises the
// number format's message for a text that is not a number.
std::vector<double> durations(const ExchangePlan& plan);

// The distinct events of the works, in the order they first appear.
std::vector<QString> events(const ExchangePlan& plan);

// Writes the bytes to the file whole or not at all (AtomicFile).
void writeFile(const QString& path, QByteArrayView bytes);

} // namespace exchangeexport
